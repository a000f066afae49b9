#include "wingui/runtime_api.h"

namespace Arkova::WinGui::RuntimeApi {

namespace {

// Loaded once per process and never freed: user32 and shcore stay loaded for the program's life anyway.
HMODULE Module(const wchar_t* name) {
    HMODULE module = ::GetModuleHandleW(name);
    return module != nullptr ? module : ::LoadLibraryW(name);
}

template <typename Function>
Function Lookup(const wchar_t* module, const char* name) {
    HMODULE handle = Module(module);
    if (handle == nullptr) return nullptr;
    // Through void(*)(): the one function-pointer cast that GCC accepts between unrelated signatures.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(handle, name)));
}

template <typename Function>
Function User32(const char* name) {
    return Lookup<Function>(L"user32.dll", name);
}

}  // namespace

UINT GetDpiForWindow(HWND window) {
    static const auto function = User32<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    return function != nullptr ? function(window) : 0;
}

UINT GetDpiForSystem() {
    static const auto function = User32<UINT(WINAPI*)()>("GetDpiForSystem");
    return function != nullptr ? function() : 0;
}

bool SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT context) {
    static const auto function = User32<BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT)>("SetProcessDpiAwarenessContext");
    return function != nullptr && function(context) != FALSE;
}

HRESULT SetProcessDpiAwareness(int awareness) {
    static const auto function = Lookup<HRESULT(WINAPI*)(int)>(L"shcore.dll", "SetProcessDpiAwareness");
    return function != nullptr ? function(awareness) : E_NOTIMPL;
}

bool SetProcessDPIAware() {
    static const auto function = User32<BOOL(WINAPI*)()>("SetProcessDPIAware");
    return function != nullptr && function() != FALSE;
}

bool AdjustWindowRectExForDpi(RECT* rect, DWORD style, bool menu, DWORD exStyle, UINT dpi) {
    static const auto function = User32<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
    return function != nullptr && function(rect, style, menu ? TRUE : FALSE, exStyle, dpi) != FALSE;
}

bool SystemParametersInfoForDpi(UINT action, UINT param, void* data, UINT winIni, UINT dpi) {
    static const auto function = User32<BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT)>("SystemParametersInfoForDpi");
    return function != nullptr && function(action, param, data, winIni, dpi) != FALSE;
}

}  // namespace Arkova::WinGui::RuntimeApi
