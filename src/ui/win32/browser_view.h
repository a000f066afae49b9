// The folder tree and the item list of the main window, rendering the browser model of the open archive: the tree
// filled as folders open, the rows of the current folder in a virtual list (texts and icons asked for only as rows
// are drawn), sorting by column or by the list's menu, the two view modes and the search filter. UI thread only.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "archive/archive_item.h"
#include "extract/extraction_job.h"
#include "ui/browser_model.h"
#include "wingui/gdi_handles.h"
#include "wingui/list_view.h"
#include "wingui/tree_view.h"

namespace Arkova {

class BrowserView {
public:
    BrowserView() = default;
    BrowserView(const BrowserView&) = delete;
    BrowserView& operator=(const BrowserView&) = delete;
    ~BrowserView();

    bool Create(HWND parent, UINT dpi);
    HWND Tree() const { return tree_.Handle(); }
    HWND List() const { return list_.Handle(); }
    const Ui::BrowserModel& Model() const { return model_; }

    // A new archive's items (kept alive by the decoder while shown): the tree is built and the root shown.
    void Show(const std::vector<ArchiveItem>& items, const std::wstring& archivePath);
    void Clear();
    // Selects the folder's node in the tree, which shows its rows.
    void NavigateToFolder(const std::wstring& folder);
    const std::wstring& CurrentFolder() const { return model_.CurrentFolder(); }
    void SetSearchText(const std::wstring& text);
    const std::wstring& SearchText() const { return model_.SearchText(); }
    void SetViewMode(Ui::ViewMode mode);
    Ui::ViewMode Mode() const { return model_.GetViewMode(); }
    void SetSort(Ui::SortKey key, bool ascending);
    int SelectedCount() const;
    // The selected rows as the extraction of a selection takes them.
    std::vector<SelectedRow> SelectedRows() const;
    void SelectAll();
    // The status bar's texts: the selected rows, and the whole archive.
    std::wstring SelectionSummary() const;
    std::wstring ArchiveSummary() const { return model_.ArchiveSummary(); }
    void SetDpi(UINT dpi);
    // The list's notifications that its own control leaves to the frame (right click, double click).
    bool HandleNotify(NMHDR& header, LRESULT& result);

    std::function<void()> onSelectionChanged;
    std::function<void(const std::wstring& text)> onFilled;  // after each fill while a search text is set
    std::function<void(int command)> onCommand;              // chosen in the list's menu and not handled here
    std::function<void()> onOpen;  // a row was double-clicked or Enter pressed; without it folder rows open

private:
    void Refill();
    void ShowNode(std::uint32_t node);
    HTREEITEM InsertNode(HTREEITEM parent, std::uint32_t node);
    void InsertChildren(HTREEITEM item);
    HTREEITEM ItemOf(std::uint32_t node);
    int IconOf(int row);
    void ShowListMenu();
    void OpenRow(int row);
    void SetColumnWidths();
    LRESULT DrawRow(NMLVCUSTOMDRAW& draw);
    LRESULT DrawNode(NMTVCUSTOMDRAW& draw);

    Ui::BrowserModel model_;
    WinGui::TreeView tree_;
    WinGui::ListView list_;
    WinGui::ImageList treeImages_;     // the archive and folder icons
    WinGui::ImageList rowHeight_;      // an empty state image list that gives the rows their height
    HIMAGELIST smallIcons_ = nullptr;  // the system's, not owned
    HIMAGELIST largeIcons_ = nullptr;  // the system's, not owned
    int folderIcon_ = 0;
    std::map<std::wstring, int> iconByExtension_;
    std::vector<HTREEITEM> itemByNode_;  // nullptr until the node's parent was opened
    std::wstring archiveName_;
    UINT dpi_ = 96;
};

}  // namespace Arkova
