#include "support/win32/control_readers.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>

#include "wingui/dialog_units.h"

namespace Arkova::Testing {

namespace {

std::wstring ListViewCell(HWND list, int row, int column) {
    wchar_t buffer[1024] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = static_cast<int>(std::size(buffer));
    auto length = ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return std::wstring(buffer, static_cast<size_t>(length));
}

void AddTreeItems(HWND tree, HTREEITEM first, int depth, std::vector<TreeRow>& rows) {
    for (HTREEITEM item = first; item != nullptr; item = TreeView_GetNextSibling(tree, item)) {
        wchar_t buffer[1024] = {};
        TVITEMW info{};
        info.mask = TVIF_TEXT;
        info.hItem = item;
        info.pszText = buffer;
        info.cchTextMax = static_cast<int>(std::size(buffer));
        ::SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&info));
        rows.push_back({depth, buffer});
        AddTreeItems(tree, TreeView_GetChild(tree, item), depth + 1, rows);
    }
}

// The item texts of a list box or a combo box, through their own length and text messages.
std::vector<std::wstring> Items(HWND window, UINT count, UINT length, UINT text) {
    std::vector<std::wstring> items;
    auto total = ::SendMessageW(window, count, 0, 0);
    for (WPARAM index = 0; static_cast<LRESULT>(index) < total; ++index) {
        std::wstring item(static_cast<size_t>(std::max<LRESULT>(::SendMessageW(window, length, index, 0), 0)) + 1,
                          L'\0');
        auto copied = ::SendMessageW(window, text, index, reinterpret_cast<LPARAM>(item.data()));
        item.resize(static_cast<size_t>(std::max<LRESULT>(copied, 0)));
        items.push_back(std::move(item));
    }
    return items;
}

}  // namespace

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring ItemText(HWND dialog, int id) {
    HWND item = ::GetDlgItem(dialog, id);
    return item != nullptr ? WindowText(item) : std::wstring();
}

bool IsChecked(HWND button) { return ::SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

bool IsShown(HWND window) { return ::IsWindowVisible(window) != FALSE; }

int ProgressPos(HWND bar) { return static_cast<int>(::SendMessageW(bar, PBM_GETPOS, 0, 0)); }

std::vector<std::wstring> ListViewColumns(HWND list) {
    std::vector<std::wstring> columns;
    HWND header = ListView_GetHeader(list);
    int count = header != nullptr ? Header_GetItemCount(header) : 0;
    for (int column = 0; column < count; ++column) {
        wchar_t buffer[260] = {};
        LVCOLUMNW info{};
        info.mask = LVCF_TEXT;
        info.pszText = buffer;
        info.cchTextMax = static_cast<int>(std::size(buffer));
        ::SendMessageW(list, LVM_GETCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&info));
        columns.emplace_back(buffer);
    }
    return columns;
}

std::vector<std::vector<std::wstring>> ListViewRows(HWND list) {
    size_t columns = std::max<size_t>(ListViewColumns(list).size(), 1);
    std::vector<std::vector<std::wstring>> rows;
    int count = ListView_GetItemCount(list);
    for (int row = 0; row < count; ++row) {
        std::vector<std::wstring>& cells = rows.emplace_back();
        for (size_t column = 0; column < columns; ++column) {
            cells.push_back(ListViewCell(list, row, static_cast<int>(column)));
        }
    }
    return rows;
}

std::vector<TreeRow> TreeItems(HWND tree) {
    std::vector<TreeRow> rows;
    AddTreeItems(tree, TreeView_GetRoot(tree), 0, rows);
    return rows;
}

std::vector<std::wstring> ComboItems(HWND combo) { return Items(combo, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT); }

std::vector<std::wstring> ListBoxItems(HWND list) { return Items(list, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT); }

ItemRect ControlRect(HWND dialog, int id) {
    return {WinGui::ItemRectInPixels(dialog, id), WinGui::ItemRectInDialogUnits(dialog, id)};
}

}  // namespace Arkova::Testing
