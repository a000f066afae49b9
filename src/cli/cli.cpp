#include "cli/commands.h"
#include "extract/parallel_test.h"

namespace Arkova::Cli {

int RunCli(const std::vector<std::wstring>& arguments, Console& console) {
    InstallParallelTest();
    if (!arguments.empty() && IsShellSwitch(arguments[0])) return RunShellSwitches(arguments, console);
    if (!arguments.empty() && arguments[0] == L"config") {
        return RunConfig(std::vector<std::wstring>(arguments.begin() + 1, arguments.end()), console);
    }
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
            return RunExtract(options, console);
        case Command::Help:
            break;
    }
    console.Out(kUsageText);
    return kExitOk;
}

}  // namespace Arkova::Cli
