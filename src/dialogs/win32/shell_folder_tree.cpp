#include "dialogs/win32/shell_folder_tree.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <iterator>

#include "dialogs/destination_rules.h"
#include "platform/file_system.h"
#include "platform/text.h"

namespace Arkova {

namespace {

constexpr int kMaxLabel = 260;

struct RootFolder {
    int csidl;
    const wchar_t* label;
};
constexpr RootFolder kRoots[] = {
    {CSIDL_DESKTOP, L"바탕 화면"},
    {CSIDL_PERSONAL, L"문서"},
    {CSIDL_MYPICTURES, L"사진"},
    {CSIDL_DRIVES, L"컴퓨터"},
};

int SmallIconIndex(PCIDLIST_ABSOLUTE pidl) {
    SHFILEINFOW info{};
    if (!::SHGetFileInfoW(reinterpret_cast<LPCWSTR>(pidl), 0, &info, sizeof(info),
                          SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON)) {
        return 0;
    }
    return info.iIcon;
}

}  // namespace

struct ShellFolderTree::Node {
    explicit Node(PIDLIST_ABSOLUTE absolute) : pidl(absolute) {}
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;
    ~Node() {
        if (folder != nullptr) folder->Release();
        ::CoTaskMemFree(pidl);
    }

    PIDLIST_ABSOLUTE pidl;           // absolute, from CoTaskMemAlloc
    IShellFolder* folder = nullptr;  // bound on first need; stays empty when binding fails
};

ShellFolderTree::ShellFolderTree() = default;

ShellFolderTree::~ShellFolderTree() {
    nodes_.clear();
    if (desktop_ != nullptr) desktop_->Release();
}

bool ShellFolderTree::Attach(HWND dialog, int id) {
    if (!view_.Attach(dialog, id)) return false;
    // The system image list is shared by the whole process: the tree only borrows it.
    SHFILEINFOW info{};
    auto images = reinterpret_cast<HIMAGELIST>(
        ::SHGetFileInfoW(L"C:\\", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    if (images != nullptr) TreeView_SetImageList(Handle(), images, TVSIL_NORMAL);
    if (FAILED(::SHGetDesktopFolder(&desktop_)) || desktop_ == nullptr) return false;
    view_.onExpanding = [this](HTREEITEM item) { Fill(item); };

    for (const RootFolder& root : kRoots) {
        PIDLIST_ABSOLUTE pidl = nullptr;
        if (FAILED(::SHGetFolderLocation(nullptr, root.csidl, nullptr, 0, &pidl)) || pidl == nullptr) continue;
        auto node = std::make_unique<Node>(pidl);
        BindFolder(*node);
        Insert(nullptr, root.label, std::move(node), true);
    }
    return true;
}

ShellFolderTree::Node* ShellFolderTree::NodeOf(HTREEITEM item) const {
    return item != nullptr ? reinterpret_cast<Node*>(view_.ItemData(item)) : nullptr;
}

bool ShellFolderTree::BindFolder(Node& node) const {
    if (node.folder != nullptr) return true;
    // The desktop's own (empty) list cannot be bound through itself.
    if (ILIsEmpty(node.pidl)) {
        desktop_->AddRef();
        node.folder = desktop_;
        return true;
    }
    void* folder = nullptr;
    if (FAILED(desktop_->BindToObject(node.pidl, nullptr, IID_IShellFolder, &folder)) || folder == nullptr) {
        return false;
    }
    node.folder = static_cast<IShellFolder*>(folder);
    return true;
}

HTREEITEM ShellFolderTree::Insert(HTREEITEM parent, const std::wstring& label, std::unique_ptr<Node> node,
                                  bool hasChildren) {
    std::wstring text = label;
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent != nullptr ? parent : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
    insert.item.pszText = text.data();
    insert.item.iImage = insert.item.iSelectedImage = SmallIconIndex(node->pidl);
    insert.item.cChildren = hasChildren ? 1 : 0;
    insert.item.lParam = reinterpret_cast<LPARAM>(node.get());
    auto item =
        reinterpret_cast<HTREEITEM>(::SendMessageW(Handle(), TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    if (item != nullptr) nodes_.push_back(std::move(node));
    return item;
}

void ShellFolderTree::SetHasChildren(HTREEITEM item, bool hasChildren) {
    TVITEMW info{};
    info.mask = TVIF_HANDLE | TVIF_CHILDREN;
    info.hItem = item;
    info.cChildren = hasChildren ? 1 : 0;
    ::SendMessageW(Handle(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&info));
}

std::wstring ShellFolderTree::PathOf(HTREEITEM item) const {
    Node* node = NodeOf(item);
    wchar_t path[MAX_PATH] = {};
    if (node == nullptr || !::SHGetPathFromIDListW(node->pidl, path)) return {};
    return path;
}

void ShellFolderTree::Fill(HTREEITEM item) {
    Node* node = NodeOf(item);
    if (node == nullptr) return;
    if (HTREEITEM first = view_.FirstChild(item)) {
        if (NodeOf(first) != nullptr) return;
        TreeView_DeleteItem(Handle(), first);  // a placeholder
    }
    IEnumIDList* children = nullptr;
    if (!BindFolder(*node) || node->folder->EnumObjects(nullptr, SHCONTF_FOLDERS, &children) != S_OK ||
        children == nullptr) {
        SetHasChildren(item, false);
        return;
    }
    ::SendMessageW(Handle(), WM_SETREDRAW, FALSE, 0);
    int added = 0;
    PITEMID_CHILD child = nullptr;
    while (children->Next(1, &child, nullptr) == S_OK) {
        STRRET name{};
        wchar_t label[kMaxLabel] = {};
        if (SUCCEEDED(node->folder->GetDisplayNameOf(child, SHGDN_NORMAL, &name)) &&
            SUCCEEDED(::StrRetToBufW(&name, child, label, kMaxLabel))) {
            SFGAOF attributes = SFGAO_HASSUBFOLDER;
            PCUITEMID_CHILD one[] = {child};
            if (FAILED(node->folder->GetAttributesOf(1, one, &attributes))) attributes = 0;
            if (PIDLIST_ABSOLUTE absolute = ILCombine(node->pidl, child)) {
                if (Insert(item, label, std::make_unique<Node>(absolute), (attributes & SFGAO_HASSUBFOLDER) != 0)) {
                    ++added;
                }
            }
        }
        ::CoTaskMemFree(child);
        child = nullptr;
    }
    children->Release();
    ::SendMessageW(Handle(), WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(Handle(), nullptr, TRUE);
    if (added == 0) SetHasChildren(item, false);
}

void ShellFolderTree::Expand(HTREEITEM item) {
    // Filled first: a tree view tells its parent only about the first expansion it makes itself.
    Fill(item);
    TreeView_Expand(Handle(), item, TVE_EXPAND);
}

void ShellFolderTree::Reload(HTREEITEM item) {
    Node* node = NodeOf(item);
    if (node == nullptr) return;
    BindFolder(*node);
    SetHasChildren(item, true);
    TreeView_Expand(Handle(), item, TVE_COLLAPSE | TVE_COLLAPSERESET);
    Expand(item);
}

HTREEITEM ShellFolderTree::FindChildByLabel(HTREEITEM parent, const std::wstring& label) const {
    for (HTREEITEM child = view_.FirstChild(parent); child != nullptr; child = view_.NextSibling(child)) {
        if (Platform::EqualsIgnoringCase(view_.ItemText(child), label)) return child;
    }
    return nullptr;
}

HTREEITEM ShellFolderTree::FindChildByPath(HTREEITEM parent, const std::wstring& path, bool prefixOnly) const {
    for (HTREEITEM child = view_.FirstChild(parent); child != nullptr; child = view_.NextSibling(child)) {
        std::wstring childPath = PathOf(child);
        if (prefixOnly) childPath = childPath.substr(0, path.size());
        if (!childPath.empty() && Platform::EqualsIgnoringCase(childPath, path)) return child;
    }
    return nullptr;
}

void ShellFolderTree::SelectAndShow(HTREEITEM item) {
    view_.Select(item);
    TreeView_EnsureVisible(Handle(), item);
}

HTREEITEM ShellFolderTree::ComputerRoot() const {
    PIDLIST_ABSOLUTE drives = nullptr;
    if (FAILED(::SHGetFolderLocation(nullptr, CSIDL_DRIVES, nullptr, 0, &drives)) || drives == nullptr) {
        return nullptr;
    }
    HTREEITEM found = nullptr;
    for (HTREEITEM root = view_.Root(); root != nullptr && found == nullptr; root = view_.NextSibling(root)) {
        Node* node = NodeOf(root);
        if (node == nullptr) continue;
        HRESULT order = desktop_->CompareIDs(0, node->pidl, drives);
        if (SUCCEEDED(order) && HRESULT_CODE(order) == 0) found = root;
    }
    ::CoTaskMemFree(drives);
    return found;
}

bool ShellFolderTree::NavigateTo(const std::wstring& path) {
    if (path.empty() || !Platform::PathExists(path)) return false;
    HTREEITEM computer = ComputerRoot();
    std::vector<std::wstring> steps = NavigationSteps(path);
    if (computer == nullptr || steps.empty()) return false;
    Expand(computer);
    HTREEITEM current = FindChildByPath(computer, steps.front(), true);
    if (current == nullptr) return false;
    for (auto step = std::next(steps.begin()); step != steps.end(); ++step) {
        Expand(current);
        HTREEITEM next = FindChildByPath(current, *step, false);
        if (next == nullptr) {
            SelectAndShow(current);
            return false;
        }
        current = next;
    }
    SelectAndShow(current);
    return true;
}

}  // namespace Arkova
