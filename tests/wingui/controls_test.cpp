// Guards the controls: a notification must reach the object bound to the child that sent it (and only what that
// object leaves may reach the parent), CreateArgs sizes must follow the DPI, every control's contents must read
// back as set (a virtual list view through its callback), the marquee style must come and go, and Korean text
// must render (look at screenshots/korean_controls.png).
#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>
#include <vector>

#include "support/win32/control_readers.h"
#include "support/win32/screenshot.h"
#include "wingui/button.h"
#include "wingui/combo_box.h"
#include "wingui/dpi.h"
#include "wingui/edit.h"
#include "wingui/list_box.h"
#include "wingui/list_view.h"
#include "wingui/message_pump.h"
#include "wingui/progress_bar.h"
#include "wingui/static.h"
#include "wingui/tree_view.h"
#include "wingui/window.h"

namespace Arkova::WinGui {
namespace {

// Records what reaches the window itself rather than one of its controls.
class Host : public Window {
public:
    std::vector<std::pair<int, int>> commands;  // id, notification code
    int destroyed = 0;

protected:
    bool OnCommand(int id, int code, HWND) override {
        commands.emplace_back(id, code);
        return true;
    }
    void OnDestroy() override { ++destroyed; }
};

class ControlsTest : public testing::Test {
protected:
    void SetUp() override {
        Window::CreateArgs args;
        args.title = L"Arkova 컨트롤";
        args.style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
        args.x = 40;
        args.y = 40;
        args.width = Scale(640, SystemDpi());
        args.height = Scale(480, SystemDpi());
        ASSERT_TRUE(host.Create(args));
        dpi = DpiForWindow(host.Handle());
        font = CreateMessageFont(dpi);
    }

    template <typename Args>
    Args At(int id, int x, int y, int width, int height, std::wstring text = {}) {
        Args args;
        args.parent = host.Handle();
        args.id = id;
        args.x = x;
        args.y = y;
        args.width = width;
        args.height = height;
        args.text = std::move(text);
        args.font = font.Get();
        return args;
    }

    Host host;
    UINT dpi = kDefaultDpi;
    Font font;
};

TEST_F(ControlsTest, NotificationsReachTheControlThatSentThem) {
    Button ok, plain, check;
    int okClicks = 0, checkClicks = 0;
    ok.onClick = [&] { ++okClicks; };
    check.onClick = [&] { ++checkClicks; };
    ASSERT_TRUE(ok.Create(At<Button::CreateArgs>(101, 10, 10, 80, 24, L"확인")));
    ASSERT_TRUE(plain.Create(At<Button::CreateArgs>(102, 100, 10, 80, 24, L"취소")));
    auto checkArgs = At<Button::CreateArgs>(103, 190, 10, 160, 24, L"모두 적용");
    checkArgs.kind = Button::Kind::CheckBox;
    ASSERT_TRUE(check.Create(checkArgs));

    ok.Click();
    EXPECT_EQ(okClicks, 1);
    EXPECT_TRUE(host.commands.empty());
    plain.Click();  // no callback: the window gets it
    EXPECT_EQ(host.commands, (std::vector<std::pair<int, int>>{{102, BN_CLICKED}}));
    check.Click();
    EXPECT_TRUE(check.Checked());
    EXPECT_TRUE(Testing::IsChecked(check.Handle()));
    EXPECT_EQ(checkClicks, 1);
    check.SetChecked(false);
    EXPECT_FALSE(check.Checked());
    EXPECT_EQ(checkClicks, 1);

    // A child is bound to one object at a time; destroying the object unbinds and destroys what it created.
    Button other;
    EXPECT_FALSE(other.Attach(host.Handle(), 102));
    {
        Button temporary;
        ASSERT_TRUE(temporary.Create(At<Button::CreateArgs>(104, 10, 40, 80, 24, L"임시")));
        EXPECT_EQ(Control::FromHandle(temporary.Handle()), &temporary);
    }
    EXPECT_EQ(::GetDlgItem(host.Handle(), 104), nullptr);

    Edit edit;
    int changes = 0;
    edit.onChange = [&] { ++changes; };
    ASSERT_TRUE(edit.Create(At<Edit::CreateArgs>(105, 10, 70, 200, 24)));
    edit.SetText(L"가나다");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(edit.Text(), L"가나다");

    // Selection notifications arrive as WM_COMMAND (list box, sent as a user's click would) and WM_NOTIFY.
    ListBox list;
    int listChanges = 0;
    list.onSelectionChanged = [&] { ++listChanges; };
    ASSERT_TRUE(list.Create(At<ListBox::CreateArgs>(106, 10, 100, 150, 80)));
    list.AddItem(L"하나");
    ::SendMessageW(host.Handle(), WM_COMMAND, MAKEWPARAM(106, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list.Handle()));
    EXPECT_EQ(listChanges, 1);

    ListView rows;
    int rowChanges = 0;
    rows.onSelectionChanged = [&] { ++rowChanges; };
    ASSERT_TRUE(rows.Create(At<ListView::CreateArgs>(107, 170, 100, 200, 80)));
    rows.AddColumn(L"이름", 120);
    rows.AddRow({L"가.txt"});
    rows.SelectRow(0);
    EXPECT_GE(rowChanges, 1);
    EXPECT_EQ(rows.SelectedRow(), 0);

    TreeView tree;
    HTREEITEM selected = nullptr;
    tree.onSelectionChanged = [&](HTREEITEM item) { selected = item; };
    ASSERT_TRUE(tree.Create(At<TreeView::CreateArgs>(108, 380, 100, 150, 80)));
    HTREEITEM root = tree.InsertItem(nullptr, L"문서", 7);
    ASSERT_TRUE(tree.Select(root));
    EXPECT_EQ(selected, root);
    EXPECT_EQ(tree.ItemData(tree.Selected()), 7);
    // Only what no callback took reached the window: the plain button's click and the edit's EN_UPDATE.
    EXPECT_EQ(host.commands, (std::vector<std::pair<int, int>>{{102, BN_CLICKED}, {105, EN_UPDATE}}));
}

TEST_F(ControlsTest, CreatedControlsReadBackAndShowKorean) {
    Static label;
    ASSERT_TRUE(label.Create(At<Static::CreateArgs>(201, 12, 12, 400, 20, L"압축 파일을 여는 중입니다… (₩ 기호: \\)")));
    RECT bounds = label.Bounds();
    EXPECT_EQ(bounds.right - bounds.left, Scale(400, dpi));
    EXPECT_EQ(bounds.top, Scale(12, dpi));

    Edit edit;
    ASSERT_TRUE(edit.Create(At<Edit::CreateArgs>(202, 12, 36, 300, 24, L"C:\\사용자\\문서\\자료.zip")));
    EXPECT_EQ(Testing::WindowText(edit.Handle()), L"C:\\사용자\\문서\\자료.zip");

    ProgressBar bar;
    auto barArgs = At<ProgressBar::CreateArgs>(203, 12, 68, 300, 18);
    barArgs.maximum = 1000;
    ASSERT_TRUE(bar.Create(barArgs));
    EXPECT_EQ(bar.Maximum(), 1000);
    bar.SetPos(250);
    EXPECT_EQ(Testing::ProgressPos(bar.Handle()), 250);
    bar.SetMarquee(true);
    EXPECT_TRUE(bar.IsMarquee());
    EXPECT_NE(::GetWindowLongPtrW(bar.Handle(), GWL_STYLE) & PBS_MARQUEE, 0);
    bar.SetMarquee(false);
    EXPECT_FALSE(bar.IsMarquee());
    bar.SetPos(400);
    EXPECT_EQ(bar.Pos(), 400);

    ListView files;
    ASSERT_TRUE(files.Create(At<ListView::CreateArgs>(204, 12, 96, 400, 120)));
    files.AddColumn(L"이름", 160);
    files.AddColumn(L"크기", 80, LVCFMT_RIGHT);
    files.AddColumn(L"수정한 날짜", 140);
    files.SetRedraw(false);
    files.AddRow({L"사진.jpg", L"1.2MB", L"2024-05-01 10:00"});
    files.AddRow({L"한글 문서.hwp", L"35.0KB", L"2023-12-24 23:59"});
    files.SetRedraw(true);
    EXPECT_EQ(Testing::ListViewColumns(files.Handle()), (std::vector<std::wstring>{L"이름", L"크기", L"수정한 날짜"}));
    EXPECT_EQ(Testing::ListViewRows(files.Handle()),
              (std::vector<std::vector<std::wstring>>{{L"사진.jpg", L"1.2MB", L"2024-05-01 10:00"},
                                                      {L"한글 문서.hwp", L"35.0KB", L"2023-12-24 23:59"}}));
    EXPECT_EQ(files.ItemText(1, 0), L"한글 문서.hwp");
    EXPECT_EQ(files.ColumnText(2), L"수정한 날짜");
    EXPECT_EQ(files.ColumnWidth(0), Scale(160, dpi));
    EXPECT_NE(files.ExtendedStyle() & LVS_EX_FULLROWSELECT, 0u);
    files.SetExtendedStyle(LVS_EX_GRIDLINES, LVS_EX_GRIDLINES);
    EXPECT_NE(files.ExtendedStyle() & LVS_EX_GRIDLINES, 0u);

    // A virtual list holds no texts: every read goes through onGetText.
    ListView many;
    auto manyArgs = At<ListView::CreateArgs>(205, 420, 96, 200, 120);
    manyArgs.virtualRows = true;
    ASSERT_TRUE(many.Create(manyArgs));
    many.onGetText = [](int row, int column) {
        return L"항목 " + std::to_wstring(row) + L"." + std::to_wstring(column);
    };
    many.AddColumn(L"이름", 90);
    many.AddColumn(L"열", 90);
    many.SetRowCount(100000);
    EXPECT_EQ(many.RowCount(), 100000);
    EXPECT_EQ(many.ItemText(99999, 1), L"항목 99999.1");

    TreeView tree;
    ASSERT_TRUE(tree.Create(At<TreeView::CreateArgs>(206, 12, 224, 200, 120)));
    HTREEITEM root = tree.InsertItem(nullptr, L"문서");
    HTREEITEM photos = tree.InsertItem(root, L"사진");
    tree.InsertItem(photos, L"여행");
    tree.InsertItem(root, L"음악");
    tree.Expand(root);
    EXPECT_TRUE(tree.IsExpanded(root));
    EXPECT_EQ(tree.Count(), 4);
    EXPECT_EQ(tree.ItemText(tree.FirstChild(root)), L"사진");
    EXPECT_EQ(tree.Parent(photos), root);
    std::vector<Testing::TreeRow> items = Testing::TreeItems(tree.Handle());
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[2].text, L"여행");
    EXPECT_EQ(items[2].depth, 2);
    EXPECT_EQ(items[3].text, L"음악");
    EXPECT_EQ(items[3].depth, 1);

    ComboBox codePages;
    ASSERT_TRUE(codePages.Create(At<ComboBox::CreateArgs>(207, 220, 224, 190, 24)));
    for (const wchar_t* name : {L"자동 감지", L"한국어 (949)", L"유니코드 (UTF-8)"}) codePages.AddItem(name);
    codePages.SetSelectedIndex(1);
    EXPECT_EQ(codePages.SelectedIndex(), 1);
    EXPECT_EQ(codePages.ItemText(2), L"유니코드 (UTF-8)");
    EXPECT_EQ(Testing::ComboItems(codePages.Handle()).size(), 3u);

    ListBox failures;
    ASSERT_TRUE(failures.Create(At<ListBox::CreateArgs>(208, 220, 256, 190, 88)));
    failures.AddItem(L"손상된 파일.txt");
    failures.AddItem(L"암호가 틀림.doc");
    EXPECT_EQ(Testing::ListBoxItems(failures.Handle()),
              (std::vector<std::wstring>{L"손상된 파일.txt", L"암호가 틀림.doc"}));

    Button ok;
    auto okArgs = At<Button::CreateArgs>(IDOK, 420, 320, 90, 26, L"확인");
    okArgs.kind = Button::Kind::DefaultPush;
    ASSERT_TRUE(ok.Create(okArgs));
    Button apply;
    auto applyArgs = At<Button::CreateArgs>(209, 420, 230, 200, 24, L"모든 파일에 적용");
    applyArgs.kind = Button::Kind::CheckBox;
    ASSERT_TRUE(apply.Create(applyArgs));
    apply.SetChecked(true);

    EXPECT_TRUE(Testing::IsShown(ok.Handle()));
    EXPECT_FALSE(Testing::SaveScreenshot(host.Handle(), L"korean_controls").empty());
}

TEST_F(ControlsTest, WindowsEndCleanlyAndLoopsStopWhereTheyShould) {
    // A window closed by the user leaves its object without a handle; the object's end is then harmless.
    HWND window = host.Handle();
    EXPECT_EQ(Window::FromHandle(window), &host);
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(RunUntilClosed(window));
    EXPECT_EQ(host.destroyed, 1);
    EXPECT_EQ(host.Handle(), nullptr);
    EXPECT_FALSE(::IsWindow(window));

    // A nested loop that meets WM_QUIT stops and leaves it for the outer loop.
    Host other;
    Window::CreateArgs args;
    ASSERT_TRUE(other.Create(args));
    ::PostQuitMessage(3);
    EXPECT_FALSE(RunUntilClosed(other.Handle()));
    EXPECT_EQ(RunMessageLoop(), 3);
    EXPECT_TRUE(PumpWaitingMessages());
}

TEST(Dpi, SizesAndFontsFollowTheDpi) {
    EXPECT_EQ(Scale(100, 96), 100);
    EXPECT_EQ(Scale(100, 144), 150);
    EXPECT_EQ(Scale(15, 120), 19);  // MulDiv rounds 18.75 up
    EXPECT_EQ(Scale(-10, 192), -20);
    EXPECT_EQ(DpiForWindow(nullptr), SystemDpi());

    Font normal = CreateMessageFont(96);
    Font large = CreateMessageFont(192);
    ASSERT_TRUE(normal && large);
    LOGFONTW small{}, big{};
    ::GetObjectW(normal.Get(), sizeof(small), &small);
    ::GetObjectW(large.Get(), sizeof(big), &big);
    EXPECT_NEAR(std::abs(big.lfHeight), 2 * std::abs(small.lfHeight), 1);

    // The owners free once, and a moved-from owner frees nothing.
    HFONT handle = large.Get();
    Font moved = std::move(large);
    EXPECT_FALSE(large);
    EXPECT_EQ(moved.Get(), handle);
    moved.Reset();
    EXPECT_EQ(::GetObjectType(handle), 0u);
}

}  // namespace
}  // namespace Arkova::WinGui
