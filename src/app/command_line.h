// The process command line as one action and one archive path, and the two folders that command-line extraction
// targets. Pure logic apart from NewFolderTarget, which asks the file system which names are taken.
#pragma once

#include <cstdint>
#include <string>

namespace Arkova {

enum CommandAction : std::int32_t {
    ActionNone = 0,
    ActionOpen = 1,
    ActionExtractHere = 2,
    ActionExtractNewFolder = 3,
    ActionExtractTo = 4,
    ActionPreview = 5,
    ActionTest = 6,
    ActionRegister = 7,
    ActionUnregister = 8,
};

struct ParsedCommandLine {
    CommandAction action = ActionNone;
    std::wstring path;
    // "/quiet" (or "-quiet") anywhere: register and unregister report through the exit code instead of a message
    // box, so that an installer running without a user does not wait on one. Changes neither action nor path.
    bool quiet = false;
};

// Takes the whole command line, program path first, as GetCommandLineW reports it.
ParsedCommandLine ParseCommandLine(const std::wstring& commandLine);

// The folder that holds the archive; "." for a bare file name.
std::wstring ArchiveFolder(const std::wstring& path);

// The first free folder named after the archive: "D\a" for "D\a.zip", else "D\a (2)", "D\a (3)", ...
std::wstring NewFolderTarget(const std::wstring& path);

}  // namespace Arkova
