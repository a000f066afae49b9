#include "ui/win32/splitter.h"

#include <windowsx.h>

#include <algorithm>

namespace Arkova {

bool Splitter::Create(HWND parent, int id, Orientation orientation) {
    orientation_ = orientation;
    CreateArgs args;
    args.className = L"ArkovaSplitter";
    args.style = WS_CHILD | WS_VISIBLE;
    args.x = 0;
    args.y = 0;
    args.width = 5;
    args.height = 5;
    args.parent = parent;
    args.menu = reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
    args.cursor = nullptr;  // each splitter sets its own
    return Window::Create(args);
}

void Splitter::SetRange(int minimum, int maximum) {
    minimum_ = minimum;
    maximum_ = std::max(minimum, maximum);
}

LRESULT Splitter::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETCURSOR:
            ::SetCursor(::LoadCursorW(nullptr, orientation_ == Orientation::Vertical ? IDC_SIZEWE : IDC_SIZENS));
            return TRUE;
        case WM_LBUTTONDOWN:
            dragging_ = true;
            ::SetCapture(Handle());
            return 0;
        case WM_MOUSEMOVE: {
            if (!dragging_) return 0;
            POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ::MapWindowPoints(Handle(), ::GetParent(Handle()), &point, 1);
            int value = orientation_ == Orientation::Vertical ? point.x : point.y;
            value = std::clamp(value, minimum_, maximum_);
            if (value != position_) {
                position_ = value;
                if (onMoved) onMoved(value);
            }
            return 0;
        }
        case WM_LBUTTONUP:
        case WM_CAPTURECHANGED:
            if (dragging_) {
                dragging_ = false;
                if (message == WM_LBUTTONUP) ::ReleaseCapture();
            }
            return 0;
        default:
            return Window::HandleMessage(message, wParam, lParam);
    }
}

}  // namespace Arkova
