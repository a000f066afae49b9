#pragma once
// Saves what a visible window looks like on screen as a PNG, for people to look at (tests never compare them).

#include <windows.h>

#include <string>
#include <string_view>

namespace Arkova::Testing {

// Brings the window to the front, lets it paint, and writes <folder>/<name>.png, where the folder is
// $ARKOVA_SCREENSHOTS (set by CTest to build/windows/screenshots), with a "<dpi>dpi" subfolder when the window
// is not at 96 DPI. Returns the file's path, or empty when it could not be saved or no folder is set.
// Needs COM on the calling thread.
std::wstring SaveScreenshot(HWND window, std::wstring_view name);
// The same into the given file; false when it could not be saved.
bool SaveWindowPng(HWND window, const std::wstring& path);

}  // namespace Arkova::Testing
