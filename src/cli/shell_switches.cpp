// The program's own command-line switches ("/extracthere ARCHIVE", "/test ARCHIVE", ...), as the shell's verbs
// pass them, acted on without a window.
#include "app/command_line.h"
#include "cli/commands.h"
#include "platform/file_system.h"

namespace Arkova::Cli {

namespace {

std::wstring QuotedCommandLine(const std::vector<std::wstring>& arguments) {
    std::wstring line = L"arkova-cli";
    for (const std::wstring& argument : arguments) line += L" \"" + argument + L"\"";
    return line;
}

// The folder to extract into, for "/extractto": asked on a terminal, else the new folder named after the archive.
std::wstring ChooseDestination(const std::wstring& archive, Console& console) {
    std::wstring suggestion = NewFolderTarget(archive);
    if (!console.InputIsTerminal()) return suggestion;
    console.Err(L"Extract to folder [" + suggestion + L"]: ");
    std::wstring answer;
    if (!console.ReadLine(answer) || answer.empty()) return suggestion;
    return answer;
}

}  // namespace

bool IsShellSwitch(const std::wstring& argument) {
    CommandAction action = ParseCommandLine(QuotedCommandLine({argument})).action;
    return action != ActionNone && action != ActionOpen;
}

int RunShellSwitches(const std::vector<std::wstring>& arguments, Console& console) {
    ParsedCommandLine parsed = ParseCommandLine(QuotedCommandLine(arguments));
    if (parsed.action == ActionRegister) return RunRegister(console);
    if (parsed.action == ActionUnregister) return RunUnregister(console);
    if (parsed.path.empty() || !Platform::PathExists(parsed.path)) {
        console.Err(L"arkova-cli: no archive '" + parsed.path + L"'\n");
        return kExitUsageOrOpen;
    }
    Options options;
    options.archive = parsed.path;
    switch (parsed.action) {
        case ActionExtractHere:
            options.outputFolder = ArchiveFolder(parsed.path);
            return RunExtract(options, console);
        case ActionExtractNewFolder:
            options.outputFolder = NewFolderTarget(parsed.path);
            return RunExtract(options, console);
        case ActionExtractTo:
            options.outputFolder = ChooseDestination(parsed.path, console);
            return RunExtract(options, console);
        case ActionTest:
            return RunTest(options, console);
        default:
            return RunList(options, console);
    }
}

}  // namespace Arkova::Cli
