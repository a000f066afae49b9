// What the program asks of the desktop shell on the user's behalf: open a folder in the file manager, show a file
// selected in its folder, or open a file with its program. Windows that offer these take a ShellActions, so tests
// record the calls instead of starting a file manager. Failures are ignored: the user simply sees nothing open.
#pragma once

#include <string>

namespace Arkova::Platform {

class ShellActions {
public:
    virtual ~ShellActions() = default;
    // The folder (or file) opened as the shell opens it: ShellExecuteW "open" on Windows, xdg-open elsewhere.
    virtual void OpenFolder(const std::wstring& path) = 0;
    // The file manager showing the file's folder with the file selected: explorer.exe /select,"path" on Windows.
    virtual void SelectInFileManager(const std::wstring& path) = 0;
    // A document opened with its associated program, or a program started with `parameters` (ShellExecuteW "open",
    // normal show, on Windows). `ownerWindow` (an HWND on Windows, may be null) owns what the shell shows about it.
    virtual void OpenFile(const std::wstring& file, const std::wstring& parameters, void* ownerWindow) = 0;
};

// The real shell of this system; lives as long as the process.
ShellActions& SystemShell();

}  // namespace Arkova::Platform
