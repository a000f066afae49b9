// The folder tree of an archive, computed from its entry paths in one pass: every folder named by a directory entry
// or implied by a deeper path, the files directly in each folder, and each node's children for a tree view that is
// filled as nodes are expanded.
//
// The tree keeps views into the entries' paths: the item list must stay alive and unchanged until the next Build or
// Clear. User-interface thread only, like the item list it reads.
#pragma once

#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "archive/archive_item.h"

namespace Arkova::Ui {

class FolderTree {
public:
    static constexpr std::uint32_t kRoot = 0;
    static constexpr std::uint32_t kNone = 0xFFFFFFFF;

    void Build(const std::vector<ArchiveItem>& items);
    void Clear();

    // At least the root, once built; nothing before.
    std::size_t NodeCount() const { return nodes_.size(); }
    // The folder path in the browser's form; empty for the root.
    std::wstring_view Path(std::uint32_t node) const { return nodes_[node].path; }
    // The last component of the path; empty for the root (the window labels it with the archive's name).
    std::wstring_view Label(std::uint32_t node) const { return nodes_[node].path.substr(nodes_[node].labelStart); }
    std::uint32_t Parent(std::uint32_t node) const { return nodes_[node].parent; }
    // Sub-folders in ascending code-unit order of their labels.
    std::span<const std::uint32_t> Children(std::uint32_t node) const { return Range(children_, childOffsets_, node); }
    // The first directory entry with this folder's path, or kNone for a folder only implied by other paths.
    std::uint32_t DirectoryItem(std::uint32_t node) const { return nodes_[node].directoryItem; }
    // Positions of the file entries directly in this folder, in the decoder's order.
    std::span<const std::uint32_t> Files(std::uint32_t node) const { return Range(files_, fileOffsets_, node); }
    // The node of a folder path in the browser's form, or kNone.
    std::uint32_t Find(std::wstring_view path) const;

    // The last component of an entry's path in the browser's form.
    std::wstring_view ItemName(std::uint32_t item) const {
        const NameSpan& name = names_[item];
        return std::wstring_view((*items_)[item].path).substr(name.begin, name.length);
    }
    const std::vector<ArchiveItem>& Items() const { return *items_; }

private:
    struct Node {
        std::wstring_view path;
        std::uint32_t labelStart = 0;
        std::uint32_t parent = kNone;
        std::uint32_t directoryItem = kNone;
    };
    struct NameSpan {
        std::uint32_t begin = 0;
        std::uint32_t length = 0;
    };

    static std::span<const std::uint32_t> Range(const std::vector<std::uint32_t>& values,
                                                const std::vector<std::uint32_t>& offsets, std::uint32_t node) {
        return std::span<const std::uint32_t>(values).subspan(offsets[node], offsets[node + 1] - offsets[node]);
    }
    std::uint32_t EnsureFolder(std::wstring_view path, bool stable);
    void BuildChildLists();
    void BuildFileLists(const std::vector<std::uint32_t>& folderOfItem);

    const std::vector<ArchiveItem>* items_ = nullptr;
    std::vector<Node> nodes_;
    // Folder paths that differ from the entry's own text ("\" separated); deque elements never move.
    std::deque<std::wstring> ownedPaths_;
    std::unordered_map<std::wstring_view, std::uint32_t> nodeByPath_;
    std::vector<std::uint32_t> childOffsets_;
    std::vector<std::uint32_t> children_;
    std::vector<std::uint32_t> fileOffsets_;
    std::vector<std::uint32_t> files_;
    std::vector<NameSpan> names_;
    std::vector<std::wstring_view> missing_;  // scratch of EnsureFolder
};

}  // namespace Arkova::Ui
