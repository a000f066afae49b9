// arkova.exe: the archive manager's window program.
#include <windows.h>

#include <ole2.h>

#include "app/win32/application.h"
#include "ui/win32/gdiplus.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR argumentTail, int showCommand) {
    ::OleInitialize(nullptr);
    Arkova::MakeProcessDpiAware();
    int exitCode = 0;
    {
        Arkova::GdiplusSession gdiplus;
        Arkova::Application application;
        if (application.Init(::GetCommandLineW(), argumentTail != nullptr ? argumentTail : L"", showCommand)) {
            exitCode = application.RunMessageLoop();
        } else {
            exitCode = application.ExitCode();
        }
        ::OleUninitialize();
    }
    return exitCode;
}
