#pragma once
// The options dialog "설정" (dialog 200): the page list on the left, one page at a time on the right. "저장" has
// every page store its settings; "취소", Esc and the close box store nothing (the shell page's buttons have
// already acted by then). The dialog owns its pages and lives for one showing. UI thread only.
//
//   ShowOptionsDialog(mainWindow);

#include <windows.h>

#include <memory>
#include <vector>

#include "options/options_layout.h"
#include "options/win32/options_page.h"
#include "wingui/dialog.h"
#include "wingui/gdi_handles.h"
#include "wingui/list_box.h"

namespace Arkova {

class OptionsDialog : public WinGui::Dialog {
public:
    explicit OptionsDialog(std::vector<std::unique_ptr<OptionsPage>> pages);
    ~OptionsDialog() override;

    int PageCount() const { return static_cast<int>(pages_.size()); }
    OptionsPage& Page(int index) { return *pages_[static_cast<size_t>(index)]; }
    // -1 before the first page is shown.
    int ShownPage() const { return shownPage_; }
    // The page-list item under the mouse pointer, or -1.
    int HoveredItem() const { return hoveredItem_; }

    // The list colours.
    static constexpr COLORREF kItemFill = RGB(255, 255, 255);
    static constexpr COLORREF kItemText = RGB(0, 0, 0);
    static constexpr COLORREF kSelectedFill = RGB(255, 240, 180);
    static constexpr COLORREF kHoveredFill = RGB(229, 243, 255);
    static constexpr COLORREF kItemFrame = RGB(180, 180, 180);
    // Item height at 96 DPI.
    static constexpr int kItemHeight = 46;

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    static LRESULT CALLBACK PageListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR self);

    void ShowPage(int index);
    void SaveAll();
    void SetHoveredItem(int item);
    void TrackHover(POINT point);
    void DrawItem(const DRAWITEMSTRUCT& item) const;
    void Arrange(int clientWidth, int clientHeight);
    int Scaled(int value) const;

    std::vector<std::unique_ptr<OptionsPage>> pages_;
    WinGui::ListBox pageList_;
    int shownPage_ = -1;
    int hoveredItem_ = -1;
    bool trackingLeave_ = false;

    WinGui::Brush itemBrush_;
    WinGui::Brush selectedBrush_;
    WinGui::Font listFont_;
    double scale_ = 1.0;

    // What the dialog looked like when it opened: the smallest it may get, and the layout every resize starts from.
    SIZE minimumSize_{};
    bool laidOut_ = false;
    OptionsLayout initialLayout_;
};

// Builds the three pages, runs the dialog modally over `owner` and returns how it closed (IDOK after "저장",
// IDCANCEL otherwise, -1 when it could not be shown).
INT_PTR ShowOptionsDialog(HWND owner);

}  // namespace Arkova
