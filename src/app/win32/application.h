// The program's start on Windows: acting on the command line (register and unregister end at their message box, or
// with "/quiet" at their exit code; everything else opens the main window and may open an archive and extract or
// test it), then the message loop. First thread only.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "platform/shell.h"
#include "ui/win32/main_window.h"

namespace Arkova {

class Application {
public:
    // `shell` is handed to the main window; tests pass one that records what would be opened.
    explicit Application(Platform::ShellActions& shell = Platform::SystemShell()) : shell_(shell) {}

    // Acts on `commandLine` (the whole command line, program first) and `argumentTail` (the part after the
    // program). False when the process is to end without a message loop.
    bool Init(const std::wstring& commandLine, const std::wstring& argumentTail, int showCommand);
    // Until the main window quits; TranslateAcceleratorW first, for the window each message is for.
    int RunMessageLoop();
    // The process's exit code when Init returned false: 1 after a quiet registration that failed, else 0.
    int ExitCode() const { return exitCode_; }

    MainWindow* Window() const { return mainWindow_.get(); }

private:
    void ActOnPath(int action, const std::wstring& path);

    Platform::ShellActions& shell_;
    std::unique_ptr<MainWindow> mainWindow_;
    HACCEL accelerators_ = nullptr;
    int exitCode_ = 0;
};

// Per-monitor DPI awareness v2, else v1 through shcore, else system awareness: the first that the system grants.
void MakeProcessDpiAware();

}  // namespace Arkova
