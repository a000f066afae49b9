#include "wingui/list_view.h"

#include <algorithm>
#include <iterator>

#include "wingui/dpi.h"

namespace Arkova::WinGui {

bool ListView::Create(const CreateArgs& args) {
    CreateArgs withBorder = args;
    if (args.border) withBorder.exStyle |= WS_EX_CLIENTEDGE;
    DWORD style = WS_TABSTOP | args.view | LVS_SHOWSELALWAYS | (args.virtualRows ? LVS_OWNERDATA : 0) |
                  (args.singleSelection ? LVS_SINGLESEL : 0);
    if (!CreateControl(WC_LISTVIEWW, withBorder, style)) return false;
    SetExtendedStyle(args.extendedStyle, args.extendedStyle);
    return true;
}

void ListView::SetExtendedStyle(DWORD mask, DWORD style) {
    ::SendMessageW(Handle(), LVM_SETEXTENDEDLISTVIEWSTYLE, mask, static_cast<LPARAM>(style));
}

DWORD ListView::ExtendedStyle() const {
    return static_cast<DWORD>(::SendMessageW(Handle(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
}

int ListView::AddColumn(std::wstring_view text, int width, int format) {
    std::wstring title(text);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.fmt = format;
    column.cx = Scale(width, DpiForWindow(Handle()));
    column.pszText = title.data();
    int index = ColumnCount();
    return static_cast<int>(
        ::SendMessageW(Handle(), LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column)));
}

int ListView::ColumnCount() const {
    HWND header = reinterpret_cast<HWND>(::SendMessageW(Handle(), LVM_GETHEADER, 0, 0));
    return header != nullptr ? static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

std::wstring ListView::ColumnText(int column) const {
    wchar_t buffer[260] = {};
    LVCOLUMNW info{};
    info.mask = LVCF_TEXT;
    info.pszText = buffer;
    info.cchTextMax = static_cast<int>(std::size(buffer));
    if (!::SendMessageW(Handle(), LVM_GETCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&info))) {
        return {};
    }
    return info.pszText;
}

int ListView::ColumnWidth(int column) const {
    return static_cast<int>(::SendMessageW(Handle(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
}

int ListView::InsertRow(int row, std::wstring_view text, LPARAM data) {
    std::wstring cell(text);
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = row < 0 ? RowCount() : row;
    item.pszText = cell.data();
    item.lParam = data;
    return static_cast<int>(::SendMessageW(Handle(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

int ListView::AddRow(const std::vector<std::wstring>& cells, LPARAM data) {
    int row = InsertRow(-1, cells.empty() ? std::wstring_view() : std::wstring_view(cells[0]), data);
    if (row < 0) return -1;
    for (size_t column = 1; column < cells.size(); ++column) SetItemText(row, static_cast<int>(column), cells[column]);
    return row;
}

bool ListView::SetItemText(int row, int column, std::wstring_view text) {
    std::wstring cell(text);
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = cell.data();
    return ::SendMessageW(Handle(), LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)) != 0;
}

std::wstring ListView::ItemText(int row, int column) const {
    // The message answers how much it copied, never how long the text is: grow until it fits.
    std::wstring text(128, L'\0');
    for (;;) {
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = text.data();
        item.cchTextMax = static_cast<int>(text.size());
        auto copied = static_cast<size_t>(
            ::SendMessageW(Handle(), LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
        if (copied + 1 < text.size() || text.size() >= 32768) {
            text.resize(copied);
            return text;
        }
        text.resize(text.size() * 2);
    }
}

LPARAM ListView::RowData(int row) const {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    ::SendMessageW(Handle(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return item.lParam;
}

int ListView::RowCount() const { return static_cast<int>(::SendMessageW(Handle(), LVM_GETITEMCOUNT, 0, 0)); }

void ListView::DeleteAllRows() { ::SendMessageW(Handle(), LVM_DELETEALLITEMS, 0, 0); }

void ListView::SetRowCount(int count) {
    ::SendMessageW(Handle(), LVM_SETITEMCOUNT, static_cast<WPARAM>(count), LVSICF_NOINVALIDATEALL);
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

void ListView::SetRedraw(bool on) {
    ::SendMessageW(Handle(), WM_SETREDRAW, on ? TRUE : FALSE, 0);
    if (on) ::InvalidateRect(Handle(), nullptr, TRUE);
}

bool ListView::RowChecked(int row) const {
    auto state = static_cast<UINT>(
        ::SendMessageW(Handle(), LVM_GETITEMSTATE, static_cast<WPARAM>(row), static_cast<LPARAM>(LVIS_STATEIMAGEMASK)));
    return (state & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
}

void ListView::SetRowChecked(int row, bool checked) {
    LVITEMW item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    ::SendMessageW(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

int ListView::SelectedRow() const {
    return static_cast<int>(::SendMessageW(Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

std::vector<int> ListView::SelectedRows() const {
    std::vector<int> rows;
    for (int row = SelectedRow(); row >= 0;) {
        rows.push_back(row);
        row = static_cast<int>(::SendMessageW(Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED));
    }
    return rows;
}

void ListView::SelectRow(int row, bool selected) {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | (selected ? LVIS_FOCUSED : 0);
    item.state = selected ? LVIS_SELECTED | LVIS_FOCUSED : 0;
    ::SendMessageW(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void ListView::EnsureVisible(int row) { ::SendMessageW(Handle(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE); }

bool ListView::FillDisplayInfo(NMLVDISPINFOW& info) {
    bool filled = false;
    if (onGetText && (info.item.mask & LVIF_TEXT) != 0 && info.item.cchTextMax > 0) {
        std::wstring text = onGetText(info.item.iItem, info.item.iSubItem);
        size_t length = std::min(text.size(), static_cast<size_t>(info.item.cchTextMax) - 1);
        text.copy(info.item.pszText, length);
        info.item.pszText[length] = L'\0';
        filled = true;
    }
    if (onGetImage && (info.item.mask & LVIF_IMAGE) != 0) {
        info.item.iImage = onGetImage(info.item.iItem);
        filled = true;
    }
    return filled;
}

bool ListView::OnNotify(NMHDR& header, LRESULT& result) {
    result = 0;
    switch (header.code) {
        case LVN_GETDISPINFOW:
            return FillDisplayInfo(reinterpret_cast<NMLVDISPINFOW&>(header));
        case LVN_ITEMCHANGED: {
            auto& change = reinterpret_cast<NMLISTVIEW&>(header);
            UINT changed = (change.uChanged & LVIF_STATE) ? change.uNewState ^ change.uOldState : 0;
            bool handled = false;
            // The check box is the state image: 1 unchecked, 2 checked. Rows just inserted go from 0 to 1.
            if ((changed & LVIS_STATEIMAGEMASK) && (change.uOldState & LVIS_STATEIMAGEMASK) && change.iItem >= 0 &&
                onCheckChanged) {
                onCheckChanged(change.iItem, (change.uNewState & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2));
                handled = true;
            }
            if ((changed & LVIS_SELECTED) && onSelectionChanged) {
                onSelectionChanged();
                handled = true;
            }
            return handled;
        }
        case LVN_ODSTATECHANGED:  // a range of virtual rows changed state at once
            if (!onSelectionChanged) return false;
            onSelectionChanged();
            return true;
        case LVN_ITEMACTIVATE:
            if (!onActivate) return false;
            onActivate(reinterpret_cast<NMITEMACTIVATE&>(header).iItem);
            return true;
        case LVN_COLUMNCLICK:
            if (!onColumnClick) return false;
            onColumnClick(reinterpret_cast<NMLISTVIEW&>(header).iSubItem);
            return true;
        default:
            return false;
    }
}

}  // namespace Arkova::WinGui
