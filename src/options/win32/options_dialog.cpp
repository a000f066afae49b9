#include "options/win32/options_dialog.h"

#include <commctrl.h>
#include <windowsx.h>

#include <cmath>
#include <utility>

#include "options/win32/options_pages.h"
#include "resource.h"
#include "wingui/dialog_units.h"
#include "wingui/dpi.h"

namespace Arkova {

namespace {

constexpr UINT_PTR kPageListSubclass = 1;

LayoutRect ToLayout(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

void Place(HWND window, const LayoutRect& rect) {
    if (window == nullptr) return;
    ::SetWindowPos(window, nullptr, rect.left, rect.top, rect.Width(), rect.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

OptionsDialog::OptionsDialog(std::vector<std::unique_ptr<OptionsPage>> pages)
    : Dialog(IDD_OPTIONS), pages_(std::move(pages)) {}

OptionsDialog::~OptionsDialog() {
    // A modeless showing still open: destroy it while the pages and the list's subclass can still see this object.
    if (Handle() != nullptr) ::DestroyWindow(Handle());
}

int OptionsDialog::Scaled(int value) const { return static_cast<int>(std::lround(value * scale_)); }

bool OptionsDialog::OnInitDialog() {
    scale_ = static_cast<double>(WinGui::DpiForWindow(Handle())) / WinGui::kDefaultDpi;
    itemBrush_.Reset(::CreateSolidBrush(kItemFill));
    selectedBrush_.Reset(::CreateSolidBrush(kSelectedFill));
    listFont_ = WinGui::CreateMessageFont(WinGui::DpiForWindow(Handle()));

    pageList_.Attach(Handle(), IDC_OPTIONS_PAGE_LIST);
    if (listFont_) pageList_.SetFont(listFont_.Get());
    ::SetWindowSubclass(pageList_.Handle(), &OptionsDialog::PageListProc, kPageListSubclass,
                        reinterpret_cast<DWORD_PTR>(this));
    ::SendMessageW(pageList_.Handle(), LB_SETITEMHEIGHT, 0, MAKELPARAM(Scaled(kItemHeight), 0));
    pageList_.onSelectionChanged = [this] { ShowPage(pageList_.SelectedIndex()); };

    RECT pageRect = WinGui::ItemRectInPixels(Handle(), IDC_OPTIONS_PAGE_AREA);
    ::ShowWindow(Item(IDC_OPTIONS_PAGE_AREA), SW_HIDE);

    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    HWND previous = Item(IDC_OPTIONS_PAGE_AREA);
    for (auto& page : pages_) {
        pageList_.AddItem(page->Name());
        // A page that cannot be made stays out of view; the others work without it.
        if (page->Create(Handle(), instance, pageRect)) page->Load();
        if (HWND window = page->PageWindow()) {
            // In the place of the placeholder, so that Tab goes from the page list into the page, then to the buttons.
            ::SetWindowPos(window, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_HIDEWINDOW);
            previous = window;
        }
    }
    if (!pages_.empty()) {
        pageList_.SetSelectedIndex(0);
        ShowPage(0);
    }

    RECT window{};
    ::GetWindowRect(Handle(), &window);
    minimumSize_ = {window.right - window.left, window.bottom - window.top};
    RECT client{};
    ::GetClientRect(Handle(), &client);
    initialLayout_.clientWidth = client.right;
    initialLayout_.clientHeight = client.bottom;
    initialLayout_.pageList = ToLayout(pageList_.Bounds());
    initialLayout_.page = ToLayout(pageRect);
    initialLayout_.saveButton = ToLayout(WinGui::ItemRectInPixels(Handle(), IDOK));
    initialLayout_.cancelButton = ToLayout(WinGui::ItemRectInPixels(Handle(), IDCANCEL));
    laidOut_ = true;
    return true;
}

void OptionsDialog::ShowPage(int index) {
    if (index < 0 || index >= PageCount()) return;
    if (shownPage_ >= 0 && shownPage_ < PageCount()) {
        if (HWND shown = Page(shownPage_).PageWindow()) ::ShowWindow(shown, SW_HIDE);
    }
    if (HWND page = Page(index).PageWindow()) ::ShowWindow(page, SW_SHOW);
    shownPage_ = index;
}

void OptionsDialog::SaveAll() {
    for (auto& page : pages_) page->Save();
}

bool OptionsDialog::OnCommand(int id, int, HWND) {
    switch (id) {
        case IDOK:
            SaveAll();
            End(IDOK);
            return true;
        case IDCANCEL:
            End(IDCANCEL);
            return true;
        default:
            return false;
    }
}

void OptionsDialog::Arrange(int clientWidth, int clientHeight) {
    OptionsLayout layout = ArrangeOptions(initialLayout_, clientWidth, clientHeight);
    Place(pageList_.Handle(), layout.pageList);
    for (auto& page : pages_) Place(page->PageWindow(), layout.page);
    Place(Item(IDCANCEL), layout.cancelButton);
    Place(Item(IDOK), layout.saveButton);
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

bool OptionsDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_DRAWITEM: {
            auto& item = *reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
            if (item.CtlID != IDC_OPTIONS_PAGE_LIST) return false;
            DrawItem(item);
            result = TRUE;
            return true;
        }
        case WM_CTLCOLORLISTBOX:
            if (reinterpret_cast<HWND>(lParam) != pageList_.Handle()) return false;
            result = reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
            return true;
        case WM_SIZE:
            if (!laidOut_ || wParam == SIZE_MINIMIZED) return false;
            Arrange(LOWORD(lParam), HIWORD(lParam));
            return true;
        case WM_GETMINMAXINFO:
            // Sent before WM_INITDIALOG too, when the size to keep is not known yet.
            if (!laidOut_) return false;
            reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {minimumSize_.cx, minimumSize_.cy};
            return true;
        default:
            return false;
    }
}

void OptionsDialog::DrawItem(const DRAWITEMSTRUCT& item) const {
    HDC dc = item.hDC;
    ::FillRect(dc, &item.rcItem, ::GetSysColorBrush(COLOR_BTNFACE));
    if (item.itemID == static_cast<UINT>(-1)) return;

    RECT inner = item.rcItem;
    ::InflateRect(&inner, -Scaled(6), -Scaled(3));
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const bool hovered = static_cast<int>(item.itemID) == hoveredItem_;
    if (selected) {
        ::FillRect(dc, &inner, selectedBrush_.Get());
    } else if (hovered) {
        ::SetDCBrushColor(dc, kHoveredFill);
        ::FillRect(dc, &inner, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
    } else {
        ::FillRect(dc, &inner, itemBrush_.Get());
    }
    ::SetDCBrushColor(dc, kItemFrame);
    ::FrameRect(dc, &inner, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));

    int index = static_cast<int>(item.itemID);
    if (index >= PageCount()) return;
    const std::wstring& name = pages_[static_cast<size_t>(index)]->Name();
    WinGui::SelectedObject font(dc, listFont_
                                        ? static_cast<HGDIOBJ>(listFont_.Get())
                                        : reinterpret_cast<HGDIOBJ>(::SendMessageW(item.hwndItem, WM_GETFONT, 0, 0)));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, kItemText);
    RECT text = inner;
    ::DrawTextW(dc, name.c_str(), static_cast<int>(name.size()), &text,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void OptionsDialog::SetHoveredItem(int item) {
    if (item == hoveredItem_) return;
    HWND list = pageList_.Handle();
    for (int repaint : {hoveredItem_, item}) {
        RECT rect{};
        if (repaint >= 0 && ::SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(repaint),
                                           reinterpret_cast<LPARAM>(&rect)) != LB_ERR) {
            ::InvalidateRect(list, &rect, FALSE);
        }
    }
    hoveredItem_ = item;
}

void OptionsDialog::TrackHover(POINT point) {
    HWND list = pageList_.Handle();
    if (!trackingLeave_) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, list, 0};
        trackingLeave_ = ::TrackMouseEvent(&track) != FALSE;
    }
    // LB_ITEMFROMPOINT answers the nearest item for a point below the last one: check the item's own rectangle.
    LRESULT found = ::SendMessageW(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(point.x, point.y));
    int item = HIWORD(found) == 0 ? static_cast<int>(LOWORD(found)) : -1;
    RECT rect{};
    if (item >= 0 &&
        (::SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&rect)) == LB_ERR ||
         !::PtInRect(&rect, point))) {
        item = -1;
    }
    SetHoveredItem(item);
}

LRESULT CALLBACK OptionsDialog::PageListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                             DWORD_PTR data) {
    auto* self = reinterpret_cast<OptionsDialog*>(data);
    switch (message) {
        case WM_MOUSEMOVE:
            self->TrackHover({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            break;
        case WM_MOUSELEAVE:
            self->trackingLeave_ = false;
            self->SetHoveredItem(-1);
            break;
        case WM_NCDESTROY:
            ::RemoveWindowSubclass(list, &OptionsDialog::PageListProc, kPageListSubclass);
            break;
        default:
            break;
    }
    return ::DefSubclassProc(list, message, wParam, lParam);
}

INT_PTR ShowOptionsDialog(HWND owner) {
    OptionsDialog dialog(MakeOptionsPages());
    return dialog.ShowModal(owner);
}

}  // namespace Arkova
