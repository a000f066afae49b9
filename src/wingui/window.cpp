#include "wingui/window.h"

#include <utility>

#include "wingui/control.h"

namespace Arkova::WinGui {

namespace {

bool RegisterClassFor(const Window::CreateArgs& args, WNDPROC procedure) {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (::GetClassInfoExW(instance, args.className, &existing)) return true;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = args.classStyle;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = args.icon;
    windowClass.hIconSm = args.icon;
    windowClass.hCursor = args.cursor != nullptr ? args.cursor : ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = args.background;
    windowClass.lpszClassName = args.className;
    return ::RegisterClassExW(&windowClass) != 0;
}

}  // namespace

Window::~Window() {
    if (hwnd_ == nullptr) return;
    // The derived part is gone: later messages must not reach this object.
    ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    ::DestroyWindow(std::exchange(hwnd_, nullptr));
}

bool Window::Create(const CreateArgs& args) {
    if (hwnd_ != nullptr || !RegisterClassFor(args, &Window::Procedure)) return false;
    HWND window = ::CreateWindowExW(args.exStyle, args.className, args.title.c_str(), args.style, args.x, args.y,
                                    args.width, args.height, args.parent, args.menu, ::GetModuleHandleW(nullptr), this);
    return window != nullptr;
}

void Window::Destroy() {
    if (hwnd_ != nullptr) ::DestroyWindow(hwnd_);
}

Window* Window::FromHandle(HWND window) {
    // Only windows of our own procedure hold a Window in their user data.
    if (window == nullptr ||
        reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(window, GWLP_WNDPROC)) != &Window::Procedure) {
        return nullptr;
    }
    return reinterpret_cast<Window*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT CALLBACK Window::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<Window*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    }
    if (self == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    return self->Dispatch(message, wParam, lParam);
}

LRESULT Window::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    switch (message) {
        case WM_CREATE:
            return OnCreate() ? 0 : -1;
        case WM_COMMAND:
            if (Control::RouteNotification(message, wParam, lParam, result)) return 0;
            if (OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam))) return 0;
            break;
        case WM_NOTIFY:
            if (Control::RouteNotification(message, wParam, lParam, result)) return result;
            if (OnNotify(*reinterpret_cast<NMHDR*>(lParam), result)) return result;
            break;
        case WM_SIZE:
            OnSize(LOWORD(lParam), HIWORD(lParam));
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint{};
            HDC dc = ::BeginPaint(hwnd_, &paint);
            OnPaint(dc, paint.rcPaint);
            ::EndPaint(hwnd_, &paint);
            return 0;
        }
        case WM_DPICHANGED:
            OnDpiChanged(HIWORD(wParam), *reinterpret_cast<RECT*>(lParam));
            return 0;
        case WM_CLOSE:
            OnClose();
            return 0;
        case WM_DESTROY:
            OnDestroy();
            return 0;
        default:
            break;
    }
    return HandleMessage(message, wParam, lParam);
}

bool Window::OnCommand(int, int, HWND) { return false; }

bool Window::OnNotify(NMHDR&, LRESULT&) { return false; }

void Window::OnSize(int, int) {}

void Window::OnPaint(HDC, const RECT&) {}

void Window::OnDpiChanged(UINT, const RECT& suggested) {
    ::SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Window::OnClose() { ::DestroyWindow(hwnd_); }

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefaultProc(message, wParam, lParam);
}

LRESULT Window::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

}  // namespace Arkova::WinGui
