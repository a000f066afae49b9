#include "ui/browser_model.h"

#include <algorithm>

#include "archive/archive_session.h"
#include "ui/name_match.h"
#include "ui/status_texts.h"

namespace Arkova::Ui {

namespace {

// A name with its first eight case-folded code units packed in order, so that most comparisons of a name sort are
// decided by two integers without reading the names. Units above 0xFFFF (wide characters off Windows) are
// clamped; equal prefixes fall back to the names themselves.
struct NameKey {
    std::uint64_t high = 0;
    std::uint64_t low = 0;
    std::wstring_view name;

    explicit NameKey(std::wstring_view text) : name(text) {
        bool clamped = false;
        for (std::size_t i = 0; i < 8; ++i) {
            std::uint64_t unit = i < text.size() ? static_cast<std::uint64_t>(FoldCase(text[i])) : 0;
            // After a clamped unit the rest is saturated too, or a later unit could decide against the true order.
            if (clamped || unit > 0xFFFF) {
                clamped = true;
                unit = 0xFFFF;
            }
            (i < 4 ? high : low) |= unit << (16 * (3 - i % 4));
        }
    }
};

int CompareNameKeys(const NameKey& a, const NameKey& b) {
    if (a.high != b.high) return a.high < b.high ? -1 : 1;
    if (a.low != b.low) return a.low < b.low ? -1 : 1;
    return CompareNamesIgnoringCase(a.name, b.name);
}

}  // namespace

void BrowserModel::Open(const std::vector<ArchiveItem>& items, std::wstring archivePath) {
    Close();
    tree_.Build(items);
    open_ = true;
    archivePath_ = std::move(archivePath);
    for (const ArchiveItem& item : items) {
        if (item.isDirectory) {
            ++folderCount_;
        } else {
            ++fileCount_;
            packedTotal_ = SaturatingAdd(packedTotal_, item.packedSize);
        }
    }
    ShowFolder(L"");
}

void BrowserModel::Close() {
    tree_.Clear();
    open_ = false;
    archivePath_.clear();
    fileCount_ = folderCount_ = 0;
    packedTotal_ = 0;
    currentFolder_.clear();
    folderRefs_.clear();
    fileRefs_.clear();
    rows_.clear();
}

std::wstring BrowserModel::NodeLabel(std::uint32_t node) const {
    if (node == FolderTree::kRoot) return FileNamePart(archivePath_);
    return std::wstring(tree_.Label(node));
}

void BrowserModel::ShowFolder(std::wstring_view folder) {
    currentFolder_.assign(folder);
    folderRefs_.clear();
    fileRefs_.clear();
    rows_.clear();
    if (!open_) return;
    // Every folder that holds anything is a node, so a path without one has no rows.
    std::uint32_t node = tree_.Find(folder);
    if (node == kNone) return;
    for (std::uint32_t child : tree_.Children(node)) folderRefs_.push_back(kFolderBit | child);
    std::span<const std::uint32_t> files = tree_.Files(node);
    fileRefs_.assign(files.begin(), files.end());
    SortRefs(folderRefs_);
    SortRefs(fileRefs_);
    Filter();
}

std::uint32_t BrowserModel::NavigateToFolder(std::wstring_view path) {
    std::uint32_t node = open_ ? tree_.Find(path) : kNone;
    if (node == kNone) ShowFolder(path);
    return node;
}

ListRow BrowserModel::FolderRow(std::uint32_t node) const {
    std::uint32_t item = tree_.DirectoryItem(node);
    if (item != kNone) return FileRow(item);
    ListRow row;
    row.name = tree_.Label(node);
    row.isDirectory = true;
    return row;
}

ListRow BrowserModel::FileRow(std::uint32_t item) const {
    const ArchiveItem& entry = tree_.Items()[item];
    ListRow row;
    row.name = tree_.ItemName(item);
    row.isDirectory = entry.isDirectory;
    row.packedSize = entry.packedSize;
    row.size = entry.size;
    row.modifiedTime = entry.modifiedTime;
    row.crc = entry.crc;
    row.attributes = entry.attributes;
    row.isEncrypted = entry.isEncrypted;
    row.method = entry.method;
    row.comment = entry.comment;
    row.hostOs = entry.hostOs;
    return row;
}

ListRow BrowserModel::RowOf(std::uint32_t ref) const {
    return (ref & kFolderBit) != 0 ? FolderRow(ref & ~kFolderBit) : FileRow(ref);
}

ListRow BrowserModel::Row(std::size_t row) const { return RowOf(rows_[row]); }

std::uint32_t BrowserModel::RowItem(std::size_t row) const {
    return IsFolderRow(row) ? tree_.DirectoryItem(rows_[row] & ~kFolderBit) : rows_[row];
}

std::wstring BrowserModel::RowPath(std::size_t row) const {
    if (IsFolderRow(row)) return std::wstring(tree_.Path(rows_[row] & ~kFolderBit));
    std::wstring_view name = tree_.ItemName(rows_[row]);
    if (currentFolder_.empty()) return std::wstring(name);
    return currentFolder_ + L"/" + std::wstring(name);
}

int BrowserModel::CompareRows(const ListRow& a, const ListRow& b) const {
    auto compare = [](std::uint64_t x, std::uint64_t y) { return x < y ? -1 : (x > y ? 1 : 0); };
    switch (sortKey_) {
        case SortKey::ByPackedSize:
            return compare(a.packedSize, b.packedSize);
        case SortKey::BySize:
            return compare(a.size, b.size);
        case SortKey::ByModified:
            return compare(a.modifiedTime, b.modifiedTime);
        case SortKey::ByName:
            break;
    }
    return CompareNamesIgnoringCase(a.name, b.name);
}

// Each row's key is read once into a scratch list of (key, row) pairs, which is sorted in place: the comparisons
// then read neighbouring memory instead of the entries. A stable sort keeps equal rows in the order they came in.
template <typename Key, typename Compare>
void BrowserModel::SortByKey(std::vector<std::uint32_t>& refs, Key key, Compare compare) const {
    using Value = decltype(key(refs[0]));
    std::vector<std::pair<Value, std::uint32_t>> keyed;
    keyed.reserve(refs.size());
    for (std::uint32_t ref : refs) keyed.emplace_back(key(ref), ref);
    const bool ascending = sortAscending_;
    std::stable_sort(keyed.begin(), keyed.end(), [&](const auto& a, const auto& b) {
        int result = compare(a.first, b.first);
        return ascending ? result < 0 : result > 0;
    });
    for (std::size_t i = 0; i < refs.size(); ++i) refs[i] = keyed[i].second;
}

void BrowserModel::SortRefs(std::vector<std::uint32_t>& refs) const {
    if (refs.size() < 2) return;
    auto numbers = [](std::uint64_t x, std::uint64_t y) { return x < y ? -1 : (x > y ? 1 : 0); };
    switch (sortKey_) {
        case SortKey::ByName:
            SortByKey(
                refs, [this](std::uint32_t ref) { return NameKey(RowOf(ref).name); }, CompareNameKeys);
            break;
        case SortKey::ByPackedSize:
            SortByKey(
                refs, [this](std::uint32_t ref) { return RowOf(ref).packedSize; }, numbers);
            break;
        case SortKey::BySize:
            SortByKey(
                refs, [this](std::uint32_t ref) { return RowOf(ref).size; }, numbers);
            break;
        case SortKey::ByModified:
            SortByKey(
                refs, [this](std::uint32_t ref) { return RowOf(ref).modifiedTime; }, numbers);
            break;
    }
}

void BrowserModel::Filter() {
    rows_.clear();
    if (searchText_.empty()) {
        rows_.reserve(folderRefs_.size() + fileRefs_.size());
        rows_.insert(rows_.end(), folderRefs_.begin(), folderRefs_.end());
        rows_.insert(rows_.end(), fileRefs_.begin(), fileRefs_.end());
        return;
    }
    // Only the name takes part, so the filter reads names without making whole rows.
    for (std::uint32_t ref : folderRefs_) {
        if (WildcardMatch(tree_.Label(ref & ~kFolderBit), searchPattern_)) rows_.push_back(ref);
    }
    for (std::uint32_t ref : fileRefs_) {
        if (WildcardMatch(tree_.ItemName(ref), searchPattern_)) rows_.push_back(ref);
    }
}

void BrowserModel::SetSort(SortKey key, bool ascending) {
    sortKey_ = key;
    sortAscending_ = ascending;
    // Collected again rather than re-sorted, so equal rows fall back to the decoder's order whatever came before.
    std::wstring folder = currentFolder_;
    ShowFolder(folder);
}

bool BrowserModel::ClickColumn(int column) {
    SortKey key;
    switch (column) {
        case kColumnName:
            key = SortKey::ByName;
            break;
        case kColumnPackedSize:
            key = SortKey::ByPackedSize;
            break;
        case kColumnSize:
            key = SortKey::BySize;
            break;
        default:
            return false;
    }
    SetSort(key, key == sortKey_ ? !sortAscending_ : true);
    return true;
}

ListMenuChecks BrowserModel::MenuChecks() const {
    ListMenuChecks checks;
    checks.details = viewMode_ == ViewMode::Details;
    checks.largeIcons = viewMode_ == ViewMode::LargeIcons;
    checks.byName = sortKey_ == SortKey::ByName;
    checks.byModified = sortKey_ == SortKey::ByModified;
    checks.bySize = sortKey_ == SortKey::BySize;
    checks.ascending = sortAscending_;
    checks.descending = !sortAscending_;
    return checks;
}

void BrowserModel::SetSearchText(std::wstring text) {
    searchText_ = std::move(text);
    searchPattern_ = searchText_.empty() ? std::wstring() : SearchPattern(searchText_);
    Filter();
}

bool BrowserModel::RowPassesFilter(const ListRow& row) const {
    return searchText_.empty() || WildcardMatch(row.name, searchPattern_);
}

std::wstring BrowserModel::ArchiveSummary() const {
    if (archivePath_.empty()) return {};
    return ArchiveSummaryText(fileCount_, folderCount_, packedTotal_);
}

// Rows count as folders or files by what they are, not by their sizes: an empty file is still a file.
std::wstring BrowserModel::SelectionSummary(std::span<const std::size_t> selectedRows) const {
    std::size_t files = 0;
    std::size_t folders = 0;
    std::uint64_t size = 0;
    std::uint64_t packed = 0;
    for (std::size_t position : selectedRows) {
        if (position >= rows_.size()) continue;
        ListRow row = Row(position);
        if (row.isDirectory) {
            ++folders;
            continue;
        }
        ++files;
        size = SaturatingAdd(size, row.size);
        packed = SaturatingAdd(packed, row.packedSize);
    }
    return SelectionSummaryText(files, folders, size, packed);
}

std::wstring BrowserModel::SearchCountText() const {
    return searchText_.empty() ? std::wstring() : Ui::SearchCountText(rows_.size());
}

std::vector<ThumbnailJob> BrowserModel::ThumbnailJobs(const std::function<bool(std::wstring_view)>& isImageName) const {
    std::vector<ThumbnailJob> jobs;
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        if (IsFolderRow(row) || !isImageName(tree_.ItemName(rows_[row]))) continue;
        const ArchiveItem& entry = tree_.Items()[rows_[row]];
        if (entry.index == 0xFFFFFFFFu) continue;
        jobs.push_back({static_cast<std::int32_t>(row), entry.index, entry.isEncrypted});
    }
    return jobs;
}

}  // namespace Arkova::Ui
