#include "cli/commands.h"
#include "cli/zip_commands.h"

namespace Arkova::Cli {

int RunCli(const std::vector<std::wstring>& arguments, Console& console) {
    Options options;
    std::wstring error;
    if (!ParseOptions(arguments, options, error)) {
        console.Err(L"arkova-cli: " + error + L"\n\n" + kUsageText);
        return kExitUsageOrOpen;
    }
    switch (options.command) {
        case Command::List:
            return RunList(options, console);
        case Command::Test:
            return RunTest(options, console);
        case Command::Extract:
            return IsZipArchive(options.archive) ? RunZipExtract(options, console) : RunExtract(options, console);
        case Command::Help:
            break;
    }
    console.Out(kUsageText);
    return kExitOk;
}

}  // namespace Arkova::Cli
