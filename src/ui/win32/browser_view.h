// The folder tree and the item list of the main window, rendering the browser model of the open archive: the tree
// filled as folders open, the rows of the current folder in a virtual list (texts and icons asked for only as rows
// are drawn), sorting by column or by the list's menu, the two view modes and the search filter. UI thread only.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "archive/archive_item.h"
#include "archive/archive_session.h"
#include "extract/extraction_job.h"
#include "preview/thumbnail_pipeline.h"
#include "ui/browser_model.h"
#include "wingui/gdi_handles.h"
#include "wingui/list_view.h"
#include "wingui/tree_view.h"

namespace Arkova {

// Posted to the frame by the thumbnail workers: the row in wParam, the thumbnail (an HBITMAP the frame now owns)
// in lParam. The frame hands it to BrowserView::OnThumbnailReady.
constexpr UINT WM_THUMBNAIL_READY = WM_USER + 100;

class BrowserView {
public:
    BrowserView() = default;
    BrowserView(const BrowserView&) = delete;
    BrowserView& operator=(const BrowserView&) = delete;
    ~BrowserView();

    bool Create(HWND parent, UINT dpi);
    // The open archive whose decoder the thumbnails read; it must outlive the thumbnail workers, so whoever
    // replaces or closes it calls StopThumbnailWorkers first.
    void SetSession(ArchiveSession* session) { session_ = session; }
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
    // The selected row, when exactly one is; -1 otherwise.
    int SingleSelectedRow() const;
    // After the frame moved or sized the list: the icon views lay their icons out again for a new width, which some
    // list controls leave undone.
    void ListResized();

    // The icon views' thumbnails: every row gets its shell icon at once, then the workers replace the icons of
    // image rows as their thumbnails arrive. Called again after a new password was accepted.
    void BuildThumbnails();
    // Stops and joins the workers and drops thumbnails still on their way. Never waits for the UI thread's own use
    // of the decoder.
    void StopThumbnailWorkers();
    bool ThumbnailWorkersRunning() const { return thumbnails_.Running(); }
    // WM_THUMBNAIL_READY; always deletes the bitmap it does not keep.
    void OnThumbnailReady(WPARAM row, LPARAM bitmap);
    // How many rows show a thumbnail instead of their icon.
    int ThumbnailCount() const;
    bool RowHasThumbnail(int row) const;

    // Takes the session's decoder mutex for a use on the UI thread. A worker's brief hold is waited out; when the
    // mutex is held otherwise, it is this thread's own use further up the stack (a job pumping messages) and false
    // is returned without waiting.
    bool LockDecoderForUi(std::unique_lock<std::mutex>& lock);
    // The list's notifications that its own control leaves to the frame (right click, double click).
    bool HandleNotify(NMHDR& header, LRESULT& result);

    std::function<void()> onSelectionChanged;
    std::function<void(const std::wstring& text)> onFilled;  // after each fill while a search text is set
    std::function<void(int command)> onCommand;              // chosen in the list's menu and not handled here
    std::function<void()> onOpen;  // a row was double-clicked or Enter pressed; without it folder rows open

private:
    void Refill();
    void ArrangeIcons();
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
    int ThumbnailIconImage(const std::wstring& name, bool folder);

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
    int arrangedWidth_ = -1;  // the list's width when the icons were last laid out

    ArchiveSession* session_ = nullptr;
    ThumbnailPipeline thumbnails_;
    WinGui::ImageList thumbnailImages_;
    std::vector<int> thumbnailImageOfRow_;
    std::vector<bool> rowHasThumbnail_;
    std::map<std::wstring, int> thumbnailIconByExtension_;  // each file type's icon image is shared by its rows
};

}  // namespace Arkova
