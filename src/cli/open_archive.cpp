#include "cli/open_archive.h"

namespace Arkova::Cli {

bool OpenForCommand(const Options& options, ArchiveContext& context, Console& console) {
    DecodeResult result = context.OpenArchive(options.archive);
    if (result == DecodeResult::Ok) return true;
    console.Err(L"arkova-cli: cannot open archive '" + options.archive + L"': " + DecodeResultName(result) + L"\n");
    return false;
}

}  // namespace Arkova::Cli
