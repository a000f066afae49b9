#pragma once
// The folder tree of the destination dialog over the shell namespace: four roots ("바탕 화면", "문서", "사진",
// "컴퓨터"), child folders added only when an item is first expanded, and the walk of a typed path down from
// "컴퓨터". Each item's parameter is a Node that this object owns until it is destroyed; nodes of items removed by
// a reload stay alive until then too, so a stale parameter never dangles.
//
// UI thread only, with COM initialised on it for the object's whole life.

#include <windows.h>

#include <shlobj.h>

#include <memory>
#include <string>
#include <vector>

#include "wingui/tree_view.h"

namespace Arkova {

class ShellFolderTree {
public:
    ShellFolderTree();
    ~ShellFolderTree();
    ShellFolderTree(const ShellFolderTree&) = delete;
    ShellFolderTree& operator=(const ShellFolderTree&) = delete;

    // Binds the dialog's tree view, gives it the system's small icons and inserts the roots whose locations the
    // shell knows. false when there is no such item or no desktop folder.
    bool Attach(HWND dialog, int id);

    WinGui::TreeView& View() { return view_; }
    HWND Handle() const { return view_.Handle(); }

    // The item's file-system path; empty for virtual folders such as "컴퓨터" and for items without a node.
    std::wstring PathOf(HTREEITEM item) const;

    // Adds the item's child folders unless it already has them. Safe to call again.
    void Fill(HTREEITEM item);
    // Fills the item, then opens it.
    void Expand(HTREEITEM item);
    // Drops the item's children and reads them again from the shell (after a folder was created or renamed).
    void Reload(HTREEITEM item);
    // The child whose label equals `label` apart from letter case, or nullptr.
    HTREEITEM FindChildByLabel(HTREEITEM parent, const std::wstring& label) const;
    void SelectAndShow(HTREEITEM item);

    // The root whose location is the shell's "computer" folder, or nullptr.
    HTREEITEM ComputerRoot() const;
    // Walks from "컴퓨터" down to `path` and selects the deepest folder reached. Does nothing unless the path exists
    // and starts with a drive letter. true when the whole path was reached.
    bool NavigateTo(const std::wstring& path);

private:
    struct Node;

    Node* NodeOf(HTREEITEM item) const;
    bool BindFolder(Node& node) const;
    HTREEITEM Insert(HTREEITEM parent, const std::wstring& label, std::unique_ptr<Node> node, bool hasChildren);
    void SetHasChildren(HTREEITEM item, bool hasChildren);
    HTREEITEM FindChildByPath(HTREEITEM parent, const std::wstring& path, bool prefixOnly) const;

    WinGui::TreeView view_;
    IShellFolder* desktop_ = nullptr;
    std::vector<std::unique_ptr<Node>> nodes_;
};

}  // namespace Arkova
