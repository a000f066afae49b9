#include "wingui/combo_box.h"

namespace Arkova::WinGui {

bool ComboBox::Create(const CreateArgs& args) {
    // A combo box's height includes its open list.
    CreateArgs withList = args;
    withList.height = args.height + args.dropHeight;
    return CreateControl(WC_COMBOBOXW, withList,
                         WS_TABSTOP | WS_VSCROLL | (args.editable ? CBS_DROPDOWN | CBS_AUTOHSCROLL : CBS_DROPDOWNLIST));
}

int ComboBox::AddItem(std::wstring_view text) {
    std::wstring item(text);
    LRESULT index = ::SendMessageW(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    return index >= 0 ? static_cast<int>(index) : -1;
}

int ComboBox::ItemCount() const { return static_cast<int>(::SendMessageW(Handle(), CB_GETCOUNT, 0, 0)); }

std::wstring ComboBox::ItemText(int index) const {
    LRESULT length = ::SendMessageW(Handle(), CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length < 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    length = ::SendMessageW(Handle(), CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(length > 0 ? static_cast<size_t>(length) : 0);
    return text;
}

void ComboBox::Clear() { ::SendMessageW(Handle(), CB_RESETCONTENT, 0, 0); }

int ComboBox::SelectedIndex() const { return static_cast<int>(::SendMessageW(Handle(), CB_GETCURSEL, 0, 0)); }

void ComboBox::SetSelectedIndex(int index) { ::SendMessageW(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0); }

bool ComboBox::OnCommand(int code) {
    if (code != CBN_SELCHANGE || !onSelectionChanged) return false;
    onSelectionChanged();
    return true;
}

}  // namespace Arkova::WinGui
