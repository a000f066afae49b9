#pragma once
// A tree of texts, each item carrying a caller's value.

#include <functional>

#include "wingui/control.h"

namespace Arkova::WinGui {

class TreeView : public Control {
public:
    struct CreateArgs : ControlArgs {
        DWORD treeStyle = TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS;
        bool border = true;
    };

    TreeView() = default;
    bool Create(const CreateArgs& args);

    // parent nullptr (or TVI_ROOT) adds a root item. Returns nullptr on failure.
    HTREEITEM InsertItem(HTREEITEM parent, std::wstring_view text, LPARAM data = 0, HTREEITEM after = TVI_LAST);
    std::wstring ItemText(HTREEITEM item) const;
    LPARAM ItemData(HTREEITEM item) const;
    int Count() const;
    void DeleteAll();

    HTREEITEM Root() const;  // the first root item
    HTREEITEM FirstChild(HTREEITEM item) const;
    HTREEITEM NextSibling(HTREEITEM item) const;
    HTREEITEM Parent(HTREEITEM item) const;

    HTREEITEM Selected() const;
    bool Select(HTREEITEM item);
    void Expand(HTREEITEM item, bool expand = true);
    bool IsExpanded(HTREEITEM item) const;

    std::function<void(HTREEITEM item)> onSelectionChanged;
    // Before an item opens: the place to add its children on demand.
    std::function<void(HTREEITEM item)> onExpanding;

protected:
    bool OnNotify(NMHDR& header, LRESULT& result) override;

private:
    HTREEITEM Next(HTREEITEM item, UINT relation) const;
};

}  // namespace Arkova::WinGui
