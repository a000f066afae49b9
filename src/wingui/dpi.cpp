#include "wingui/dpi.h"

#include "wingui/runtime_api.h"

namespace Arkova::WinGui {

int Scale(int value, UINT dpi) { return ::MulDiv(value, static_cast<int>(dpi), static_cast<int>(kDefaultDpi)); }

UINT SystemDpi() {
    if (UINT dpi = RuntimeApi::GetDpiForSystem(); dpi != 0) return dpi;
    WindowDc screen(nullptr);
    int dpi = screen.Get() != nullptr ? ::GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
    return dpi > 0 ? static_cast<UINT>(dpi) : kDefaultDpi;
}

UINT DpiForWindow(HWND window) {
    if (UINT dpi = RuntimeApi::GetDpiForWindow(window); dpi != 0) return dpi;
    return SystemDpi();
}

bool EnableDpiAwareness() {
    if (RuntimeApi::SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2)) return true;
    constexpr int kPerMonitorAware = 2;  // PROCESS_PER_MONITOR_DPI_AWARE
    if (SUCCEEDED(RuntimeApi::SetProcessDpiAwareness(kPerMonitorAware))) return true;
    return RuntimeApi::SetProcessDPIAware();
}

Font CreateMessageFont(UINT dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (!RuntimeApi::SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi)) {
        // The older call answers at the system DPI.
        if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return Font();
        metrics.lfMessageFont.lfHeight =
            ::MulDiv(metrics.lfMessageFont.lfHeight, static_cast<int>(dpi), static_cast<int>(SystemDpi()));
    }
    return Font(::CreateFontIndirectW(&metrics.lfMessageFont));
}

}  // namespace Arkova::WinGui
