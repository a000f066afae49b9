#include "ui/win32/browser_view.h"

#include <objbase.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <cwctype>

#include "frontend/texts.h"
#include "preview/image_name.h"
#include "preview/win32/thumbnail.h"
#include "resource.h"
#include "wingui/buffered_paint.h"
#include "wingui/dpi.h"

namespace Arkova {

namespace {

int SystemIcon(const wchar_t* name, DWORD attributes, UINT size, HIMAGELIST* list = nullptr) {
    SHFILEINFOW info{};
    auto result =
        ::SHGetFileInfoW(name, attributes, &info, sizeof(info), SHGFI_USEFILEATTRIBUTES | SHGFI_SYSICONINDEX | size);
    if (list != nullptr) *list = reinterpret_cast<HIMAGELIST>(result);
    return info.iIcon;
}

std::wstring LowerExtension(std::wstring_view name) {
    auto dot = name.find_last_of(L'.');
    std::wstring extension(dot == std::wstring_view::npos ? std::wstring_view() : name.substr(dot));
    for (wchar_t& c : extension) c = static_cast<wchar_t>(std::towlower(c));
    return extension;
}

constexpr int kThumbnailSize = 128;
constexpr int kThumbnailIconSize = 96;

// A white square with the icon drawn in its middle, every pixel opaque.
HBITMAP IconSquare(HICON icon) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = kThumbnailSize;
    info.bmiHeader.biHeight = -kThumbnailSize;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr || bits == nullptr) return bitmap;
    auto* pixels = static_cast<std::uint32_t*>(bits);
    std::fill_n(pixels, kThumbnailSize * kThumbnailSize, 0xFFFFFFFFu);
    {
        WinGui::MemoryDc dc(::CreateCompatibleDC(nullptr));
        WinGui::SelectedObject selected(dc.Get(), bitmap);
        const int offset = (kThumbnailSize - kThumbnailIconSize) / 2;
        ::DrawIconEx(dc.Get(), offset, offset, icon, kThumbnailIconSize, kThumbnailIconSize, 0, nullptr, DI_NORMAL);
        ::GdiFlush();
    }
    // GDI leaves the alpha of what it drew at 0, which the image list would show as transparent.
    for (int i = 0; i < kThumbnailSize * kThumbnailSize; ++i) pixels[i] |= 0xFF000000u;
    return bitmap;
}

}  // namespace

BrowserView::~BrowserView() {
    StopThumbnailWorkers();
    // The controls go before the image lists they show.
    tree_.Detach();
    list_.Detach();
}

bool BrowserView::Create(HWND parent, UINT dpi) {
    dpi_ = dpi;
    WinGui::TreeView::CreateArgs treeArgs;
    treeArgs.parent = parent;
    treeArgs.id = IDC_MAIN_TREE;
    treeArgs.width = treeArgs.height = 100;
    treeArgs.exStyle = WS_EX_STATICEDGE;
    treeArgs.border = false;
    treeArgs.treeStyle = TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS | TVS_FULLROWSELECT;
    if (!tree_.Create(treeArgs)) return false;
    ::SendMessageW(tree_.Handle(), TVM_SETEXTENDEDSTYLE, TVS_EX_DOUBLEBUFFER, TVS_EX_DOUBLEBUFFER);
    ::SendMessageW(tree_.Handle(), TVM_SETITEMHEIGHT, static_cast<WPARAM>(WinGui::Scale(24, dpi)), 0);

    WinGui::ListView::CreateArgs listArgs;
    listArgs.parent = parent;
    listArgs.id = IDC_MAIN_LIST;
    listArgs.width = listArgs.height = 100;
    listArgs.exStyle = WS_EX_STATICEDGE;
    listArgs.border = false;
    listArgs.virtualRows = true;
    listArgs.style = LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS;
    if (!list_.Create(listArgs)) return false;

    // The system's image lists: the icon of each file type, as the file manager shows it.
    folderIcon_ = SystemIcon(L"folder", FILE_ATTRIBUTE_DIRECTORY, SHGFI_SMALLICON, &smallIcons_);
    SystemIcon(L"folder", FILE_ATTRIBUTE_DIRECTORY, SHGFI_LARGEICON, &largeIcons_);
    ::SendMessageW(list_.Handle(), LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(smallIcons_));
    ::SendMessageW(list_.Handle(), LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(largeIcons_));
    const int iconSize = ::GetSystemMetrics(SM_CXSMICON);
    treeImages_.Reset(::ImageList_Create(iconSize, iconSize, ILC_COLOR32 | ILC_MASK, 2, 0));
    for (int icon : {SystemIcon(L"a.zip", FILE_ATTRIBUTE_NORMAL, SHGFI_SMALLICON), folderIcon_}) {
        WinGui::Icon copy(::ImageList_GetIcon(smallIcons_, icon, ILD_NORMAL));
        ::ImageList_AddIcon(treeImages_.Get(), copy.Get());
    }
    ::SendMessageW(tree_.Handle(), TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(treeImages_.Get()));
    rowHeight_.Reset(::ImageList_Create(1, WinGui::Scale(24, dpi), ILC_COLOR32, 1, 0));
    ::SendMessageW(list_.Handle(), LVM_SETIMAGELIST, LVSIL_STATE, reinterpret_cast<LPARAM>(rowHeight_.Get()));

    for (int column = 0; column < Ui::kListColumnCount; ++column) {
        const Ui::ListColumn& shown = Ui::kListColumns[static_cast<size_t>(column)];
        list_.AddColumn(shown.title, 0, shown.alignment == Ui::ColumnAlignment::Right ? LVCFMT_RIGHT : LVCFMT_LEFT);
    }
    SetColumnWidths();

    list_.onGetText = [this](int row, int column) {
        return row < static_cast<int>(model_.RowCount()) ? model_.CellText(static_cast<size_t>(row), column)
                                                         : std::wstring();
    };
    list_.onGetImage = [this](int row) { return IconOf(row); };
    list_.onSelectionChanged = [this] {
        if (onSelectionChanged) onSelectionChanged();
    };
    list_.onActivate = [this](int row) {
        if (onOpen) {
            onOpen();
        } else {
            OpenRow(row);
        }
    };
    list_.onColumnClick = [this](int column) {
        if (model_.ClickColumn(column)) Refill();
    };
    tree_.onExpanding = [this](HTREEITEM item) { InsertChildren(item); };
    tree_.onSelectionChanged = [this](HTREEITEM item) {
        if (item != nullptr) ShowNode(static_cast<std::uint32_t>(tree_.ItemData(item)));
    };
    return true;
}

void BrowserView::SetColumnWidths() {
    for (int column = 0; column < Ui::kListColumnCount; ++column) {
        ::SendMessageW(list_.Handle(), LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column),
                       Ui::ColumnWidth(column, static_cast<int>(dpi_)));
    }
}

void BrowserView::SetDpi(UINT dpi) {
    dpi_ = dpi;
    SetColumnWidths();
}

void BrowserView::Show(const std::vector<ArchiveItem>& items, const std::wstring& archivePath) {
    Clear();
    model_.Open(items, archivePath);
    archiveName_ = model_.NodeLabel(Ui::FolderTree::kRoot);
    itemByNode_.assign(model_.Tree().NodeCount(), nullptr);
    HTREEITEM root = InsertNode(TVI_ROOT, Ui::FolderTree::kRoot);
    tree_.Expand(root);
    // Selecting the root fills the list through the tree's selection change.
    tree_.Select(root);
    if (tree_.Selected() != root) ShowNode(Ui::FolderTree::kRoot);
}

void BrowserView::Clear() {
    StopThumbnailWorkers();
    thumbnailImageOfRow_.clear();
    rowHasThumbnail_.clear();
    itemByNode_.clear();
    tree_.DeleteAll();
    model_.Close();
    list_.SetRowCount(0);
}

HTREEITEM BrowserView::InsertNode(HTREEITEM parent, std::uint32_t node) {
    std::wstring label = model_.NodeLabel(node);
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
    insert.item.pszText = label.data();
    insert.item.lParam = static_cast<LPARAM>(node);
    insert.item.iImage = insert.item.iSelectedImage = node == Ui::FolderTree::kRoot ? 0 : 1;
    // The button shows before the children exist; they are added when the node first opens.
    insert.item.cChildren = model_.Tree().Children(node).empty() ? 0 : 1;
    auto item = reinterpret_cast<HTREEITEM>(
        ::SendMessageW(tree_.Handle(), TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    if (node < itemByNode_.size()) itemByNode_[node] = item;
    return item;
}

void BrowserView::InsertChildren(HTREEITEM item) {
    if (item == nullptr || tree_.FirstChild(item) != nullptr) return;
    auto node = static_cast<std::uint32_t>(tree_.ItemData(item));
    for (std::uint32_t child : model_.Tree().Children(node)) InsertNode(item, child);
}

HTREEITEM BrowserView::ItemOf(std::uint32_t node) {
    if (node >= itemByNode_.size()) return nullptr;
    if (itemByNode_[node] == nullptr) {
        // Open the path down to it, which inserts each level's children.
        std::uint32_t parent = model_.Tree().Parent(node);
        HTREEITEM parentItem = parent == Ui::FolderTree::kNone ? nullptr : ItemOf(parent);
        if (parentItem == nullptr) return nullptr;
        InsertChildren(parentItem);
        tree_.Expand(parentItem);
    }
    return itemByNode_[node];
}

void BrowserView::NavigateToFolder(const std::wstring& folder) {
    std::uint32_t node = model_.NavigateToFolder(folder);
    if (node == Ui::BrowserModel::kNone) {
        Refill();  // the model showed it itself
        return;
    }
    if (HTREEITEM item = ItemOf(node)) {
        tree_.Select(item);
        ::SendMessageW(tree_.Handle(), TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
    }
}

void BrowserView::ShowNode(std::uint32_t node) {
    model_.ShowFolder(model_.Tree().Path(node));
    Refill();
}

void BrowserView::ArrangeIcons() {
    RECT client{};
    ::GetClientRect(list_.Handle(), &client);
    arrangedWidth_ = client.right;
    if (model_.ShowsThumbnails()) ::SendMessageW(list_.Handle(), LVM_ARRANGE, LVA_DEFAULT, 0);
}

void BrowserView::ListResized() {
    RECT client{};
    ::GetClientRect(list_.Handle(), &client);
    if (model_.ShowsThumbnails() && client.right != arrangedWidth_) ArrangeIcons();
}

void BrowserView::Refill() {
    // A fill starts with nothing selected; the rows under the old selection are other rows now.
    list_.SelectRow(-1, false);
    // The workers' rows are the old rows: they stop before the count changes.
    if (model_.ShowsThumbnails()) {
        BuildThumbnails();
    } else {
        StopThumbnailWorkers();
    }
    list_.SetRowCount(static_cast<int>(model_.RowCount()));
    // Some list controls place the icons of a virtual list only when its view is set, so rows added by a new count
    // would all sit at the origin: lay the icons out again.
    ArrangeIcons();
    ::InvalidateRect(list_.Handle(), nullptr, TRUE);
    // While searching, the count stays in the status bar until the selection changes.
    if (!model_.SearchText().empty()) {
        if (onFilled) onFilled(model_.SearchCountText());
    } else if (onSelectionChanged) {
        onSelectionChanged();
    }
}

void BrowserView::SetSearchText(const std::wstring& text) {
    model_.SetSearchText(text);
    Refill();
}

void BrowserView::SetSort(Ui::SortKey key, bool ascending) {
    model_.SetSort(key, ascending);
    Refill();
}

void BrowserView::SetViewMode(Ui::ViewMode mode) {
    model_.SetViewMode(mode);
    if (model_.ShowsThumbnails()) {
        BuildThumbnails();
    } else {
        StopThumbnailWorkers();
        ::SendMessageW(list_.Handle(), LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(smallIcons_));
        ::SendMessageW(list_.Handle(), LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(largeIcons_));
    }
    const DWORD view = mode == Ui::ViewMode::LargeIcons   ? LV_VIEW_ICON
                       : mode == Ui::ViewMode::SmallIcons ? LV_VIEW_SMALLICON
                       : mode == Ui::ViewMode::List       ? LV_VIEW_LIST
                                                          : LV_VIEW_DETAILS;
    ::SendMessageW(list_.Handle(), LVM_SETVIEW, view, 0);
    ::InvalidateRect(list_.Handle(), nullptr, TRUE);
}

int BrowserView::IconOf(int row) {
    if (row < 0 || row >= static_cast<int>(model_.RowCount())) return 0;
    if (model_.ShowsThumbnails()) {
        return row < static_cast<int>(thumbnailImageOfRow_.size()) ? thumbnailImageOfRow_[static_cast<size_t>(row)] : 0;
    }
    if (model_.IsFolderRow(static_cast<size_t>(row))) return folderIcon_;
    Ui::ListRow listRow = model_.Row(static_cast<size_t>(row));
    std::wstring extension = LowerExtension(listRow.name);
    auto found = iconByExtension_.find(extension);
    if (found != iconByExtension_.end()) return found->second;
    std::wstring probe = L"file" + extension;
    int icon = SystemIcon(probe.c_str(), FILE_ATTRIBUTE_NORMAL, SHGFI_SMALLICON);
    iconByExtension_.emplace(extension, icon);
    return icon;
}

int BrowserView::ThumbnailIconImage(const std::wstring& name, bool folder) {
    std::wstring key = folder ? L"\\folder" : LowerExtension(name);
    auto found = thumbnailIconByExtension_.find(key);
    if (found != thumbnailIconByExtension_.end()) return found->second;
    SHFILEINFOW info{};
    const wchar_t* probe = folder ? L"folder" : name.c_str();
    ::SHGetFileInfoW(probe, folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL, &info, sizeof(info),
                     SHGFI_USEFILEATTRIBUTES | SHGFI_ICON | SHGFI_LARGEICON);
    int image = -1;
    if (info.hIcon != nullptr) {
        WinGui::Icon icon(info.hIcon);
        WinGui::Bitmap square(IconSquare(icon.Get()));
        if (square.Get() != nullptr) image = ::ImageList_Add(thumbnailImages_.Get(), square.Get(), nullptr);
    }
    thumbnailIconByExtension_.emplace(std::move(key), image);
    return image;
}

void BrowserView::BuildThumbnails() {
    StopThumbnailWorkers();
    // Rows of one file type share their icon's image; a thumbnail gets an image of its own when it arrives.
    WinGui::ImageList images(::ImageList_Create(kThumbnailSize, kThumbnailSize, ILC_COLOR32, 16, 16));
    thumbnailIconByExtension_.clear();
    std::swap(thumbnailImages_, images);
    const size_t rows = model_.RowCount();
    thumbnailImageOfRow_.assign(rows, -1);
    rowHasThumbnail_.assign(rows, false);
    if (model_.ShowsThumbnails()) {
        const WPARAM list = model_.GetViewMode() == Ui::ViewMode::SmallIcons ? LVSIL_SMALL : LVSIL_NORMAL;
        ::SendMessageW(list_.Handle(), LVM_SETIMAGELIST, list, reinterpret_cast<LPARAM>(thumbnailImages_.Get()));
    }
    // The old list goes only after the control let go of it.
    images.Reset();
    if (session_ == nullptr || !session_->HasOpenArchive() || !model_.IsOpen()) return;

    for (size_t row = 0; row < rows; ++row) {
        const bool folder = model_.IsFolderRow(row);
        thumbnailImageOfRow_[row] =
            ThumbnailIconImage(folder ? std::wstring() : std::wstring(model_.Row(row).name), folder);
    }
    ::InvalidateRect(list_.Handle(), nullptr, TRUE);

    HWND frame = ::GetParent(list_.Handle());
    ThumbnailCallbacks callbacks;
    callbacks.make = [](const std::vector<std::uint8_t>& data) {
        return reinterpret_cast<ThumbnailHandle>(MakeThumbnail(data.data(), data.size(), kThumbnailSize));
    };
    callbacks.deliver = [frame](std::int32_t row, ThumbnailHandle thumbnail) {
        return ::PostMessageW(frame, WM_THUMBNAIL_READY, static_cast<WPARAM>(row), static_cast<LPARAM>(thumbnail)) !=
               FALSE;
    };
    callbacks.discard = [](ThumbnailHandle thumbnail) { ::DeleteObject(reinterpret_cast<HBITMAP>(thumbnail)); };
    // COM for the stream that GDI+ reads from.
    callbacks.workerStarted = [] { ::CoInitializeEx(nullptr, COINIT_MULTITHREADED); };
    callbacks.workerEnding = [] { ::CoUninitialize(); };
    thumbnails_.Start(*session_->context.Decoder(), session_->decoderMutex, model_.ThumbnailJobs(IsImageFileName),
                      !session_->archivePassword.empty(), std::move(callbacks));
}

void BrowserView::StopThumbnailWorkers() {
    thumbnails_.Stop();
    // Thumbnails posted before the stop belong to rows that are about to change.
    HWND frame = list_.Handle() != nullptr ? ::GetParent(list_.Handle()) : nullptr;
    if (frame == nullptr) return;
    MSG message{};
    while (::PeekMessageW(&message, frame, WM_THUMBNAIL_READY, WM_THUMBNAIL_READY, PM_REMOVE)) {
        ::DeleteObject(reinterpret_cast<HBITMAP>(message.lParam));
    }
}

void BrowserView::OnThumbnailReady(WPARAM row, LPARAM bitmap) {
    WinGui::Bitmap thumbnail(reinterpret_cast<HBITMAP>(bitmap));
    const size_t position = static_cast<size_t>(row);
    if (thumbnailImages_.Get() == nullptr || position >= model_.RowCount() || position >= thumbnailImageOfRow_.size()) {
        return;
    }
    const int image = ::ImageList_Add(thumbnailImages_.Get(), thumbnail.Get(), nullptr);
    if (image < 0) return;
    thumbnailImageOfRow_[position] = image;
    rowHasThumbnail_[position] = true;
    ::SendMessageW(list_.Handle(), LVM_REDRAWITEMS, row, row);
    ::UpdateWindow(list_.Handle());
}

int BrowserView::ThumbnailCount() const {
    return static_cast<int>(std::count(rowHasThumbnail_.begin(), rowHasThumbnail_.end(), true));
}

bool BrowserView::RowHasThumbnail(int row) const {
    return row >= 0 && static_cast<size_t>(row) < rowHasThumbnail_.size() && rowHasThumbnail_[static_cast<size_t>(row)];
}

bool BrowserView::LockDecoderForUi(std::unique_lock<std::mutex>& lock) {
    if (session_ == nullptr) return false;
    lock = std::unique_lock(session_->decoderMutex, std::try_to_lock);
    while (!lock.owns_lock()) {
        if (thumbnails_.WorkerHoldsDecoder()) {
            // Only a worker holds it, so this thread does not: waiting cannot deadlock.
            lock.lock();
            break;
        }
        // The worker may have let go between the two looks; a second miss means this thread holds it.
        if (lock.try_lock()) break;
        if (!thumbnails_.WorkerHoldsDecoder()) return false;
    }
    return true;
}

int BrowserView::SingleSelectedRow() const {
    std::vector<int> rows = list_.SelectedRows();
    return rows.size() == 1 ? rows[0] : -1;
}

int BrowserView::SelectedCount() const { return static_cast<int>(list_.SelectedRows().size()); }

std::vector<SelectedRow> BrowserView::SelectedRows() const {
    std::vector<SelectedRow> rows;
    for (int row : list_.SelectedRows()) {
        const auto index = static_cast<size_t>(row);
        rows.push_back({model_.CellText(index, Ui::kColumnName), model_.CellText(index, Ui::kColumnType)});
    }
    return rows;
}

std::wstring BrowserView::SelectionSummary() const {
    std::vector<size_t> selected;
    for (int row : list_.SelectedRows()) selected.push_back(static_cast<size_t>(row));
    return model_.SelectionSummary(selected);
}

void BrowserView::SelectAll() { list_.SelectRow(-1, true); }

void BrowserView::OpenRow(int row) {
    if (row < 0 || row >= static_cast<int>(model_.RowCount())) return;
    if (model_.IsFolderRow(static_cast<size_t>(row))) NavigateToFolder(model_.RowPath(static_cast<size_t>(row)));
}

void BrowserView::ShowListMenu() {
    HMENU resource = ::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_LIST_MENU));
    if (resource == nullptr) return;
    HMENU menu = ::GetSubMenu(resource, 0);
    Ui::ListMenuChecks checks = model_.MenuChecks();
    auto check = [menu](int id, bool on) { ::CheckMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_CHECKED : 0)); };
    check(IDM_VIEW_DETAILS, checks.details);
    check(IDM_VIEW_LARGE_ICONS, checks.largeIcons);
    check(IDM_SORT_NAME, checks.byName);
    check(IDM_SORT_DATE, checks.byModified);
    check(IDM_SORT_SIZE, checks.bySize);
    check(IDM_SORT_ASCENDING, checks.ascending);
    check(IDM_SORT_DESCENDING, checks.descending);
    POINT point{};
    ::GetCursorPos(&point);
    int command = ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, point.x, point.y, 0,
                                   ::GetParent(list_.Handle()), nullptr);
    ::DestroyMenu(resource);
    const bool ascending = model_.SortAscending();
    switch (command) {
        case IDM_SORT_NAME:
            return SetSort(Ui::SortKey::ByName, ascending);
        case IDM_SORT_DATE:
            return SetSort(Ui::SortKey::ByModified, ascending);
        case IDM_SORT_SIZE:
            return SetSort(Ui::SortKey::BySize, ascending);
        case IDM_SORT_ASCENDING:
            return SetSort(model_.GetSortKey(), true);
        case IDM_SORT_DESCENDING:
            return SetSort(model_.GetSortKey(), false);
        case 0:
            return;
        default:
            if (onCommand) onCommand(command);
    }
}

// Details rows in a light blue while selected, the window colour otherwise, whether or not the list has the focus.
LRESULT BrowserView::DrawRow(NMLVCUSTOMDRAW& draw) {
    switch (draw.nmcd.dwDrawStage) {
        case CDDS_PREPAINT:
            return CDRF_NOTIFYITEMDRAW;
        case CDDS_ITEMPREPAINT: {
            const auto row = static_cast<int>(draw.nmcd.dwItemSpec);
            const bool selected =
                (::SendMessageW(list_.Handle(), LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) &
                 LVIS_SELECTED) != 0;
            draw.clrText = RGB(0, 0, 0);
            draw.clrTextBk = selected ? RGB(205, 232, 255) : ::GetSysColor(COLOR_WINDOW);
            // The control would paint its own highlight over the colours above.
            draw.nmcd.uItemState &= ~static_cast<UINT>(CDIS_SELECTED | CDIS_FOCUS);
            return CDRF_NEWFONT;
        }
        default:
            return CDRF_DODEFAULT;
    }
}

// The selected folder's whole row in a light-blue band with a frame, whether or not the tree has the focus.
LRESULT BrowserView::DrawNode(NMTVCUSTOMDRAW& draw) {
    if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if (draw.nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
    auto item = reinterpret_cast<HTREEITEM>(draw.nmcd.dwItemSpec);
    if (item != tree_.Selected()) return CDRF_DODEFAULT;
    RECT row = draw.nmcd.rc;
    const int height = std::max(1L, row.bottom - row.top);
    for (int y = 0; y < height; ++y) {
        // From RGB(229, 243, 255) at the top to RGB(204, 232, 255) at the bottom.
        RECT line{row.left, row.top + y, row.right, row.top + y + 1};
        WinGui::FillSolid(draw.nmcd.hdc, line, RGB(229 - 25 * y / height, 243 - 11 * y / height, 255));
    }
    WinGui::FrameSolid(draw.nmcd.hdc, row, RGB(153, 209, 255));
    draw.clrText = RGB(0, 0, 0);
    draw.clrTextBk = RGB(217, 238, 255);
    draw.nmcd.uItemState &= ~static_cast<UINT>(CDIS_SELECTED | CDIS_FOCUS);
    return CDRF_NEWFONT;
}

bool BrowserView::HandleNotify(NMHDR& header, LRESULT& result) {
    if (header.hwndFrom == tree_.Handle()) {
        if (header.code == NM_CUSTOMDRAW) {
            result = DrawNode(reinterpret_cast<NMTVCUSTOMDRAW&>(header));
            return true;
        }
        if (header.code == TVN_SELCHANGINGW) {
            // The old row's band must go with it.
            RECT rect{};
            auto& change = reinterpret_cast<NMTREEVIEWW&>(header);
            // TVM_GETITEMRECT takes the item in the rectangle's first bytes.
            std::memcpy(&rect, &change.itemOld.hItem, sizeof(HTREEITEM));
            if (change.itemOld.hItem != nullptr &&
                ::SendMessageW(tree_.Handle(), TVM_GETITEMRECT, FALSE, reinterpret_cast<LPARAM>(&rect))) {
                ::InvalidateRect(tree_.Handle(), &rect, TRUE);
            }
            result = 0;
            return true;
        }
        return false;
    }
    if (header.hwndFrom != list_.Handle()) return false;
    result = 0;
    if (header.code == NM_RCLICK) {
        ShowListMenu();
        return true;
    }
    if (header.code == LVN_KEYDOWN) {
        auto& key = reinterpret_cast<NMLVKEYDOWN&>(header);
        if (key.wVKey == 'A' && (::GetKeyState(VK_CONTROL) & 0x8000) != 0) {
            SelectAll();
            return true;
        }
        return false;
    }
    if (header.code == NM_CUSTOMDRAW && model_.GetViewMode() == Ui::ViewMode::Details) {
        result = DrawRow(reinterpret_cast<NMLVCUSTOMDRAW&>(header));
        return true;
    }
    return false;
}

}  // namespace Arkova
