// What the archive browser shows, as a model the window renders: the folder tree, the rows of the current folder
// (sorted, filtered by the search text), each cell's text, the list menu's check marks and the status-bar texts.
// Rows are positions into the item list (or tree nodes for folders without an entry of their own); texts are made
// only when a cell is asked for, so a virtual list view can sit on top of it.
//
// The item list passed to Open must stay alive and unchanged until the next Open or Close. The view settings (view
// mode, sort, search text) survive both. User-interface thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "archive/archive_item.h"
#include "preview/thumbnail_pipeline.h"
#include "ui/folder_tree.h"
#include "ui/list_row.h"

namespace Arkova::Ui {

enum class ViewMode { Details, List, SmallIcons, LargeIcons };
enum class SortKey { ByName, ByPackedSize, BySize, ByModified };

// Which entries of the list menu carry a check mark.
struct ListMenuChecks {
    bool details = false;
    bool largeIcons = false;
    bool byName = false;
    bool byModified = false;
    bool bySize = false;
    bool ascending = false;
    bool descending = false;
};

using Arkova::ThumbnailJob;

class BrowserModel {
public:
    static constexpr std::uint32_t kNone = FolderTree::kNone;

    // Builds the tree and shows the root folder.
    void Open(const std::vector<ArchiveItem>& items, std::wstring archivePath);
    // No archive: no tree, no rows, empty summaries.
    void Close();
    bool IsOpen() const { return open_; }

    const FolderTree& Tree() const { return tree_; }
    // A node's label; the root is labelled with the archive's file name.
    std::wstring NodeLabel(std::uint32_t node) const;

    // Fills the rows with the folders and files directly in `folder` (browser form; the root is empty).
    void ShowFolder(std::wstring_view folder);
    // The tree node the window selects for a folder path (its selection change then shows the folder), or kNone when
    // the tree has no such folder, in which case the rows were filled here.
    std::uint32_t NavigateToFolder(std::wstring_view path);
    const std::wstring& CurrentFolder() const { return currentFolder_; }

    std::size_t RowCount() const { return rows_.size(); }
    ListRow Row(std::size_t row) const;
    std::wstring CellText(std::size_t row, int column) const { return Ui::CellText(Row(row), column); }
    bool IsFolderRow(std::size_t row) const { return (rows_[row] & kFolderBit) != 0; }
    // The row's entry in the item list; kNone for a folder that has no entry of its own.
    std::uint32_t RowItem(std::size_t row) const;
    // The tree node of a folder row; kNone for a file row.
    std::uint32_t RowFolder(std::size_t row) const { return IsFolderRow(row) ? rows_[row] & ~kFolderBit : kNone; }
    // The row's full path in the browser's form.
    std::wstring RowPath(std::size_t row) const;

    // Negative, zero or positive by the current sort key, whatever the direction.
    int CompareRows(const ListRow& a, const ListRow& b) const;
    SortKey GetSortKey() const { return sortKey_; }
    bool SortAscending() const { return sortAscending_; }
    // Sorts the rows again. Folders stay before files in both directions; equal rows keep the decoder's order
    // (the tree's for folders without an entry).
    void SetSort(SortKey key, bool ascending);
    // Name, packed size and size columns sort (the same column again flips the direction); true when the rows
    // were sorted, false for the columns that do not sort.
    bool ClickColumn(int column);

    ViewMode GetViewMode() const { return viewMode_; }
    void SetViewMode(ViewMode mode) { viewMode_ = mode; }
    bool ShowsThumbnails() const { return viewMode_ == ViewMode::SmallIcons || viewMode_ == ViewMode::LargeIcons; }
    ListMenuChecks MenuChecks() const;

    // Filters the rows again; an empty text shows every row.
    void SetSearchText(std::wstring text);
    const std::wstring& SearchText() const { return searchText_; }
    bool RowPassesFilter(const ListRow& row) const;

    // Status bar part 2: "파일: …, 폴더: …, 압축 파일 크기: …"; empty without an archive.
    std::wstring ArchiveSummary() const;
    // Status bar part 0 for the selected rows (positions in list order); empty when none is selected.
    std::wstring SelectionSummary(std::span<const std::size_t> selectedRows) const;
    // Status bar part 0 after a fill while searching: "N items found"; empty without a search text.
    std::wstring SearchCountText() const;

    // The file rows whose names the predicate takes as images, with an entry index to extract.
    std::vector<ThumbnailJob> ThumbnailJobs(const std::function<bool(std::wstring_view)>& isImageName) const;

private:
    static constexpr std::uint32_t kFolderBit = 0x80000000u;

    ListRow FolderRow(std::uint32_t node) const;
    ListRow FileRow(std::uint32_t item) const;
    ListRow RowOf(std::uint32_t ref) const;
    void SortRefs(std::vector<std::uint32_t>& refs) const;
    template <typename Key, typename Compare>
    void SortByKey(std::vector<std::uint32_t>& refs, Key key, Compare compare) const;
    void Filter();

    FolderTree tree_;
    bool open_ = false;
    std::wstring archivePath_;
    std::size_t fileCount_ = 0;
    std::size_t folderCount_ = 0;
    std::uint64_t packedTotal_ = 0;

    std::wstring currentFolder_;
    std::vector<std::uint32_t> folderRefs_;  // kFolderBit | node, sorted
    std::vector<std::uint32_t> fileRefs_;    // item positions, sorted
    std::vector<std::uint32_t> rows_;        // what passes the filter, folders first

    ViewMode viewMode_ = ViewMode::Details;
    SortKey sortKey_ = SortKey::ByName;
    bool sortAscending_ = true;
    std::wstring searchText_;
    std::wstring searchPattern_;
};

}  // namespace Arkova::Ui
