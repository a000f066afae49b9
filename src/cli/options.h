// The arguments of arkova-cli.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Arkova::Cli {

enum class Command { List, Test, Extract, Help };

// What to do with files that already exist at the destination.
enum class ExistingFiles { Ask, OverwriteAll, SkipAll };

struct Options {
    Command command = Command::Help;
    std::wstring archive;
    std::wstring outputFolder;  // empty: the new folder named after the archive
    std::vector<std::wstring> entries;
    ExistingFiles existing = ExistingFiles::Ask;
    bool quiet = false;
    bool sequential = false;
    bool keepPaths = true;   // off with --flat: every file lands directly in the destination
    bool newerOnly = false;  // --newer: an existing file is replaced only by a newer entry
    bool hasPassword = false;
    std::wstring password;
    // -1 = the reader's default; 0 = the system ANSI code page; otherwise a Windows code page number.
    std::int32_t codePage = -1;
};

// Parses the arguments after the program name; false with a message on a usage error.
bool ParseOptions(const std::vector<std::wstring>& arguments, Options& options, std::wstring& error);

extern const wchar_t kUsageText[];

}  // namespace Arkova::Cli
