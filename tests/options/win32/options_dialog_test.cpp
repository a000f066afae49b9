// Guards the options dialog "설정" as the user meets it under Wine: the page list and one page at a time, every
// control showing the stored settings, "저장" storing all of them and "취소" or the close box none, the shell page
// registering and removing the context-menu verbs at once (and keeping its rows when that fails), a page that
// cannot be made staying out of the way, and the resize keeping the buttons in the corner and the size above the
// initial one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

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
#include "support/win32/pump_until.h"
#include "support/win32/screenshot.h"
#include "wingui/dpi.h"

namespace Arkova {
namespace {

using Testing::IsChecked;
using Testing::ListBoxItems;
using Testing::ListViewColumns;
using Testing::ListViewRows;
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
    if (key.Open(path, Platform::RegistryAccess::Read) != Platform::kRegistryOk) return L"<no key>";
    std::uint8_t buffer[2048] = {};
    std::uint32_t type = 0;
    std::uint32_t size = sizeof buffer;
    if (key.QueryValue(L"", &type, buffer, &size) != Platform::kRegistryOk) return L"<absent>";
    return Platform::RegistryStringFromBytes(buffer, size);
}

// A control anywhere below `root` (the pages' controls are the dialog's grandchildren).
HWND Descendant(HWND root, int id) {
    struct Search {
        int id;
        HWND found;
    } search{id, nullptr};
    ::EnumChildWindows(
        root,
        [](HWND child, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            if (::GetDlgCtrlID(child) != s->id) return TRUE;
            s->found = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<std::wstring> ChildTexts(HWND window) {
    std::vector<std::wstring> texts;
    for (HWND child = ::GetWindow(window, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        texts.push_back(WindowText(child));
    }
    return texts;
}

bool Contains(const std::vector<std::wstring>& texts, const std::wstring& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

void Click(HWND button) { ::SendMessageW(button, BM_CLICK, 0, 0); }

void ChooseListItem(HWND list, int index) {
    ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    ::SendMessageW(::GetParent(list), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(list), LBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(list));
}

bool RowChecked(HWND list, int row) {
    auto state = ::SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK);
    return (static_cast<UINT>(state) & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
}

// As a click on the row's box does: the list view notifies its parent of the state change.
void SetRowChecked(HWND list, int row, bool checked) {
    LVITEMW item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

std::vector<bool> CheckedRows(HWND list) {
    std::vector<bool> rows;
    int count = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) rows.push_back(RowChecked(list, row));
    return rows;
}

RECT WindowRect(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return rect;
}

RECT ClientRectOf(HWND window) {
    RECT rect{};
    ::GetClientRect(window, &rect);
    return rect;
}

// A rectangle in its parent's client coordinates.
RECT InParent(HWND window) {
    RECT rect = WindowRect(window);
    ::MapWindowPoints(nullptr, ::GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// A page whose template does not exist.
class BrokenPage : public OptionsPage {
public:
    BrokenPage() : OptionsPage(L"고장", 9999) {}
    bool Create(HWND dialog, HINSTANCE instance, const RECT& pageRect) override {
        return CreatePageWindow(dialog, instance, pageRect);
    }
    void Load() override { ++loads; }
    void Save() override { ++saves; }
    int loads = 0;
    int saves = 0;
};

class OptionsDialogTest : public testing::Test {
protected:
    void SetUp() override { Globals() = GlobalSettings{}; }
    void TearDown() override { Globals() = GlobalSettings{}; }

    // Runs the dialog modally as the main window does; `drive` gets it once its loop runs and must close it.
    INT_PTR RunModal(const std::function<void(HWND)>& drive) {
        Testing::DialogAnswerer answerer([&](Testing::ShownDialog& shown) {
            if (shown.Caption() == L"설정") {
                drive(shown.Handle());
            } else {
                messages.push_back(shown.Caption() + L"|" + shown.Text());
                shown.Press(IDOK);
            }
        });
        return ShowOptionsDialog(nullptr);
    }

    Testing::RegistrySandbox sandbox_;
    std::vector<std::wstring> messages;  // caption|text of every message box, in order
};

TEST_F(OptionsDialogTest, PageListShowsOnePageAtATimeAndTheResizeKeepsTheCorner) {
    OptionsDialog dialog(MakeOptionsPages());
    ASSERT_TRUE(dialog.CreateModeless(nullptr));
    HWND window = dialog.Handle();
    ::ShowWindow(window, SW_SHOW);
    HWND list = dialog.Item(IDC_OPTIONS_PAGE_LIST);
    const UINT dpi = WinGui::DpiForWindow(window);

    EXPECT_EQ(WindowText(window), L"설정");
    EXPECT_EQ(ListBoxItems(list), (std::vector<std::wstring>{L"일반", L"쉘 통합", L"기타"}));
    EXPECT_TRUE(::GetWindowLongW(list, GWL_STYLE) & LBS_OWNERDRAWFIXED);
    EXPECT_EQ(::SendMessageW(list, LB_GETITEMHEIGHT, 0, 0), std::lround(46.0 * dpi / 96.0));
    EXPECT_EQ(WindowText(dialog.Item(IDOK)), L"저장");
    EXPECT_TRUE(::GetWindowLongW(dialog.Item(IDOK), GWL_STYLE) & BS_DEFPUSHBUTTON);
    EXPECT_EQ(WindowText(dialog.Item(IDCANCEL)), L"취소");
    EXPECT_FALSE(Testing::IsShown(dialog.Item(IDC_OPTIONS_PAGE_AREA)));

    // Every page fills the placeholder's rectangle; only the chosen one is shown.
    const RECT area = Testing::ControlRect(window, IDC_OPTIONS_PAGE_AREA).pixels;
    ASSERT_EQ(dialog.PageCount(), 3);
    for (int i = 0; i < 3; ++i) {
        HWND page = dialog.Page(i).PageWindow();
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(::GetParent(page), window);
        RECT placed = InParent(page);
        EXPECT_TRUE(::EqualRect(&area, &placed)) << i;
    }
    const wchar_t* shots[] = {L"200-options-general", L"200-options-shell", L"200-options-other"};
    for (int shown : {0, 1, 2, 0}) {
        ChooseListItem(list, shown);
        EXPECT_EQ(dialog.ShownPage(), shown);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(Testing::IsShown(dialog.Page(i).PageWindow()), i == shown) << shown;
        if (shots[shown] != nullptr) {
            EXPECT_FALSE(Testing::SaveScreenshot(window, shots[shown]).empty());
            shots[shown] = nullptr;
        }
    }

    // The hovered item follows the pointer, and is none below the last item and after the pointer left.
    auto moveTo = [&](int x, int y) { ::SendMessageW(list, WM_MOUSEMOVE, 0, MAKELPARAM(x, y)); };
    RECT item{};
    ::SendMessageW(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
    moveTo((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    EXPECT_EQ(dialog.HoveredItem(), 1);
    moveTo((item.left + item.right) / 2, ClientRectOf(list).bottom - 2);
    EXPECT_EQ(dialog.HoveredItem(), -1);
    moveTo(item.left + 2, item.bottom + 2);
    EXPECT_EQ(dialog.HoveredItem(), 2);
    ::SendMessageW(list, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(dialog.HoveredItem(), -1);

    // Larger: the list grows down only, the pages right and down, the buttons keep their distance to the corner.
    const RECT outer = WindowRect(window);
    const RECT client = ClientRectOf(window);
    const RECT listBefore = InParent(list);
    const RECT saveBefore = InParent(dialog.Item(IDOK));
    const RECT cancelBefore = InParent(dialog.Item(IDCANCEL));
    // As far as the display lets the window grow (at 192 DPI the dialog is about as wide as the test display).
    const int dx = std::clamp(static_cast<int>(::GetSystemMetrics(SM_CXMAXTRACK) - (outer.right - outer.left)), 0,
                              WinGui::Scale(160, dpi));
    const int dy = std::clamp(static_cast<int>(::GetSystemMetrics(SM_CYMAXTRACK) - (outer.bottom - outer.top)), 0,
                              WinGui::Scale(90, dpi));
    ASSERT_GT(dx + dy, 0);
    ::SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left + dx, outer.bottom - outer.top + dy,
                   SWP_NOMOVE | SWP_NOZORDER);
    RECT grown = ClientRectOf(window);
    ASSERT_EQ(grown.right - client.right, dx);
    ASSERT_EQ(grown.bottom - client.bottom, dy);
    RECT listAfter = InParent(list);
    EXPECT_EQ(listAfter.left, listBefore.left);
    EXPECT_EQ(listAfter.top, listBefore.top);
    EXPECT_EQ(listAfter.right, listBefore.right);
    EXPECT_EQ(listAfter.bottom, listBefore.bottom + dy);
    for (int i = 0; i < 3; ++i) {
        RECT page = InParent(dialog.Page(i).PageWindow());
        EXPECT_EQ(page.left, area.left);
        EXPECT_EQ(page.top, area.top);
        EXPECT_EQ(page.right, area.right + dx);
        EXPECT_EQ(page.bottom, area.bottom + dy);
    }
    RECT cancelAfter = InParent(dialog.Item(IDCANCEL));
    RECT saveAfter = InParent(dialog.Item(IDOK));
    EXPECT_EQ(grown.right - cancelAfter.right, client.right - cancelBefore.right);
    EXPECT_EQ(grown.bottom - cancelAfter.bottom, client.bottom - cancelBefore.bottom);
    EXPECT_EQ(cancelAfter.left - saveAfter.right, cancelBefore.left - saveBefore.right);
    EXPECT_EQ(saveAfter.top, cancelAfter.top);
    EXPECT_EQ(saveAfter.right - saveAfter.left, saveBefore.right - saveBefore.left);

    // Smaller than it opened is refused.
    ::SetWindowPos(window, nullptr, 0, 0, 100, 80, SWP_NOMOVE | SWP_NOZORDER);
    RECT shrunk = WindowRect(window);
    EXPECT_EQ(shrunk.right - shrunk.left, outer.right - outer.left);
    EXPECT_EQ(shrunk.bottom - shrunk.top, outer.bottom - outer.top);

    dialog.End(IDCANCEL);
    EXPECT_FALSE(::IsWindow(window));
}

TEST_F(OptionsDialogTest, APageThatCannotBeMadeStaysOutOfViewAndTheOthersWork) {
    std::vector<std::unique_ptr<OptionsPage>> pages;
    auto broken = std::make_unique<BrokenPage>();
    BrokenPage& brokenPage = *broken;
    pages.push_back(std::move(broken));
    pages.push_back(std::make_unique<GeneralOptions>());
    OptionsDialog dialog(std::move(pages));
    ASSERT_TRUE(dialog.CreateModeless(nullptr));
    ::ShowWindow(dialog.Handle(), SW_SHOW);

    EXPECT_EQ(ListBoxItems(dialog.Item(IDC_OPTIONS_PAGE_LIST)), (std::vector<std::wstring>{L"고장", L"일반"}));
    EXPECT_EQ(brokenPage.PageWindow(), nullptr);
    EXPECT_EQ(brokenPage.loads, 0);
    EXPECT_EQ(dialog.ShownPage(), 0);
    EXPECT_FALSE(Testing::IsShown(dialog.Page(1).PageWindow()));
    ChooseListItem(dialog.Item(IDC_OPTIONS_PAGE_LIST), 1);
    EXPECT_TRUE(Testing::IsShown(dialog.Page(1).PageWindow()));

    Click(dialog.Item(IDOK));
    EXPECT_EQ(dialog.EndCode(), IDOK);
    EXPECT_EQ(brokenPage.saves, 1);
    EXPECT_EQ(Stored(kSettingUseParallelAllExtract), 1u);
}

struct CheckBoxRow {
    int id;
    std::wstring text;
    bool checked;
};

void ExpectGeneralPage(HWND dialog, const std::vector<CheckBoxRow>& boxes, const std::wstring& welcome) {
    for (const CheckBoxRow& box : boxes) {
        HWND control = Descendant(dialog, box.id);
        ASSERT_NE(control, nullptr) << box.id;
        EXPECT_EQ(WindowText(control), box.text) << box.id;
        EXPECT_EQ(IsChecked(control), box.checked) << box.id;
    }
    HWND edit = Descendant(dialog, IDC_GENERAL_WELCOME);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(WindowText(edit), welcome);
    std::vector<std::wstring> texts = ChildTexts(::GetParent(edit));
    EXPECT_TRUE(Contains(texts, L"압축 해제시 CPU 멀티쓰레드 (병렬 압축풀기) 는 기본 지원사항"));
    EXPECT_TRUE(Contains(texts, L"프로그램 시작시 환영글"));
}

TEST_F(OptionsDialogTest, GeneralPageShowsTheDefaultsAndSaveWritesEveryValueUnchanged) {
    INT_PTR closed = RunModal([](HWND dialog) {
        ExpectGeneralPage(dialog,
                          {{IDC_GENERAL_REMEMBER_WINDOW, L"마지막 윈도우즈 창 위치,크기 기억", true},
                           {IDC_GENERAL_CONTEXT_PREVIEW, L"탐색기 마우스 우클릭으로 압축파일 미리보기", true},
                           {IDC_GENERAL_PARALLEL, L"병렬 압축 해제 (전체파일 풀때 초고속)", true},
                           {IDC_GENERAL_PARALLEL_TEMP, L"병렬 압축 해제시에 임시 폴더 사용", true},
                           {IDC_GENERAL_CLOSE_ON_FINISH, L"압축 해제 완료 시, 안내창 닫기", false},
                           {IDC_GENERAL_OPEN_DEST, L"압축 해제 완료 시, 대상 폴더 열기", false}},
                          L"초고속 통합압축 프로그램");
        Click(::GetDlgItem(dialog, IDOK));
    });
    EXPECT_EQ(closed, IDOK);
    EXPECT_EQ(Stored(kSettingUseParallelAllExtract), 1u);
    EXPECT_EQ(Stored(kSettingUseParallelTempFolder), 1u);
    EXPECT_EQ(Stored(kSettingCloseDialogOnFinished), 0u);
    EXPECT_EQ(Stored(kSettingOpenDestFolderOnFinished), 0u);
    EXPECT_EQ(Stored(kSettingRememberWindowPos), 1u);
    EXPECT_EQ(Stored(kSettingCodePage), 0xFFFFFFFFu);
    EXPECT_EQ(StoredText(kSettingWelcomeMsg), L"초고속 통합압축 프로그램");
}

TEST_F(OptionsDialogTest, GeneralPageShowsStoredSettingsAndOnlySaveStoresChanges) {
    Globals().rememberWindowPos = false;
    Globals().welcomeMsg = L"반갑습니다";
    WriteDword(kSettingUseParallelAllExtract, 0);
    WriteDword(kSettingCloseDialogOnFinished, 5);  // any non-zero value is on

    // Ticks every box the other way and types a new welcome text.
    auto change = [](HWND dialog) {
        for (int id : {IDC_GENERAL_REMEMBER_WINDOW, IDC_GENERAL_PARALLEL, IDC_GENERAL_PARALLEL_TEMP,
                       IDC_GENERAL_CLOSE_ON_FINISH, IDC_GENERAL_OPEN_DEST}) {
            Click(Descendant(dialog, id));
        }
        ::SetWindowTextW(Descendant(dialog, IDC_GENERAL_WELCOME), L"새 환영글");
    };
    auto expectUnchanged = [] {
        EXPECT_EQ(Stored(kSettingUseParallelAllExtract), 0u);
        EXPECT_EQ(Stored(kSettingUseParallelTempFolder), kAbsent);
        EXPECT_EQ(Stored(kSettingCloseDialogOnFinished), 5u);
        EXPECT_EQ(Stored(kSettingOpenDestFolderOnFinished), kAbsent);
        EXPECT_EQ(Stored(kSettingRememberWindowPos), kAbsent);
        EXPECT_EQ(StoredText(kSettingWelcomeMsg), L"<absent>");
        EXPECT_FALSE(Globals().rememberWindowPos);
        EXPECT_EQ(Globals().welcomeMsg, L"반갑습니다");
    };

    EXPECT_EQ(RunModal([&](HWND dialog) {
                  ExpectGeneralPage(dialog,
                                    {{IDC_GENERAL_REMEMBER_WINDOW, L"마지막 윈도우즈 창 위치,크기 기억", false},
                                     {IDC_GENERAL_CONTEXT_PREVIEW, L"탐색기 마우스 우클릭으로 압축파일 미리보기", true},
                                     {IDC_GENERAL_PARALLEL, L"병렬 압축 해제 (전체파일 풀때 초고속)", false},
                                     {IDC_GENERAL_PARALLEL_TEMP, L"병렬 압축 해제시에 임시 폴더 사용", true},
                                     {IDC_GENERAL_CLOSE_ON_FINISH, L"압축 해제 완료 시, 안내창 닫기", true},
                                     {IDC_GENERAL_OPEN_DEST, L"압축 해제 완료 시, 대상 폴더 열기", false}},
                                    L"반갑습니다");
                  change(dialog);
                  Click(::GetDlgItem(dialog, IDCANCEL));
              }),
              IDCANCEL);
    expectUnchanged();

    EXPECT_EQ(RunModal([&](HWND dialog) {
                  change(dialog);
                  ::SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
              }),
              IDCANCEL);
    expectUnchanged();

    EXPECT_EQ(RunModal([&](HWND dialog) {
                  change(dialog);
                  Click(::GetDlgItem(dialog, IDOK));
              }),
              IDOK);
    EXPECT_EQ(Stored(kSettingUseParallelAllExtract), 1u);
    EXPECT_EQ(Stored(kSettingUseParallelTempFolder), 0u);
    EXPECT_EQ(Stored(kSettingCloseDialogOnFinished), 0u);
    EXPECT_EQ(Stored(kSettingOpenDestFolderOnFinished), 1u);
    EXPECT_EQ(Stored(kSettingRememberWindowPos), 1u);
    EXPECT_TRUE(Globals().rememberWindowPos);
    EXPECT_EQ(Globals().welcomeMsg, L"새 환영글");
    EXPECT_EQ(StoredText(kSettingWelcomeMsg), L"새 환영글");
    EXPECT_TRUE(messages.empty());
}

const std::wstring kSystemAssociations = L"Software\\Classes\\SystemFileAssociations\\";

class ShellPageTest : public OptionsDialogTest {
protected:
    void Open() {
        ASSERT_TRUE(dialog_.CreateModeless(nullptr));
        ::ShowWindow(dialog_.Handle(), SW_SHOW);
        ChooseListItem(dialog_.Item(IDC_OPTIONS_PAGE_LIST), 1);
        page_ = dialog_.Page(1).PageWindow();
        ASSERT_NE(page_, nullptr);
        list_ = ::GetDlgItem(page_, IDC_SHELL_TYPES);
        ASSERT_NE(list_, nullptr);
    }

    // Presses a page button; the message box it opens is answered with OK and its caption|text returned.
    std::wstring PressAndAnswer(int id) {
        size_t before = messages.size();
        Testing::DialogAnswerer answerer([&](Testing::ShownDialog& shown) {
            if (shown.Handle() == dialog_.Handle()) return;
            messages.push_back(shown.Caption() + L"|" + shown.Text());
            shown.Press(IDOK);
        });
        Click(::GetDlgItem(page_, id));
        return messages.size() == before + 1 ? messages.back()
                                             : L"<" + std::to_wstring(messages.size() - before) + L">";
    }

    OptionsDialog dialog_{MakeOptionsPages()};
    HWND page_ = nullptr;
    HWND list_ = nullptr;
};

TEST_F(ShellPageTest, RowsFollowTheRegistryAndTheButtonsRegisterAndRemoveAtOnce) {
    ASSERT_TRUE(RegisterContextMenu({L".zip", L".egg"}));
    Open();

    EXPECT_EQ(ListViewColumns(list_), (std::vector<std::wstring>{L"파일 형식"}));
    int width = static_cast<int>(::SendMessageW(list_, LVM_GETCOLUMNWIDTH, 0, 0));
    EXPECT_EQ(width, ClientRectOf(list_).right - ::GetSystemMetrics(SM_CXVSCROLL) - 4);
    DWORD extended = static_cast<DWORD>(::SendMessageW(list_, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    EXPECT_TRUE(extended & LVS_EX_CHECKBOXES);
    EXPECT_TRUE(extended & LVS_EX_FULLROWSELECT);
    std::vector<std::vector<std::wstring>> rows = ListViewRows(list_);
    std::vector<std::wstring> expected = {L".zip - ZIP 압축 파일", L".alz - ALZ 압축 파일",     L".egg - EGG 압축 파일",
                                          L".rar - RAR 압축 파일", L".7z - 7-Zip 압축 파일",    L".tar - TAR 아카이브",
                                          L".gz - GZip 압축 파일", L".bz2 - BZip2 압축 파일",   L".xz - XZ 압축 파일",
                                          L".cab - Cabinet 파일",  L".iso - ISO 디스크 이미지", L".wim - WIM 이미지"};
    ASSERT_EQ(rows.size(), expected.size());
    for (size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(rows[i].at(0), expected[i]);
    std::vector<bool> zipAndEgg(12, false);
    zipAndEgg[0] = zipAndEgg[2] = true;
    EXPECT_EQ(CheckedRows(list_), zipAndEgg);
    EXPECT_EQ(WindowText(::GetDlgItem(page_, IDC_SHELL_REGISTER)), L"지금 등록");
    EXPECT_EQ(WindowText(::GetDlgItem(page_, IDC_SHELL_UNREGISTER)), L"등록 해제");
    std::vector<std::wstring> texts = ChildTexts(page_);
    EXPECT_TRUE(Contains(texts, L"Windows 탐색기 통합"));
    EXPECT_TRUE(Contains(texts, L"연결할 파일 형식:"));
    for (HWND child = ::GetWindow(page_, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (WindowText(child) == L"* 등록 시 관리자 권한이 필요할 수 있습니다.") {
            EXPECT_FALSE(::IsWindowVisible(child));
        }
    }

    // Nothing ticked: a reminder, and nothing written.
    for (int row = 0; row < 12; ++row) SetRowChecked(list_, row, false);
    EXPECT_EQ(PressAndAnswer(IDC_SHELL_REGISTER), L"알림|등록할 파일 형식을 선택해주세요.");
    EXPECT_TRUE(IsContextMenuRegistered(L".zip"));
    EXPECT_FALSE(IsContextMenuRegistered(L".7z"));

    // ".7z" ticked: its four verbs are written with this program's path, and the rows show the registry again.
    SetRowChecked(list_, 4, true);
    EXPECT_EQ(PressAndAnswer(IDC_SHELL_REGISTER), L"성공|쉘 통합이 등록되었습니다.");
    const std::wstring verbs = kSystemAssociations + L".7z\\shell\\";
    EXPECT_EQ(DefaultValue(verbs + L"Arkova1_ExtractNewFolder"), L"압축 풀기 (폴더 자동 생성)\t(&E)");
    EXPECT_EQ(DefaultValue(verbs + L"Arkova1_ExtractNewFolder\\command"),
              L"\"" + Platform::ExecutablePath() + L"\" /extractnewfolder \"%1\"");
    EXPECT_EQ(DefaultValue(verbs + L"Arkova4_Open\\command"), L"\"" + Platform::ExecutablePath() + L"\" \"%1\"");
    EXPECT_FALSE(IsContextMenuRegistered(L".rar"));
    std::vector<bool> registered = zipAndEgg;
    registered[4] = true;
    EXPECT_EQ(CheckedRows(list_), registered);

    EXPECT_EQ(PressAndAnswer(IDC_SHELL_UNREGISTER), L"성공|쉘 통합이 해제되었습니다.");
    for (const wchar_t* extension : {L".zip", L".egg", L".7z"}) EXPECT_FALSE(IsContextMenuRegistered(extension));
    EXPECT_EQ(DefaultValue(verbs + L"Arkova4_Open"), L"<no key>");
    EXPECT_EQ(CheckedRows(list_), std::vector<bool>(12, false));

    // "취소" undoes nothing the buttons did.
    SetRowChecked(list_, 3, true);
    EXPECT_EQ(PressAndAnswer(IDC_SHELL_REGISTER), L"성공|쉘 통합이 등록되었습니다.");
    Click(dialog_.Item(IDCANCEL));
    EXPECT_EQ(dialog_.EndCode(), IDCANCEL);
    EXPECT_TRUE(IsContextMenuRegistered(L".rar"));
    EXPECT_EQ(Stored(kSettingUseParallelAllExtract), kAbsent);
}

TEST_F(ShellPageTest, FailuresAreReportedAndTheRowsAreNotReloaded) {
    ASSERT_TRUE(RegisterContextMenu({L".zip"}));
    const std::wstring stuck = kSystemAssociations + L".rar\\shell\\Arkova2_ExtractHere";
    {
        Platform::RegistryKey key;
        ASSERT_EQ(key.Create(stuck, Platform::RegistryAccess::Write), Platform::kRegistryOk);
    }
    if (!sandbox_.LockKey(stuck)) GTEST_SKIP() << "this system does not enforce key permissions";
    Open();

    // One ".rar" verb cannot be written: the error, and the rows stay as the user left them (a reload would tick
    // ".zip" again, which is still registered).
    SetRowChecked(list_, 0, false);
    SetRowChecked(list_, 3, true);
    EXPECT_EQ(PressAndAnswer(IDC_SHELL_REGISTER),
              L"오류|쉘 통합 등록에 실패했습니다.\n관리자 권한으로 다시 시도해주세요.");
    EXPECT_TRUE(IsContextMenuRegistered(L".zip"));
    EXPECT_FALSE(RowChecked(list_, 0));
    EXPECT_TRUE(RowChecked(list_, 3));

    // That verb cannot go either: the error, and ".rar" stays ticked although its first verb is gone.
    EXPECT_EQ(PressAndAnswer(IDC_SHELL_UNREGISTER), L"오류|쉘 통합 해제에 실패했습니다.");
    EXPECT_FALSE(IsContextMenuRegistered(L".zip"));
    EXPECT_FALSE(IsContextMenuRegistered(L".rar"));
    EXPECT_TRUE(RowChecked(list_, 3));
    sandbox_.UnlockAll();
    dialog_.End(IDCANCEL);
}

}  // namespace
}  // namespace Arkova
