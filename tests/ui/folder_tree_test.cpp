// The tree must show every folder of an archive exactly once at its true place, however the paths are written.
#include <gtest/gtest.h>

#include "ui/folder_tree.h"

namespace Arkova::Ui {
namespace {

ArchiveItem File(std::wstring path) {
    ArchiveItem item;
    item.path = std::move(path);
    return item;
}
ArchiveItem Folder(std::wstring path) {
    ArchiveItem item = File(std::move(path));
    item.isDirectory = true;
    return item;
}

// Every node as "path<label>[children]" depth first, so one string states the whole shape of a tree.
std::wstring Shape(const FolderTree& tree, std::uint32_t node = FolderTree::kRoot) {
    std::wstring text = std::wstring(tree.Path(node)) + L"<" + std::wstring(tree.Label(node)) + L">";
    if (tree.Children(node).empty()) return text;
    text += L"[";
    for (std::uint32_t child : tree.Children(node)) {
        EXPECT_EQ(tree.Parent(child), node);
        text += Shape(tree, child) + L" ";
    }
    text.back() = L']';
    return text;
}

TEST(FolderTreeTest, FoldersComeFromDirectoryEntriesAndFromPaths) {
    struct Case {
        const char* what;
        std::vector<ArchiveItem> items;
        std::wstring shape;
    };
    const Case cases[] = {
        {"no directory entries", {File(L"a/b/c.txt"), File(L"a/d.txt"), File(L"top.txt")}, L"<>[a<a>[a/b<b>]]"},
        {"backslashes and trailing separators",
         {Folder(L"a\\"), File(L"a\\b\\c.txt"), Folder(L"a/b/"), Folder(L"x\\\\")},
         L"<>[a<a>[a/b<b>] x<x>]"},
        {"a directory entry whose parents exist nowhere", {Folder(L"p/q/r/")}, L"<>[p<p>[p/q<q>[p/q/r<r>]]]"},
        {"listed and implied once", {File(L"d/f"), Folder(L"d"), Folder(L"d/")}, L"<>[d<d>]"},
        {"children in code-unit order",
         {File(L"b/1"), File(L"B/1"), File(L"a/1"), File(L"a b/1")},
         L"<>[B<B> a<a> a b<a b> b<b>]"},
        {"the root as an entry", {Folder(L"/"), Folder(L"")}, L"<>"},
        {"an empty component", {File(L"a//b")}, L"<>[a<a>[a/<>]]"},
    };
    for (const Case& c : cases) {
        FolderTree tree;
        tree.Build(c.items);
        EXPECT_EQ(Shape(tree), c.shape) << c.what;
        for (std::uint32_t node = 0; node < tree.NodeCount(); ++node) {
            EXPECT_EQ(tree.Find(tree.Path(node)), node) << c.what;
        }
    }
}

TEST(FolderTreeTest, FilesAndDirectoryEntriesBelongToTheirFolders) {
    const std::vector<ArchiveItem> items = {File(L"z.txt"),     File(L"a\\b\\1.txt"), Folder(L"a/"),
                                            File(L"a/b/2.txt"), Folder(L"a\\"),       File(L"a\\b\\")};
    FolderTree tree;
    tree.Build(items);
    std::uint32_t a = tree.Find(L"a");
    std::uint32_t b = tree.Find(L"a/b");
    ASSERT_NE(a, FolderTree::kNone);
    ASSERT_NE(b, FolderTree::kNone);
    EXPECT_EQ(tree.Find(L"a\\b"), FolderTree::kNone) << "paths are looked up in the browser's form only";
    EXPECT_EQ(tree.DirectoryItem(a), 2u) << "the first directory entry of a path";
    EXPECT_EQ(tree.DirectoryItem(b), FolderTree::kNone);
    EXPECT_EQ(std::vector<std::uint32_t>(tree.Files(FolderTree::kRoot).begin(), tree.Files(FolderTree::kRoot).end()),
              std::vector<std::uint32_t>{0});
    // A file entry with a trailing separator is still a file, named by its last component.
    EXPECT_EQ(std::vector<std::uint32_t>(tree.Files(a).begin(), tree.Files(a).end()), std::vector<std::uint32_t>{5});
    EXPECT_EQ(std::vector<std::uint32_t>(tree.Files(b).begin(), tree.Files(b).end()),
              (std::vector<std::uint32_t>{1, 3}));
    EXPECT_EQ(tree.ItemName(1), L"1.txt");
    EXPECT_EQ(tree.ItemName(5), L"b");
    EXPECT_EQ(tree.ItemName(2), L"a");
}

}  // namespace
}  // namespace Arkova::Ui
