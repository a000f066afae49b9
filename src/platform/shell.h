// What the program asks of the desktop shell on the user's behalf: open a folder in the file manager, or show a
// file selected in its folder. Windows that offer these take a ShellActions, so tests record the calls instead of
// starting a file manager. Failures are ignored: the user simply sees nothing open.
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
};

// The real shell of this system; lives as long as the process.
ShellActions& SystemShell();

}  // namespace Arkova::Platform
