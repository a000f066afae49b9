#pragma once
// Functions of newer Windows versions, looked up at run time so that the program still starts where they are
// missing. Each wrapper reports "not available" (0, false or E_NOTIMPL) instead of failing to load. Any thread.

#include <windows.h>

namespace Arkova::WinGui::RuntimeApi {

// Windows 10 1607+. 0 when missing.
UINT GetDpiForWindow(HWND window);
UINT GetDpiForSystem();

// Windows 10 1703+ (per-monitor v2 needs it). false when missing or refused.
bool SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT context);

// Windows 8.1+ (shcore.dll); the value is a PROCESS_DPI_AWARENESS. E_NOTIMPL when missing.
HRESULT SetProcessDpiAwareness(int awareness);

// Windows Vista+.
bool SetProcessDPIAware();

// Windows 10 1607+; false when missing, so callers can fall back to the DPI-unaware function.
bool AdjustWindowRectExForDpi(RECT* rect, DWORD style, bool menu, DWORD exStyle, UINT dpi);
bool SystemParametersInfoForDpi(UINT action, UINT param, void* data, UINT winIni, UINT dpi);

}  // namespace Arkova::WinGui::RuntimeApi
