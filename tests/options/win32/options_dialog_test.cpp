// Guards the options dialog "설정" as the user meets it under Wine: one page at a time from the page list, every
// control showing the stored settings, "저장" storing all of them and "취소" or the close box none, the shell page
// registering and removing the context-menu verbs at once (and keeping its rows when that fails), a page that
// cannot be made staying out of the way, and the resize keeping the buttons in the corner above the initial size.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>

#include "app/settings.h"
#include "app/shell_integration.h"
#include "options/win32/options_dialog.h"
#include "options/win32/options_pages.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "resource.h"
#include "support/registry_sandbox.h"
#include "support/win32/control_readers.h"
#include "support/win32/dialog_answerer.h"
#include "support/win32/screenshot.h"
#include "wingui/dpi.h"

namespace Arkova {
namespace {

using Testing::WindowText;

constexpr std::uint32_t kAbsent = 0xDEADBEEF;

std::uint32_t Stored(const wchar_t* name) {
    std::uint32_t value = kAbsent;
    return ReadDword(name, value) ? value : kAbsent;
}

std::wstring StoredText(const wchar_t* name) {
    std::wstring text;
    return ReadString(name, text) ? text : L"<absent>";
}

std::wstring DefaultValue(const std::wstring& path) {
    Platform::RegistryKey key;
    std::uint8_t buffer[1024] = {};
    std::uint32_t type = 0, size = sizeof buffer;
    if (key.Open(path, Platform::RegistryAccess::Read) != Platform::kRegistryOk) return L"<no key>";
    return key.QueryValue(L"", &type, buffer, &size) == Platform::kRegistryOk
               ? Platform::RegistryStringFromBytes(buffer, size)
               : L"<absent>";
}

// A control anywhere below `root` (the pages' controls are the dialog's grandchildren).
HWND Descendant(HWND root, int id) {
    std::pair<int, HWND> search{id, nullptr};
    ::EnumChildWindows(
        root,
        [](HWND child, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<std::pair<int, HWND>*>(data);
            if (::GetDlgCtrlID(child) == s->first) s->second = child;
            return s->second == nullptr;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.second;
}

// Shown as far as the window itself says, whether its parents are shown or not.
bool Visible(HWND window) { return (::GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) != 0; }

// Every child's text, hidden ones marked.
std::vector<std::wstring> ChildTexts(HWND window) {
    std::vector<std::wstring> texts;
    for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        texts.push_back((Visible(child) ? L"" : L"(hidden) ") + WindowText(child));
    }
    return texts;
}

void Click(HWND button) { ::SendMessageW(button, BM_CLICK, 0, 0); }

void ChooseListItem(HWND list, int index) {
    ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    ::SendMessageW(::GetParent(list), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(list), LBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(list));
}

// As a click on a row's box does: the list view tells its parent.
void SetRowChecked(HWND list, int row, bool checked) {
    LVITEMW item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

// The ticked rows as a text: "x.x........." for the first and third.
std::wstring TickedRows(HWND list) {
    std::wstring rows;
    for (int row = 0; row < ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0); ++row) {
        auto state = static_cast<UINT>(::SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK));
        rows += (state & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2) ? L'x' : L'.';
    }
    return rows;
}

// Edges in the parent's client coordinates.
std::array<LONG, 4> Edges(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right, rect.bottom};
}

std::array<LONG, 4> Moved(std::array<LONG, 4> edges, LONG right, LONG bottom, bool both = false) {
    if (both) edges[0] += right, edges[1] += bottom;
    edges[2] += right;
    edges[3] += bottom;
    return edges;
}

// A page whose template does not exist.
class BrokenPage : public OptionsPage {
public:
    BrokenPage() : OptionsPage(L"고장", 9999) {}
    bool Create(HWND dialog, HINSTANCE instance, const RECT& rect) override {
        return CreatePageWindow(dialog, instance, rect);
    }
    void Load() override { ++loads; }
    void Save() override { ++saves; }
    int loads = 0, saves = 0;
};

class OptionsDialogTest : public testing::Test {
protected:
    void SetUp() override { Globals() = GlobalSettings{}; }
    void TearDown() override { Globals() = GlobalSettings{}; }

    // Shows the dialog modally as the main window does; `drive` gets it once its loop runs and closes it.
    INT_PTR RunModal(const std::function<void(HWND)>& drive) {
        Testing::DialogAnswerer answerer([&](Testing::ShownDialog& shown) { drive(shown.Handle()); });
        return ShowOptionsDialog(nullptr);
    }

    // Presses a button whose message box is answered with OK; returns its caption|text.
    std::wstring PressAndAnswer(HWND button) {
        std::wstring seen = L"<none>";
        Testing::DialogAnswerer answerer([&](Testing::ShownDialog& shown) {
            seen = shown.Caption() + L"|" + shown.Text();
            shown.Press(IDOK);
        });
        Click(button);
        return seen;
    }

    Testing::RegistrySandbox sandbox_;
};

TEST_F(OptionsDialogTest, PageListShowsOnePageAtATimeAndTheResizeKeepsTheCorner) {
    OptionsDialog dialog(MakeOptionsPages());
    ASSERT_TRUE(dialog.CreateModeless(nullptr));
    HWND window = dialog.Handle(), list = dialog.Item(IDC_OPTIONS_PAGE_LIST);
    ::ShowWindow(window, SW_SHOW);
    const UINT dpi = WinGui::DpiForWindow(window);

    EXPECT_EQ(WindowText(window), L"설정");
    EXPECT_EQ(ChildTexts(window),
              (std::vector<std::wstring>{L"", L"(hidden) ", L"", L"(hidden) ", L"(hidden) ", L"저장", L"취소"}));
    EXPECT_EQ(Testing::ListBoxItems(list), (std::vector<std::wstring>{L"일반", L"쉘 통합", L"기타"}));
    EXPECT_EQ(::SendMessageW(list, LB_GETITEMHEIGHT, 0, 0), std::lround(46.0 * dpi / 96.0));

    const auto area = Edges(dialog.Item(IDC_OPTIONS_PAGE_AREA));
    const wchar_t* shots[] = {L"200-options-general", L"200-options-shell", L"200-options-other"};
    for (int shown : {1, 2, 0}) {
        ChooseListItem(list, shown);
        EXPECT_EQ(dialog.ShownPage(), shown);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(Testing::IsShown(dialog.Page(i).PageWindow()), i == shown) << shown;
            EXPECT_EQ(Edges(dialog.Page(i).PageWindow()), area);
        }
        EXPECT_FALSE(Testing::SaveScreenshot(window, shots[shown]).empty());
    }

    // The hovered item follows the pointer; below the last item and after the pointer left there is none.
    RECT item{};
    ::SendMessageW(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
    std::vector<int> hovered;
    for (LONG y : {item.top + 2, item.bottom + 2, item.bottom + item.bottom}) {
        ::SendMessageW(list, WM_MOUSEMOVE, 0, MAKELPARAM(item.left + 4, y));
        hovered.push_back(dialog.HoveredItem());
    }
    ::SendMessageW(list, WM_MOUSELEAVE, 0, 0);
    hovered.push_back(dialog.HoveredItem());
    EXPECT_EQ(hovered, (std::vector<int>{1, 2, -1, -1}));

    // Larger, as far as the display allows (at 192 DPI the dialog is about as wide as it): the list grows down,
    // the pages right and down, the buttons keep their distance from the corner. Smaller than at first is refused.
    RECT outer{};
    ::GetWindowRect(window, &outer);
    const LONG width = outer.right - outer.left, height = outer.bottom - outer.top;
    const LONG dx = std::clamp<LONG>(::GetSystemMetrics(SM_CXMAXTRACK) - width, 0, WinGui::Scale(160, dpi));
    const LONG dy = std::clamp<LONG>(::GetSystemMetrics(SM_CYMAXTRACK) - height, 0, WinGui::Scale(90, dpi));
    ASSERT_GT(dx + dy, 0);
    const auto listBefore = Edges(list), saveBefore = Edges(dialog.Item(IDOK));
    const auto cancelBefore = Edges(dialog.Item(IDCANCEL));
    ::SetWindowPos(window, nullptr, 0, 0, width + dx, height + dy, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(Edges(list), Moved(listBefore, 0, dy));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Edges(dialog.Page(i).PageWindow()), Moved(area, dx, dy));
    EXPECT_EQ(Edges(dialog.Item(IDOK)), Moved(saveBefore, dx, dy, true));
    EXPECT_EQ(Edges(dialog.Item(IDCANCEL)), Moved(cancelBefore, dx, dy, true));

    ::SetWindowPos(window, nullptr, 0, 0, 100, 80, SWP_NOMOVE | SWP_NOZORDER);
    ::GetWindowRect(window, &outer);
    EXPECT_EQ(outer.right - outer.left, width);
    EXPECT_EQ(outer.bottom - outer.top, height);
}

TEST_F(OptionsDialogTest, APageThatCannotBeMadeStaysOutOfViewAndTheOthersWork) {
    std::vector<std::unique_ptr<OptionsPage>> pages;
    auto* broken = static_cast<BrokenPage*>(pages.emplace_back(std::make_unique<BrokenPage>()).get());
    pages.push_back(std::make_unique<GeneralOptions>());
    OptionsDialog dialog(std::move(pages));
    ASSERT_TRUE(dialog.CreateModeless(nullptr));

    EXPECT_EQ(broken->PageWindow(), nullptr);
    EXPECT_EQ(broken->loads, 0);
    EXPECT_EQ(dialog.ShownPage(), 0);
    ChooseListItem(dialog.Item(IDC_OPTIONS_PAGE_LIST), 1);
    EXPECT_TRUE(Visible(dialog.Page(1).PageWindow()));
    Click(dialog.Item(IDOK));
    EXPECT_EQ(dialog.EndCode(), IDOK);
    EXPECT_EQ(broken->saves, 1);
    EXPECT_EQ(Stored(kSettingUseParallelAllExtract), 1u);
}

const int kGeneralBoxes[] = {IDC_GENERAL_REMEMBER_WINDOW, IDC_GENERAL_CONTEXT_PREVIEW, IDC_GENERAL_PARALLEL,
                             IDC_GENERAL_PARALLEL_TEMP,   IDC_GENERAL_CLOSE_ON_FINISH, IDC_GENERAL_OPEN_DEST};

// The general page's box states as "x" and ".", in the order above, then the welcome text.
std::wstring GeneralPage(HWND dialog) {
    std::wstring shown;
    for (int id : kGeneralBoxes) shown += Testing::IsChecked(Descendant(dialog, id)) ? L'x' : L'.';
    return shown + L" " + WindowText(Descendant(dialog, IDC_GENERAL_WELCOME));
}

TEST_F(OptionsDialogTest, GeneralPageShowsTheDefaultsAndSaveWritesEveryValueUnchanged) {
    EXPECT_EQ(RunModal([](HWND dialog) {
                  HWND page = ::GetParent(Descendant(dialog, IDC_GENERAL_WELCOME));
                  EXPECT_EQ(ChildTexts(page),
                            (std::vector<std::wstring>{
                                L"마지막 윈도우즈 창 위치,크기 기억", L"탐색기 마우스 우클릭으로 압축파일 미리보기",
                                L"병렬 압축 해제 (전체파일 풀때 초고속)", L"병렬 압축 해제시에 임시 폴더 사용",
                                L"압축 해제 완료 시, 안내창 닫기", L"압축 해제 완료 시, 대상 폴더 열기",
                                L"압축 해제시 CPU 멀티쓰레드 (병렬 압축풀기) 는 기본 지원사항",
                                L"프로그램 시작시 환영글", L"초고속 통합압축 프로그램"}));
                  EXPECT_EQ(GeneralPage(dialog), L"xxxx.. 초고속 통합압축 프로그램");
                  Click(::GetDlgItem(dialog, IDOK));
              }),
              IDOK);
    EXPECT_EQ(Stored(kSettingUseParallelAllExtract), 1u);
    EXPECT_EQ(Stored(kSettingUseParallelTempFolder), 1u);
    EXPECT_EQ(Stored(kSettingCloseDialogOnFinished), 0u);
    EXPECT_EQ(Stored(kSettingOpenDestFolderOnFinished), 0u);
    EXPECT_EQ(Stored(kSettingRememberWindowPos), 1u);
    EXPECT_EQ(StoredText(kSettingWelcomeMsg), L"초고속 통합압축 프로그램");
}

TEST_F(OptionsDialogTest, GeneralPageShowsStoredSettingsAndOnlySaveStoresChanges) {
    Globals().rememberWindowPos = false;
    Globals().welcomeMsg = L"반갑습니다";
    WriteDword(kSettingUseParallelAllExtract, 0);
    WriteDword(kSettingCloseDialogOnFinished, 5);  // any non-zero value is on

    // Turns every box the user can change the other way and types a new welcome text, then closes the dialog with
    // `close`.
    auto changeAndClose = [](const std::function<void(HWND)>& close) {
        return [close](HWND dialog) {
            for (int id : kGeneralBoxes) {
                if (id != IDC_GENERAL_CONTEXT_PREVIEW) Click(Descendant(dialog, id));
            }
            ::SetWindowTextW(Descendant(dialog, IDC_GENERAL_WELCOME), L"새 환영글");
            close(dialog);
        };
    };
    auto stored = [] {
        std::wstring values;
        for (const wchar_t* name :
             {kSettingUseParallelAllExtract, kSettingUseParallelTempFolder, kSettingCloseDialogOnFinished,
              kSettingOpenDestFolderOnFinished, kSettingRememberWindowPos}) {
            values += Stored(name) == kAbsent ? L"-" : std::to_wstring(Stored(name));
        }
        return values + L" " + StoredText(kSettingWelcomeMsg) + L" " + (Globals().rememberWindowPos ? L"x " : L". ") +
               Globals().welcomeMsg;
    };

    EXPECT_EQ(RunModal([](HWND dialog) {
                  EXPECT_EQ(GeneralPage(dialog), L".x.xx. 반갑습니다");
                  // No setting stands behind this box: the user cannot change it.
                  EXPECT_FALSE(::IsWindowEnabled(Descendant(dialog, IDC_GENERAL_CONTEXT_PREVIEW)));
                  ::SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
              }),
              IDCANCEL);
    EXPECT_EQ(RunModal(changeAndClose([](HWND dialog) { ::SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); })),
              IDCANCEL);
    EXPECT_EQ(stored(), L"0-5-- <absent> . 반갑습니다");
    EXPECT_EQ(RunModal(changeAndClose([](HWND dialog) { Click(::GetDlgItem(dialog, IDCANCEL)); })), IDCANCEL);
    EXPECT_EQ(stored(), L"0-5-- <absent> . 반갑습니다");
    EXPECT_EQ(RunModal(changeAndClose([](HWND dialog) {
                  EXPECT_EQ(GeneralPage(dialog), L"xxx..x 새 환영글");
                  Click(::GetDlgItem(dialog, IDOK));
              })),
              IDOK);
    EXPECT_EQ(stored(), L"10011 새 환영글 x 새 환영글");
}

const std::wstring kSystemAssociations = L"Software\\Classes\\SystemFileAssociations\\";

class ShellPageTest : public OptionsDialogTest {
protected:
    void Open() {
        ASSERT_TRUE(dialog_.CreateModeless(nullptr));
        page_ = dialog_.Page(1).PageWindow();
        list_ = ::GetDlgItem(page_, IDC_SHELL_TYPES);
    }
    std::wstring Press(int id) { return PressAndAnswer(::GetDlgItem(page_, id)); }

    OptionsDialog dialog_{MakeOptionsPages()};
    HWND page_ = nullptr;
    HWND list_ = nullptr;
};

TEST_F(ShellPageTest, RowsFollowTheRegistryAndTheButtonsRegisterAndRemoveAtOnce) {
    ASSERT_TRUE(RegisterContextMenu({L".zip", L".egg"}));
    Open();

    EXPECT_EQ(ChildTexts(page_),
              (std::vector<std::wstring>{L"Windows 탐색기 통합", L"연결할 파일 형식:", L"", L"지금 등록", L"등록 해제",
                                         L"(hidden) * 등록 시 관리자 권한이 필요할 수 있습니다."}));
    EXPECT_EQ(Testing::ListViewColumns(list_), (std::vector<std::wstring>{L"파일 형식"}));
    RECT client{};
    ::GetClientRect(list_, &client);
    EXPECT_EQ(::SendMessageW(list_, LVM_GETCOLUMNWIDTH, 0, 0), client.right - ::GetSystemMetrics(SM_CXVSCROLL) - 4);
    std::wstring rows;
    for (const auto& row : Testing::ListViewRows(list_)) rows += row.at(0) + L";";
    EXPECT_EQ(rows,
              L".zip - ZIP 압축 파일;.alz - ALZ 압축 파일;.egg - EGG 압축 파일;.rar - RAR 압축 파일;"
              L".7z - 7-Zip 압축 파일;.tar - TAR 아카이브;.gz - GZip 압축 파일;.bz2 - BZip2 압축 파일;"
              L".xz - XZ 압축 파일;.cab - Cabinet 파일;.iso - ISO 디스크 이미지;.wim - WIM 이미지;");
    EXPECT_EQ(TickedRows(list_), L"x.x.........");

    // Nothing ticked: a reminder, and nothing written.
    for (int row = 0; row < 12; ++row) SetRowChecked(list_, row, false);
    EXPECT_EQ(Press(IDC_SHELL_REGISTER), L"알림|등록할 파일 형식을 선택해주세요.");
    EXPECT_TRUE(IsContextMenuRegistered(L".zip"));
    EXPECT_FALSE(IsContextMenuRegistered(L".7z"));

    // ".7z" ticked: its verbs are written with this program's path, and the rows show the registry again.
    SetRowChecked(list_, 4, true);
    EXPECT_EQ(Press(IDC_SHELL_REGISTER), L"성공|쉘 통합이 등록되었습니다.");
    const std::wstring verbs = kSystemAssociations + L".7z\\shell\\";
    EXPECT_EQ(DefaultValue(verbs + L"Arkova1_ExtractNewFolder"), L"압축 풀기 (폴더 자동 생성)\t(&E)");
    EXPECT_EQ(DefaultValue(verbs + L"Arkova1_ExtractNewFolder\\command"),
              L"\"" + Platform::ExecutablePath() + L"\" /extractnewfolder \"%1\"");
    EXPECT_EQ(TickedRows(list_), L"x.x.x.......");

    EXPECT_EQ(Press(IDC_SHELL_UNREGISTER), L"성공|쉘 통합이 해제되었습니다.");
    EXPECT_EQ(DefaultValue(verbs + L"Arkova4_Open"), L"<no key>");
    EXPECT_EQ(TickedRows(list_), L"............");

    // "취소" undoes nothing the buttons did, and stores nothing else.
    SetRowChecked(list_, 3, true);
    EXPECT_EQ(Press(IDC_SHELL_REGISTER), L"성공|쉘 통합이 등록되었습니다.");
    Click(dialog_.Item(IDCANCEL));
    EXPECT_EQ(dialog_.EndCode(), IDCANCEL);
    EXPECT_TRUE(IsContextMenuRegistered(L".rar"));
    EXPECT_EQ(Stored(kSettingUseParallelAllExtract), kAbsent);
}

TEST_F(ShellPageTest, FailuresAreReportedAndTheRowsAreNotReloaded) {
    ASSERT_TRUE(RegisterContextMenu({L".zip"}));
    const std::wstring stuck = kSystemAssociations + L".rar\\shell\\Arkova2_ExtractHere";
    Platform::RegistryKey().Create(stuck, Platform::RegistryAccess::Write);
    if (!sandbox_.LockKey(stuck)) GTEST_SKIP() << "this system does not enforce key permissions";
    Open();

    // A ".rar" verb cannot be written: the error, and the rows stay as the user left them (a reload would tick
    // ".zip", which is still registered).
    SetRowChecked(list_, 0, false);
    SetRowChecked(list_, 3, true);
    EXPECT_EQ(Press(IDC_SHELL_REGISTER), L"오류|쉘 통합 등록에 실패했습니다.\n관리자 권한으로 다시 시도해주세요.");
    EXPECT_TRUE(IsContextMenuRegistered(L".zip"));
    EXPECT_EQ(TickedRows(list_), L"...x........");

    // Nor can it go: the error, and ".rar" stays ticked although its first verb is gone.
    EXPECT_EQ(Press(IDC_SHELL_UNREGISTER), L"오류|쉘 통합 해제에 실패했습니다.");
    EXPECT_FALSE(IsContextMenuRegistered(L".rar"));
    EXPECT_EQ(TickedRows(list_), L"...x........");
    sandbox_.UnlockAll();
}

}  // namespace
}  // namespace Arkova
