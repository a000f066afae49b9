#include "wingui/dialog.h"

#include <utility>

#include "wingui/control.h"
#include "wingui/modeless_dialogs.h"

namespace Arkova::WinGui {

namespace {

// Messages whose answer a dialog procedure returns directly instead of through DWLP_MSGRESULT.
bool AnswersDirectly(UINT message) {
    switch (message) {
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_QUERYDRAGICON:
        case WM_INITDIALOG:
            return true;
        default:
            return false;
    }
}

}  // namespace

Dialog::Dialog(int templateId, HINSTANCE instance)
    : templateId_(templateId), instance_(instance != nullptr ? instance : ::GetModuleHandleW(nullptr)) {}

Dialog::~Dialog() {
    if (hwnd_ == nullptr) return;
    HWND dialog = hwnd_;
    Detach();
    ::DestroyWindow(dialog);
}

INT_PTR Dialog::ShowModal(HWND owner) {
    // DialogBoxParam answers 0, not -1, for a bad owner.
    if (hwnd_ != nullptr || (owner != nullptr && !::IsWindow(owner))) return -1;
    modal_ = true;
    endCode_ = -1;
    return ::DialogBoxParamW(instance_, MAKEINTRESOURCEW(templateId_), owner, &Dialog::Procedure,
                             reinterpret_cast<LPARAM>(this));
}

bool Dialog::CreateModeless(HWND owner) {
    if (hwnd_ != nullptr) return false;
    modal_ = false;
    endCode_ = -1;
    HWND dialog = ::CreateDialogParamW(instance_, MAKEINTRESOURCEW(templateId_), owner, &Dialog::Procedure,
                                       reinterpret_cast<LPARAM>(this));
    if (dialog == nullptr) return false;
    ModelessDialogs::Add(dialog);
    return true;
}

bool Dialog::CreateChild(HWND parent, HINSTANCE instance) {
    if (hwnd_ != nullptr || parent == nullptr || !::IsWindow(parent)) return false;
    modal_ = false;
    endCode_ = -1;
    return ::CreateDialogParamW(instance != nullptr ? instance : instance_, MAKEINTRESOURCEW(templateId_), parent,
                                &Dialog::Procedure, reinterpret_cast<LPARAM>(this)) != nullptr;
}

void Dialog::End(INT_PTR code) {
    if (hwnd_ == nullptr) return;
    endCode_ = code;
    if (modal_) {
        ::EndDialog(hwnd_, code);
    } else {
        ::DestroyWindow(hwnd_);
    }
}

std::wstring Dialog::ItemText(int id) const {
    HWND item = Item(id);
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(item)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(item, text.data(), static_cast<int>(text.size()))));
    return text;
}

void Dialog::SetItemText(int id, std::wstring_view text) { ::SetDlgItemTextW(hwnd_, id, std::wstring(text).c_str()); }

Dialog* Dialog::FromHandle(HWND dialog) {
    if (dialog == nullptr ||
        reinterpret_cast<DLGPROC>(::GetWindowLongPtrW(dialog, DWLP_DLGPROC)) != &Dialog::Procedure) {
        return nullptr;
    }
    return reinterpret_cast<Dialog*>(::GetWindowLongPtrW(dialog, DWLP_USER));
}

HWND Dialog::Release() {
    HWND dialog = hwnd_;
    if (dialog != nullptr) Detach();
    return dialog;
}

void Dialog::Detach() {
    ModelessDialogs::Remove(hwnd_);
    ::SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
    hwnd_ = nullptr;
}

INT_PTR CALLBACK Dialog::Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<Dialog*>(lParam);
        self->hwnd_ = dialog;
        ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        return self->OnInitDialog() ? TRUE : FALSE;
    }
    auto* self = reinterpret_cast<Dialog*>(::GetWindowLongPtrW(dialog, DWLP_USER));
    if (self == nullptr) return FALSE;
    if (message == WM_NCDESTROY) {
        self->Detach();
        return FALSE;
    }
    return self->Dispatch(message, wParam, lParam);
}

INT_PTR Dialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    bool handled = false;
    switch (message) {
        case WM_COMMAND:
            handled = Control::RouteNotification(message, wParam, lParam, result) ||
                      OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
            break;
        case WM_NOTIFY:
            handled = Control::RouteNotification(message, wParam, lParam, result) ||
                      OnNotify(*reinterpret_cast<NMHDR*>(lParam), result);
            break;
        case WM_CTLCOLORSTATIC:
            if (HBRUSH brush = OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam))) {
                return reinterpret_cast<INT_PTR>(brush);
            }
            break;
        case WM_CLOSE:
            OnClose();
            return TRUE;
        case WM_DESTROY:
            OnDestroy();
            return TRUE;
        default:
            break;
    }
    if (!handled) handled = HandleMessage(message, wParam, lParam, result);
    if (!handled) return FALSE;
    if (AnswersDirectly(message)) return static_cast<INT_PTR>(result);
    ::SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, result);
    return TRUE;
}

bool Dialog::OnInitDialog() { return true; }

bool Dialog::OnCommand(int id, int, HWND) {
    if (id != IDOK && id != IDCANCEL) return false;
    End(id);
    return true;
}

bool Dialog::OnNotify(NMHDR&, LRESULT&) { return false; }

HBRUSH Dialog::OnCtlColorStatic(HDC, HWND) { return nullptr; }

void Dialog::OnClose() { End(IDCANCEL); }

bool Dialog::HandleMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

}  // namespace Arkova::WinGui
