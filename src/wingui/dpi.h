#pragma once
// DPI scaling. Sizes are stated at 96 DPI and scaled by the DPI of the window they are used in.
// Call from the thread that owns the window.

#include <windows.h>

#include "wingui/gdi_handles.h"

namespace Arkova::WinGui {

constexpr UINT kDefaultDpi = 96;

// value × dpi / 96, rounded as MulDiv rounds.
int Scale(int value, UINT dpi);

// The window's DPI; the system DPI where Windows cannot tell per window; 96 when neither is known.
UINT DpiForWindow(HWND window);
UINT SystemDpi();

// Makes the process per-monitor DPI aware (v2, else v1, else system aware), whichever this Windows offers.
// Call once, before the first window. false when every way was refused (e.g. a manifest already chose).
bool EnableDpiAwareness();

// The user's message-box font (what dialogs use) at the given DPI.
Font CreateMessageFont(UINT dpi);

}  // namespace Arkova::WinGui
