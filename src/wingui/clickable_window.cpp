#include "wingui/clickable_window.h"

#include <windowsx.h>

namespace Arkova::WinGui {

LRESULT ClickableWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_MOUSEMOVE:
            if (!hovered_) {
                hovered_ = true;
                TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, Handle(), 0};
                ::TrackMouseEvent(&track);
                ::InvalidateRect(Handle(), nullptr, FALSE);
            }
            return 0;
        case WM_MOUSELEAVE:
            hovered_ = false;
            ::InvalidateRect(Handle(), nullptr, FALSE);
            return 0;
        case WM_LBUTTONDOWN:
            pressed_ = true;
            // Captured, so that the release is seen wherever it happens.
            ::SetCapture(Handle());
            ::InvalidateRect(Handle(), nullptr, FALSE);
            return 0;
        case WM_LBUTTONUP: {
            const bool wasPressed = pressed_;
            pressed_ = false;
            ::ReleaseCapture();
            ::InvalidateRect(Handle(), nullptr, FALSE);
            RECT client{};
            ::GetClientRect(Handle(), &client);
            const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            if (wasPressed && ::PtInRect(&client, point) && onClick) onClick();
            return 0;
        }
        case WM_CAPTURECHANGED:
            pressed_ = false;
            ::InvalidateRect(Handle(), nullptr, FALSE);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        default:
            return Window::HandleMessage(message, wParam, lParam);
    }
}

}  // namespace Arkova::WinGui
