#include "ui/win32/browser_view.h"

namespace Arkova {

struct BrowserView::Model {};

BrowserView::BrowserView() = default;
BrowserView::~BrowserView() = default;

bool BrowserView::Create(HWND parent, UINT dpi) {
    dpi_ = dpi;
    WinGui::TreeView::CreateArgs treeArgs;
    treeArgs.parent = parent;
    treeArgs.id = 102;
    treeArgs.width = 100;
    treeArgs.height = 100;
    treeArgs.exStyle = WS_EX_STATICEDGE;
    treeArgs.border = false;
    if (!tree_.Create(treeArgs)) return false;
    WinGui::ListView::CreateArgs listArgs;
    listArgs.parent = parent;
    listArgs.id = 103;
    listArgs.width = 100;
    listArgs.height = 100;
    listArgs.exStyle = WS_EX_STATICEDGE;
    listArgs.border = false;
    listArgs.virtualRows = true;
    return list_.Create(listArgs);
}

void BrowserView::Show(const std::vector<ArchiveItem>&) { ShowFolder(L""); }
void BrowserView::Clear() {
    tree_.DeleteAll();
    list_.SetRowCount(0);
    currentFolder_.clear();
}
void BrowserView::ShowFolder(const std::wstring& folder) { currentFolder_ = folder; }
void BrowserView::SetSearchText(const std::wstring& text) { searchText_ = text; }
void BrowserView::SetViewMode(ViewMode mode) { mode_ = mode; }
int BrowserView::SelectedCount() const { return static_cast<int>(list_.SelectedRows().size()); }
std::vector<SelectedRow> BrowserView::SelectedRows() const { return {}; }
std::wstring BrowserView::SelectionSummary() const { return L""; }
std::wstring BrowserView::ArchiveSummary() const { return L""; }
void BrowserView::SelectAll() { list_.SelectRow(-1, true); }
void BrowserView::SetDpi(UINT dpi) { dpi_ = dpi; }
bool BrowserView::HandleNotify(NMHDR&, LRESULT&) { return false; }

}  // namespace Arkova
