// The folder tree and the item list of the main window, rendering the browser model of the open archive: the tree
// of folders, the rows of the current folder in a virtual list, sorting, the view mode and the search filter.
// UI thread only.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "archive/archive_item.h"
#include "extract/extraction_job.h"
#include "wingui/gdi_handles.h"
#include "wingui/list_view.h"
#include "wingui/tree_view.h"

namespace Arkova {

class BrowserView {
public:
    enum class ViewMode { Details = 0, List = 1, SmallIcons = 2, LargeIcons = 3 };

    BrowserView();
    ~BrowserView();

    bool Create(HWND parent, UINT dpi);
    HWND Tree() const { return tree_.Handle(); }
    HWND List() const { return list_.Handle(); }

    // A new archive's items (the decoder keeps them alive while shown): the tree is built and the root shown.
    void Show(const std::vector<ArchiveItem>& items);
    void Clear();
    void ShowFolder(const std::wstring& folder);
    const std::wstring& CurrentFolder() const { return currentFolder_; }
    void SetSearchText(const std::wstring& text);
    const std::wstring& SearchText() const { return searchText_; }
    void SetViewMode(ViewMode mode);
    ViewMode Mode() const { return mode_; }
    int SelectedCount() const;
    // The selected rows as the extraction of a selection takes them.
    std::vector<SelectedRow> SelectedRows() const;
    // The status bar's texts: the selected rows, and the whole archive.
    std::wstring SelectionSummary() const;
    std::wstring ArchiveSummary() const;
    void SelectAll();
    void SetDpi(UINT dpi);
    // The tree's and list's notifications, which reach the frame.
    bool HandleNotify(NMHDR& header, LRESULT& result);

    std::function<void()> onSelectionChanged;
    std::function<void(int count)> onFiltered;   // the rows shown while a search text is set
    std::function<void(int command)> onCommand;  // chosen in the list's menu

private:
    struct Model;
    std::unique_ptr<Model> model_;
    WinGui::TreeView tree_;
    WinGui::ListView list_;
    std::wstring currentFolder_;
    std::wstring searchText_;
    ViewMode mode_ = ViewMode::Details;
    UINT dpi_ = 96;
};

}  // namespace Arkova
