#include "cli/open_failure.h"

#include "cli/open_archive.h"

namespace Arkova::Cli {

std::unique_ptr<IArchiveDecoder> OpenForCommand(const std::wstring& path, Console& console) {
    DecodeResult result = DecodeResult::Ok;
    auto decoder = OpenArchiveDecoder(path, result);
    if (!decoder) {
        console.Err(L"arkova-cli: cannot open archive '" + path + L"': " + DecodeResultName(result) + L"\n");
    }
    return decoder;
}

}  // namespace Arkova::Cli
