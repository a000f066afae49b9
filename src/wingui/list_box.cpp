#include "wingui/list_box.h"

namespace Arkova::WinGui {

bool ListBox::Create(const CreateArgs& args) {
    CreateArgs withBorder = args;
    if (args.border) withBorder.exStyle |= WS_EX_CLIENTEDGE;
    return CreateControl(WC_LISTBOXW, withBorder, WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT);
}

int ListBox::AddItem(std::wstring_view text) {
    std::wstring item(text);
    LRESULT index = ::SendMessageW(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    return index >= 0 ? static_cast<int>(index) : -1;
}

int ListBox::ItemCount() const { return static_cast<int>(::SendMessageW(Handle(), LB_GETCOUNT, 0, 0)); }

std::wstring ListBox::ItemText(int index) const {
    LRESULT length = ::SendMessageW(Handle(), LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length < 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    length = ::SendMessageW(Handle(), LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(length > 0 ? static_cast<size_t>(length) : 0);
    return text;
}

void ListBox::Clear() { ::SendMessageW(Handle(), LB_RESETCONTENT, 0, 0); }

int ListBox::SelectedIndex() const { return static_cast<int>(::SendMessageW(Handle(), LB_GETCURSEL, 0, 0)); }

void ListBox::SetSelectedIndex(int index) { ::SendMessageW(Handle(), LB_SETCURSEL, static_cast<WPARAM>(index), 0); }

bool ListBox::OnCommand(int code) {
    if (code == LBN_SELCHANGE && onSelectionChanged) {
        onSelectionChanged();
        return true;
    }
    if (code == LBN_DBLCLK && onDoubleClick) {
        onDoubleClick();
        return true;
    }
    return false;
}

}  // namespace Arkova::WinGui
