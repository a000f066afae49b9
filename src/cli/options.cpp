#include "cli/options.h"

namespace Arkova::Cli {

const wchar_t kUsageText[] =
    L"Usage: arkova-cli <command> [switches] ARCHIVE\n"
    L"\n"
    L"Commands:\n"
    L"  l   list the entries of the archive\n"
    L"  t   test every file entry against its CRC-32\n"
    L"  x   extract with full paths (only the named entries or folders when ENTRY... follows the archive)\n"
    L"\n"
    L"Switches:\n"
    L"  -o DIR   extract into DIR (default: a new folder named after the archive, beside it)\n"
    L"  -y       overwrite existing files without asking\n"
    L"  -n       skip existing files without asking\n"
    L"  -q       no progress line\n"
    L"  -p PASSWORD   password of encrypted entries (asked on a terminal when needed)\n"
    L"  --cp N   code page of entry names: 949, 932, 936, 950, 874, 1250-1257, 65001, 0 = system ANSI\n"
    L"  --sequential  extract entry by entry, never in parallel\n"
    L"  --flat   put every file directly into the destination, without the archive's folders\n"
    L"  --newer  replace an existing file only with a newer entry; older and equal ones are skipped\n";

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

// The code pages an archive's names may come in, as the options offer them.
bool ParseCodePage(const std::wstring& text, std::int32_t& codePage) {
    static const std::int32_t kOffered[] = {0,    949,  932,  936,  950,  874,  1250, 1251,
                                            1252, 1253, 1254, 1255, 1256, 1257, 65001};
    if (text == L"-1") {
        codePage = -1;
        return true;
    }
    std::int32_t value = 0;
    if (text.empty() || text.size() > 5) return false;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return false;
        value = value * 10 + (c - L'0');
    }
    for (std::int32_t offered : kOffered) {
        if (value == offered) {
            codePage = value;
            return true;
        }
    }
    return false;
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
        } else if (argument == L"-p" || argument == L"--cp") {
            if (i + 1 >= arguments.size()) {
                error = argument + L" needs a value";
                return false;
            }
            const std::wstring& value = arguments[++i];
            if (argument == L"-p") {
                options.hasPassword = true;
                options.password = value;
            } else if (!ParseCodePage(value, options.codePage)) {
                error = L"unknown code page '" + value + L"'";
                return false;
            }
        } else if (argument.rfind(L"-p", 0) == 0 && argument.size() > 2 && argument[1] == L'p') {
            options.hasPassword = true;
            options.password = argument.substr(2);
        } else if (argument == L"-y") {
            options.existing = ExistingFiles::OverwriteAll;
        } else if (argument == L"-n") {
            options.existing = ExistingFiles::SkipAll;
        } else if (argument == L"-q") {
            options.quiet = true;
        } else if (argument == L"--sequential") {
            options.sequential = true;
        } else if (argument == L"--flat") {
            options.keepPaths = false;
        } else if (argument == L"--newer") {
            options.newerOnly = true;
        } else {
            error = L"unknown switch '" + argument + L"'";
            return false;
        }
    }
    if (options.archive.empty()) {
        error = L"no archive given";
        return false;
    }
    if (!options.entries.empty() && options.command != Command::Extract) {
        error = L"only x takes entry names";
        return false;
    }
    return true;
}

}  // namespace Arkova::Cli
