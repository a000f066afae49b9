#include "wingui/tree_view.h"

#include <iterator>

namespace Arkova::WinGui {

bool TreeView::Create(const CreateArgs& args) {
    CreateArgs withBorder = args;
    if (args.border) withBorder.exStyle |= WS_EX_CLIENTEDGE;
    return CreateControl(WC_TREEVIEWW, withBorder, WS_TABSTOP | args.treeStyle);
}

HTREEITEM TreeView::InsertItem(HTREEITEM parent, std::wstring_view text, LPARAM data, HTREEITEM after) {
    std::wstring label(text);
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent != nullptr ? parent : TVI_ROOT;
    insert.hInsertAfter = after;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = label.data();
    insert.item.lParam = data;
    return reinterpret_cast<HTREEITEM>(::SendMessageW(Handle(), TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

std::wstring TreeView::ItemText(HTREEITEM item) const {
    wchar_t buffer[1024] = {};
    TVITEMW info{};
    info.mask = TVIF_TEXT;
    info.hItem = item;
    info.pszText = buffer;
    info.cchTextMax = static_cast<int>(std::size(buffer));
    if (!::SendMessageW(Handle(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&info))) return {};
    return info.pszText;
}

LPARAM TreeView::ItemData(HTREEITEM item) const {
    TVITEMW info{};
    info.mask = TVIF_PARAM;
    info.hItem = item;
    ::SendMessageW(Handle(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&info));
    return info.lParam;
}

int TreeView::Count() const { return static_cast<int>(::SendMessageW(Handle(), TVM_GETCOUNT, 0, 0)); }

void TreeView::DeleteAll() { ::SendMessageW(Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT)); }

HTREEITEM TreeView::Next(HTREEITEM item, UINT relation) const {
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageW(Handle(), TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

HTREEITEM TreeView::Root() const { return Next(nullptr, TVGN_ROOT); }

HTREEITEM TreeView::FirstChild(HTREEITEM item) const { return Next(item, TVGN_CHILD); }

HTREEITEM TreeView::NextSibling(HTREEITEM item) const { return Next(item, TVGN_NEXT); }

HTREEITEM TreeView::Parent(HTREEITEM item) const { return Next(item, TVGN_PARENT); }

HTREEITEM TreeView::Selected() const { return Next(nullptr, TVGN_CARET); }

bool TreeView::Select(HTREEITEM item) {
    return ::SendMessageW(Handle(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)) != 0;
}

void TreeView::Expand(HTREEITEM item, bool expand) {
    ::SendMessageW(Handle(), TVM_EXPAND, expand ? TVE_EXPAND : TVE_COLLAPSE, reinterpret_cast<LPARAM>(item));
}

bool TreeView::IsExpanded(HTREEITEM item) const {
    return (::SendMessageW(Handle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED) &
            TVIS_EXPANDED) != 0;
}

bool TreeView::OnNotify(NMHDR& header, LRESULT& result) {
    result = 0;  // for TVN_ITEMEXPANDING: let the item open
    auto& tree = reinterpret_cast<NMTREEVIEWW&>(header);
    if (header.code == TVN_SELCHANGEDW && onSelectionChanged) {
        onSelectionChanged(tree.itemNew.hItem);
        return true;
    }
    if (header.code == TVN_ITEMEXPANDINGW && onExpanding && tree.action == TVE_EXPAND) {
        onExpanding(tree.itemNew.hItem);
        return true;
    }
    return false;
}

}  // namespace Arkova::WinGui
