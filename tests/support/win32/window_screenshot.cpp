// Saves a PNG of another program's window once it shows, for the demo: window-screenshot CLASS TITLE-PREFIX
// OUTPUT.png [--close]. Waits up to 30 s for a visible top-level window of the class whose title starts with the
// prefix, lets it settle, saves it, and with --close asks it to close. Exit code 0 when saved.
#include <windows.h>

#include <objbase.h>

#include <cstdio>
#include <string>

#include "support/win32/pump_until.h"
#include "support/win32/screenshot.h"

namespace {

struct Search {
    const wchar_t* className;
    std::wstring titlePrefix;
    HWND found = nullptr;
};

BOOL CALLBACK Visit(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<Search*>(context);
    wchar_t name[64] = {};
    wchar_t title[512] = {};
    ::GetClassNameW(window, name, 64);
    ::GetWindowTextW(window, title, 512);
    if (::IsWindowVisible(window) && std::wstring(name) == search->className &&
        std::wstring(title).rfind(search->titlePrefix, 0) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) {
        std::fputs("usage: window-screenshot CLASS TITLE-PREFIX OUTPUT.png [--close]\n", stderr);
        return 2;
    }
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    Search search{argv[1], argv[2]};
    bool shown = Arkova::Testing::PumpUntil(
        [&] {
            search.found = nullptr;
            ::EnumWindows(&Visit, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        30000);
    // A moment for the window to finish painting its children; the capture itself waits until the screen is still.
    Arkova::Testing::PumpUntil([] { return false; }, 500);
    bool saved = shown && Arkova::Testing::SaveWindowPng(search.found, argv[3]);
    if (shown && argc > 4 && std::wstring(argv[4]) == L"--close") ::PostMessageW(search.found, WM_CLOSE, 0, 0);
    ::CoUninitialize();
    if (!saved) std::fputs("window-screenshot: the window did not show or could not be saved\n", stderr);
    return saved ? 0 : 1;
}
