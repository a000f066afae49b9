#include "cli/options.h"

namespace Arkova::Cli {

const wchar_t kUsageText[] =
    L"Usage: arkova-cli <command> [switches] ARCHIVE\n"
    L"\n"
    L"Commands:\n"
    L"  l   list the entries of the archive\n"
    L"  t   test every file entry against its CRC-32\n"
    L"  x   extract with full paths\n"
    L"\n"
    L"Switches:\n"
    L"  -o DIR   extract into DIR (default: a new folder named after the archive, beside it)\n"
    L"  -y       overwrite existing files without asking\n"
    L"  -n       skip existing files without asking\n"
    L"  -q       no progress line\n"
    L"  --sequential  extract entry by entry, never in parallel\n";

namespace {

bool ParseCommand(const std::wstring& word, Command& command) {
    if (word == L"l" || word == L"list") {
        command = Command::List;
    } else if (word == L"t" || word == L"test") {
        command = Command::Test;
    } else if (word == L"x" || word == L"extract") {
        command = Command::Extract;
    } else if (word == L"-h" || word == L"--help" || word == L"help") {
        command = Command::Help;
    } else {
        return false;
    }
    return true;
}

}  // namespace

bool ParseOptions(const std::vector<std::wstring>& arguments, Options& options, std::wstring& error) {
    options = Options{};
    if (arguments.empty()) {
        error = L"no command given";
        return false;
    }
    if (!ParseCommand(arguments[0], options.command)) {
        error = L"unknown command '" + arguments[0] + L"'";
        return false;
    }
    if (options.command == Command::Help) return true;
    bool switchesEnded = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::wstring& argument = arguments[i];
        bool isSwitch = !switchesEnded && argument.size() > 1 && argument[0] == L'-';
        if (!isSwitch) {
            if (options.archive.empty()) {
                options.archive = argument;
            } else {
                options.entries.push_back(argument);
            }
        } else if (argument == L"--") {
            switchesEnded = true;
        } else if (argument == L"-o") {
            if (i + 1 >= arguments.size()) {
                error = L"-o needs a folder";
                return false;
            }
            options.outputFolder = arguments[++i];
        } else if (argument.rfind(L"-o", 0) == 0) {
            options.outputFolder = argument.substr(2);
        } else if (argument == L"-y") {
            options.existing = ExistingFiles::OverwriteAll;
        } else if (argument == L"-n") {
            options.existing = ExistingFiles::SkipAll;
        } else if (argument == L"-q") {
            options.quiet = true;
        } else if (argument == L"--sequential") {
            options.sequential = true;
        } else {
            error = L"unknown switch '" + argument + L"'";
            return false;
        }
    }
    if (options.archive.empty()) {
        error = L"no archive given";
        return false;
    }
    if (!options.entries.empty()) {
        error = L"naming single entries is not supported yet";
        return false;
    }
    return true;
}

}  // namespace Arkova::Cli
