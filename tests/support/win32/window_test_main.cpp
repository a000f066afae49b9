// The entry point of the window-test programs: what a window program sets up before its first window.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include "wingui/dpi.h"

int wmain(int argc, wchar_t** argv) {
    // The manifest already asks for per-monitor DPI awareness; this covers programs without it.
    Arkova::WinGui::EnableDpiAwareness();
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);  // the screenshots' PNG encoder
    ::SetConsoleOutputCP(CP_UTF8);
    testing::InitGoogleTest(&argc, argv);
    int result = RUN_ALL_TESTS();
    ::CoUninitialize();
    return result;
}
