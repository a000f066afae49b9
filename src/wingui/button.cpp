#include "wingui/button.h"

namespace Arkova::WinGui {

namespace {

DWORD KindStyle(Button::Kind kind) {
    switch (kind) {
        case Button::Kind::DefaultPush:
            return BS_DEFPUSHBUTTON;
        case Button::Kind::CheckBox:
            return BS_AUTOCHECKBOX;
        case Button::Kind::Radio:
            return BS_AUTORADIOBUTTON;
        case Button::Kind::Push:
            break;
    }
    return BS_PUSHBUTTON;
}

}  // namespace

bool Button::Create(const CreateArgs& args) {
    return CreateControl(WC_BUTTONW, args, KindStyle(args.kind) | (args.tabStop ? WS_TABSTOP : 0));
}

bool Button::Checked() const { return ::SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void Button::SetChecked(bool checked) {
    ::SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Button::Click() { ::SendMessageW(Handle(), BM_CLICK, 0, 0); }

bool Button::OnCommand(int code) {
    if (code != BN_CLICKED || !onClick) return false;
    onClick();
    return true;
}

}  // namespace Arkova::WinGui
