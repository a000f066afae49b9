// The main window's own controls under the mouse: a splitter never leaves its range and reports each new place
// once; an image button clicks only when pressed and released on it; a toolbar button reports its identifier.
#include <gtest/gtest.h>

#include "support/win32/owner_window.h"
#include "ui/win32/gdiplus.h"
#include "ui/win32/image_toolbar.h"
#include "ui/win32/splitter.h"
#include "ui/win32/welcome_panel.h"

namespace Arkova {
namespace {

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

class ControlsTest : public ::testing::Test {
protected:
    GdiplusSession gdiplus_;
    Testing::OwnerWindow owner_;
};

TEST_F(ControlsTest, ASplitterStaysInItsRangeAndReportsOnlyChanges) {
    Splitter splitter;
    ASSERT_TRUE(splitter.Create(owner_.Handle(), 106, Splitter::Orientation::Vertical));
    ::SetWindowPos(splitter.Handle(), nullptr, 300, 0, 5, 400, SWP_NOZORDER);
    splitter.SetRange(100, 500);
    splitter.SetPosition(300);
    std::vector<int> moves;
    splitter.onMoved = [&](int position) { moves.push_back(position); };
    HWND bar = splitter.Handle();
    ::SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, At(2, 10));
    // Pointer positions are in the splitter's own coordinates; it reports them in the owner's.
    ::SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, At(-100, 10));  // owner x 200
    ::SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, At(-100, 50));  // the same x: nothing new
    ::SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, At(-290, 10));  // owner x 10: held at 100
    ::SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, At(-295, 10));  // still 100
    ::SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, At(900, 10));   // held at 500
    ::SendMessageW(bar, WM_LBUTTONUP, 0, At(900, 10));
    ::SendMessageW(bar, WM_MOUSEMOVE, 0, At(0, 10));  // not dragging any more
    EXPECT_EQ(moves, (std::vector<int>{200, 100, 500}));
}

TEST_F(ControlsTest, ButtonsClickOnlyWhenReleasedOnThemAndReportTheirIdentifier) {
    ImageButton button;
    ASSERT_TRUE(button.Create(owner_.Handle(), L"압축 파일 열기", L"Z:\\nonexistent.png", 96));
    int clicks = 0;
    button.onClick = [&] { ++clicks; };
    ::SendMessageW(button.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(20, 20));
    ::SendMessageW(button.Handle(), WM_LBUTTONUP, 0, At(500, 20));  // released outside
    EXPECT_EQ(clicks, 0);
    ::SendMessageW(button.Handle(), WM_LBUTTONUP, 0, At(20, 20));  // no press before it
    EXPECT_EQ(clicks, 0);
    ::SendMessageW(button.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(20, 20));
    ::SendMessageW(button.Handle(), WM_LBUTTONUP, 0, At(30, 30));
    EXPECT_EQ(clicks, 1) << "a missing image leaves a working button";

    ImageToolbar toolbar;
    ASSERT_TRUE(toolbar.Create(owner_.Handle(), 101, 70, 54, 96));
    toolbar.AddButtons({{201, L"none.png", L"열기", false}, {0, L"", L"", true}, {202, L"none.png", L"풀기", false}},
                       L"Z:\\");
    std::vector<int> pressed;
    toolbar.onClick = [&](int id) { pressed.push_back(id); };
    HWND extract = toolbar.ButtonWindow(202);
    ASSERT_NE(extract, nullptr);
    RECT first{}, second{};
    ::GetWindowRect(toolbar.ButtonWindow(201), &first);
    ::GetWindowRect(extract, &second);
    EXPECT_EQ(second.left - first.right, 2 + 8) << "the separator's gap";
    ::SendMessageW(extract, WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10));
    ::SendMessageW(extract, WM_LBUTTONUP, 0, At(10, 10));
    EXPECT_EQ(pressed, std::vector<int>{202});
    ::SetWindowPos(toolbar.Handle(), nullptr, 0, 0, 600, toolbar.Height(), SWP_NOZORDER);
    ::GetWindowRect(extract, &second);
    ::GetWindowRect(toolbar.ButtonWindow(201), &first);
    EXPECT_EQ(second.left - first.right, 2 + 8) << "a resize keeps the gap";
}

}  // namespace
}  // namespace Arkova
