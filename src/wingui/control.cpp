#include "wingui/control.h"

#include <utility>

#include "wingui/dpi.h"

namespace Arkova::WinGui {

namespace {

// A window property rather than GWLP_USERDATA: an attached dialog item may be a control that uses its own user
// data, and a property can be checked without trusting whatever the user data holds.
constexpr wchar_t kControlProperty[] = L"Arkova.WinGui.Control";

}  // namespace

Control::~Control() { Detach(); }

bool Control::Attach(HWND dialog, int id) {
    Detach();
    HWND item = ::GetDlgItem(dialog, id);
    return item != nullptr && Bind(item, false);
}

void Control::Detach() {
    HWND window = std::exchange(hwnd_, nullptr);
    // A parent destroys its children first; then the handle is stale and must not be touched.
    if (window == nullptr || !::IsWindow(window) || FromHandle(window) != this) return;
    ::RemovePropW(window, kControlProperty);
    if (owned_) ::DestroyWindow(window);
}

bool Control::Bind(HWND window, bool owned) {
    if (FromHandle(window) != nullptr) return false;
    if (!::SetPropW(window, kControlProperty, this)) return false;
    hwnd_ = window;
    owned_ = owned;
    return true;
}

bool Control::CreateControl(const wchar_t* className, const ControlArgs& args, DWORD style) {
    Detach();
    UINT dpi = DpiForWindow(args.parent);
    DWORD fullStyle = WS_CHILD | (args.visible ? WS_VISIBLE : 0) | style | args.style;
    HWND window =
        ::CreateWindowExW(args.exStyle, className, args.text.c_str(), fullStyle, Scale(args.x, dpi), Scale(args.y, dpi),
                          Scale(args.width, dpi), Scale(args.height, dpi), args.parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(args.id)), ::GetModuleHandleW(nullptr), nullptr);
    if (window == nullptr) return false;
    HFONT font =
        args.font != nullptr ? args.font : reinterpret_cast<HFONT>(::SendMessageW(args.parent, WM_GETFONT, 0, 0));
    if (font != nullptr) ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (!Bind(window, true)) {
        ::DestroyWindow(window);
        return false;
    }
    return true;
}

int Control::Id() const { return ::GetDlgCtrlID(hwnd_); }

std::wstring Control::Text() const {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(hwnd_)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(hwnd_, text.data(), static_cast<int>(text.size()))));
    return text;
}

void Control::SetText(std::wstring_view text) { ::SetWindowTextW(hwnd_, std::wstring(text).c_str()); }

bool Control::IsEnabled() const { return ::IsWindowEnabled(hwnd_) != FALSE; }

void Control::SetEnabled(bool enabled) { ::EnableWindow(hwnd_, enabled ? TRUE : FALSE); }

bool Control::IsVisible() const { return ::IsWindowVisible(hwnd_) != FALSE; }

void Control::SetVisible(bool visible) { ::ShowWindow(hwnd_, visible ? SW_SHOW : SW_HIDE); }

void Control::SetFont(HFONT font) { ::SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE); }

void Control::Focus() { ::SetFocus(hwnd_); }

RECT Control::Bounds() const {
    RECT bounds{};
    ::GetWindowRect(hwnd_, &bounds);
    ::MapWindowPoints(nullptr, ::GetParent(hwnd_), reinterpret_cast<POINT*>(&bounds), 2);
    return bounds;
}

void Control::SetBounds(const RECT& bounds) {
    ::SetWindowPos(hwnd_, nullptr, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

Control* Control::FromHandle(HWND window) {
    return window != nullptr ? static_cast<Control*>(::GetPropW(window, kControlProperty)) : nullptr;
}

bool Control::RouteNotification(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_COMMAND && lParam != 0) {
        Control* control = FromHandle(reinterpret_cast<HWND>(lParam));
        return control != nullptr && control->OnCommand(HIWORD(wParam));
    }
    if (message == WM_NOTIFY && lParam != 0) {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        Control* control = FromHandle(header->hwndFrom);
        return control != nullptr && control->OnNotify(*header, result);
    }
    return false;
}

bool Control::OnCommand(int) { return false; }

bool Control::OnNotify(NMHDR&, LRESULT&) { return false; }

}  // namespace Arkova::WinGui
