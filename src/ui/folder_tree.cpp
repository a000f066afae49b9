#include "ui/folder_tree.h"

#include <algorithm>

#include "archive/browser_path.h"

namespace Arkova::Ui {

namespace {

// Text before the last "/", or the empty path (the root).
std::wstring_view ParentPath(std::wstring_view path) {
    std::size_t slash = path.rfind(L'/');
    return slash == std::wstring_view::npos ? std::wstring_view() : path.substr(0, slash);
}

}  // namespace

void FolderTree::Clear() {
    items_ = nullptr;
    nodes_.clear();
    ownedPaths_.clear();
    nodeByPath_.clear();
    childOffsets_.clear();
    children_.clear();
    fileOffsets_.clear();
    files_.clear();
    names_.clear();
}

void FolderTree::Build(const std::vector<ArchiveItem>& items) {
    Clear();
    items_ = &items;
    nodes_.push_back(Node{});
    nodeByPath_.emplace(std::wstring_view(), kRoot);
    names_.resize(items.size());
    std::vector<std::uint32_t> folderOfItem(items.size(), kNone);
    std::wstring scratch;
    for (std::uint32_t i = 0; i < items.size(); ++i) {
        const std::wstring& entryPath = items[i].path;
        std::wstring_view path = BrowserPathView(entryPath, scratch);
        // Without a "\" the form is a prefix of the entry's own text and can be kept as a view of it.
        const bool stable = path.empty() || path.data() == entryPath.data();
        std::size_t slash = path.rfind(L'/');
        std::size_t nameBegin = slash == std::wstring_view::npos ? 0 : slash + 1;
        names_[i] = {static_cast<std::uint32_t>(nameBegin), static_cast<std::uint32_t>(path.size() - nameBegin)};
        if (items[i].isDirectory) {
            if (path.empty()) continue;  // names the root itself
            // Its ancestors are made too, so that every directory entry sits at its true place in the tree.
            std::uint32_t node = EnsureFolder(path, stable);
            if (nodes_[node].directoryItem == kNone) nodes_[node].directoryItem = i;
        } else {
            folderOfItem[i] = EnsureFolder(ParentPath(path), stable);
        }
    }
    BuildChildLists();
    BuildFileLists(folderOfItem);
}

std::uint32_t FolderTree::Find(std::wstring_view path) const {
    auto found = nodeByPath_.find(path);
    return found == nodeByPath_.end() ? kNone : found->second;
}

// The node of a folder path, made with every missing ancestor. A path that points into scratch text is copied
// once; its ancestors are views of that copy.
std::uint32_t FolderTree::EnsureFolder(std::wstring_view path, bool stable) {
    auto found = nodeByPath_.find(path);
    if (found != nodeByPath_.end()) return found->second;
    if (!stable) path = ownedPaths_.emplace_back(path);
    missing_.clear();
    std::uint32_t parent = kRoot;
    for (std::wstring_view cursor = path;;) {
        missing_.push_back(cursor);
        cursor = ParentPath(cursor);
        found = nodeByPath_.find(cursor);
        if (found != nodeByPath_.end()) {
            parent = found->second;
            break;
        }
    }
    for (auto folder = missing_.rbegin(); folder != missing_.rend(); ++folder) {
        std::size_t slash = folder->rfind(L'/');
        Node node;
        node.path = *folder;
        node.labelStart = slash == std::wstring_view::npos ? 0 : static_cast<std::uint32_t>(slash + 1);
        node.parent = parent;
        parent = static_cast<std::uint32_t>(nodes_.size());
        nodes_.push_back(node);
        nodeByPath_.emplace(*folder, parent);
    }
    return parent;
}

void FolderTree::BuildChildLists() {
    childOffsets_.assign(nodes_.size() + 1, 0);
    for (std::uint32_t node = 1; node < nodes_.size(); ++node) ++childOffsets_[nodes_[node].parent + 1];
    for (std::size_t node = 0; node < nodes_.size(); ++node) childOffsets_[node + 1] += childOffsets_[node];
    children_.resize(nodes_.size() - 1);
    std::vector<std::uint32_t> next(childOffsets_.begin(), childOffsets_.end() - 1);
    for (std::uint32_t node = 1; node < nodes_.size(); ++node) children_[next[nodes_[node].parent]++] = node;
    for (std::uint32_t node = 0; node < nodes_.size(); ++node) {
        std::sort(children_.begin() + childOffsets_[node], children_.begin() + childOffsets_[node + 1],
                  [this](std::uint32_t a, std::uint32_t b) { return Label(a) < Label(b); });
    }
}

void FolderTree::BuildFileLists(const std::vector<std::uint32_t>& folderOfItem) {
    fileOffsets_.assign(nodes_.size() + 1, 0);
    for (std::uint32_t folder : folderOfItem) {
        if (folder != kNone) ++fileOffsets_[folder + 1];
    }
    for (std::size_t node = 0; node < nodes_.size(); ++node) fileOffsets_[node + 1] += fileOffsets_[node];
    files_.resize(fileOffsets_.back());
    std::vector<std::uint32_t> next(fileOffsets_.begin(), fileOffsets_.end() - 1);
    for (std::uint32_t item = 0; item < folderOfItem.size(); ++item) {
        if (folderOfItem[item] != kNone) files_[next[folderOfItem[item]]++] = item;
    }
}

}  // namespace Arkova::Ui
