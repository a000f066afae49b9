// Guards the four prompts and reports as the user meets them: the texts and places of their controls, the answer
// each button gives (and that Enter never overwrites), the password limit, mask and red retry line, and the
// report rows with their columns.
#include <gtest/gtest.h>

#include <array>
#include <functional>

#include "dialogs/win32/overwrite_dialog.h"
#include "dialogs/win32/password_dialog.h"
#include "dialogs/win32/report_dialogs.h"
#include "resource.h"
#include "support/win32/control_readers.h"
#include "support/win32/dialog_answerer.h"
#include "support/win32/screenshot.h"
#include "wingui/dpi.h"

namespace Arkova {
namespace {

using Testing::ControlRect;
using Testing::DialogAnswerer;
using Testing::IsChecked;
using Testing::ShownDialog;

struct Placed {
    int id;
    std::array<LONG, 4> rect;  // x, y, width, height in dialog units
};

void ExpectPlaced(HWND dialog, std::initializer_list<Placed> controls) {
    for (const Placed& control : controls) {
        SCOPED_TRACE(control.id);
        RECT units = ControlRect(dialog, control.id).dialogUnits;
        EXPECT_EQ((std::array<LONG, 4>{units.left, units.top, units.right - units.left, units.bottom - units.top}),
                  control.rect);
    }
}

HWND Item(ShownDialog& dialog, int id) { return ::GetDlgItem(dialog.Handle(), id); }

TEST(OverwriteDialog, AsksAboutTheNamedFileAndAnswersAsItsButtonsSay) {
    int round = 0;
    DialogAnswerer answerer([&](ShownDialog& dialog) {
        switch (round++) {
            case 0:
                EXPECT_EQ(dialog.Caption(), L"파일 충돌");
                EXPECT_EQ(dialog.ItemText(IDC_OVERWRITE_QUESTION),
                          L"'보고서.txt' 파일이 이미 존재합니다.\n어떻게 처리할까요?");
                EXPECT_EQ(dialog.ItemText(IDC_OVERWRITE_APPLY_TO_ALL), L"모든 파일에 적용");
                EXPECT_EQ(dialog.ItemText(IDC_OVERWRITE_OVERWRITE), L"덮어쓰기");
                EXPECT_EQ(dialog.ItemText(IDC_OVERWRITE_SKIP), L"건너뛰기");
                EXPECT_EQ(dialog.ItemText(IDC_OVERWRITE_RENAME), L"이름 변경");
                EXPECT_EQ(dialog.ItemText(IDCANCEL), L"취소");
                EXPECT_TRUE(IsChecked(Item(dialog, IDC_OVERWRITE_APPLY_TO_ALL)));
                EXPECT_EQ(::GetFocus(), Item(dialog, IDC_OVERWRITE_OVERWRITE));
                EXPECT_NE(::SendDlgItemMessageW(dialog.Handle(), IDC_OVERWRITE_ICON, STM_GETICON, 0, 0), 0);
                ExpectPlaced(dialog.Handle(), {{IDC_OVERWRITE_ICON, {10, 10, 21, 20}},
                                               {IDC_OVERWRITE_QUESTION, {40, 10, 230, 30}},
                                               {IDC_OVERWRITE_APPLY_TO_ALL, {40, 45, 80, 10}},
                                               {IDC_OVERWRITE_OVERWRITE, {10, 75, 60, 18}},
                                               {IDC_OVERWRITE_SKIP, {78, 75, 60, 18}},
                                               {IDC_OVERWRITE_RENAME, {146, 75, 60, 18}},
                                               {IDCANCEL, {214, 75, 55, 18}}});
                Testing::SaveScreenshot(dialog.Handle(), L"135-overwrite");
                dialog.Press(IDC_OVERWRITE_SKIP);
                break;
            case 1:
                dialog.Press(IDC_OVERWRITE_APPLY_TO_ALL);
                dialog.Press(IDC_OVERWRITE_OVERWRITE);
                break;
            case 2:
                dialog.Press(IDOK);  // Enter
                EXPECT_TRUE(::IsWindowVisible(dialog.Handle())) << "Enter answers nothing";
                dialog.Press(IDC_OVERWRITE_RENAME);
                break;
            case 3:
                dialog.Press(IDCANCEL);
                break;
            default:
                ::SendMessageW(dialog.Handle(), WM_CLOSE, 0, 0);
                break;
        }
    });
    OverwriteAnswer skip = AskOverwriteDialog(nullptr, L"보고서.txt");
    EXPECT_EQ(skip.decision, OverwriteDecision::Skip);
    EXPECT_TRUE(skip.applyToAll) << "the box starts checked";
    OverwriteAnswer overwrite = AskOverwriteDialog(nullptr, L"a.txt");
    EXPECT_EQ(overwrite.decision, OverwriteDecision::Overwrite);
    EXPECT_FALSE(overwrite.applyToAll);
    EXPECT_EQ(AskOverwriteDialog(nullptr, L"a.txt").decision, OverwriteDecision::Rename);
    for (int i = 0; i < 2; ++i) {  // "취소", then the close box
        OverwriteAnswer cancel = AskOverwriteDialog(nullptr, L"a.txt");
        EXPECT_EQ(cancel.decision, OverwriteDecision::Cancel);
        EXPECT_FALSE(cancel.applyToAll);
    }
    EXPECT_EQ(AskOverwriteDialog(reinterpret_cast<HWND>(0x1234), L"a.txt").decision, OverwriteDecision::Cancel)
        << "a dialog that cannot be shown never lets the job overwrite";
}

TEST(PasswordDialog, LimitsMasksAndShowsTheRetryLineInRed) {
    int round = 0;
    DialogAnswerer answerer([&](ShownDialog& dialog) {
        HWND edit = Item(dialog, IDC_PASSWORD_EDIT);
        if (round++ == 0) {
            EXPECT_EQ(dialog.Caption(), L"비밀번호 입력");
            EXPECT_EQ(dialog.ItemText(IDC_PASSWORD_ARCHIVE), L"비밀.zip");
            EXPECT_EQ(dialog.ItemText(IDC_PASSWORD_MESSAGE), L"이 압축 파일은 암호로 보호되어 있습니다.");
            EXPECT_EQ(dialog.ItemText(IDC_PASSWORD_SHOW), L"비밀번호 표시");
            EXPECT_EQ(dialog.ItemText(IDC_PASSWORD_REMEMBER), L"이 세션 동안 기억");
            EXPECT_TRUE(IsChecked(Item(dialog, IDC_PASSWORD_REMEMBER)));
            EXPECT_FALSE(IsChecked(Item(dialog, IDC_PASSWORD_SHOW)));
            EXPECT_EQ(::GetFocus(), edit);
            ExpectPlaced(dialog.Handle(), {{IDC_PASSWORD_ICON, {10, 10, 21, 20}},
                                           {IDC_PASSWORD_ARCHIVE, {40, 10, 230, 12}},
                                           {IDC_PASSWORD_MESSAGE, {40, 24, 230, 12}},
                                           {IDC_PASSWORD_EDIT, {55, 46, 215, 14}},
                                           {IDC_PASSWORD_SHOW, {55, 64, 70, 10}},
                                           {IDC_PASSWORD_REMEMBER, {140, 64, 90, 10}},
                                           {IDOK, {160, 88, 50, 14}},
                                           {IDCANCEL, {220, 88, 50, 14}}});
            // Typed, not set: the limit holds for what the user types or pastes.
            std::wstring typed(300, L'가');
            ::SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(typed.c_str()));
            EXPECT_NE(::SendMessageW(edit, EM_GETPASSWORDCHAR, 0, 0), 0);
            dialog.Press(IDC_PASSWORD_SHOW);
            EXPECT_EQ(::SendMessageW(edit, EM_GETPASSWORDCHAR, 0, 0), 0) << "the text is shown";
            Testing::SaveScreenshot(dialog.Handle(), L"137-password-first");
            dialog.Press(IDC_PASSWORD_SHOW);
            EXPECT_EQ(::SendMessageW(edit, EM_GETPASSWORDCHAR, 0, 0), L'*');
            dialog.Press(IDOK);
            return;
        }
        EXPECT_EQ(dialog.ItemText(IDC_PASSWORD_MESSAGE), L"비밀번호가 올바르지 않습니다. 다시 입력해주세요.");
        HDC dc = ::GetDC(dialog.Handle());
        ::SendMessageW(dialog.Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                       reinterpret_cast<LPARAM>(Item(dialog, IDC_PASSWORD_MESSAGE)));
        EXPECT_EQ(::GetTextColor(dc), RGB(220, 53, 69));
        ::ReleaseDC(dialog.Handle(), dc);
        ::SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"x"));
        Testing::SaveScreenshot(dialog.Handle(), L"137-password-wrong");
        dialog.Press(round == 2 ? IDC_PASSWORD_REMEMBER : IDC_PASSWORD_SHOW);
        dialog.Press(round == 2 ? IDOK : IDCANCEL);
    });
    PasswordReply first = AskPasswordDialog(nullptr, L"비밀.zip", false);
    EXPECT_TRUE(first.accepted);
    EXPECT_EQ(first.password, std::wstring(255, L'가'));
    EXPECT_TRUE(first.remember);
    PasswordReply second = AskPasswordDialog(nullptr, L"비밀.zip", true);
    EXPECT_TRUE(second.accepted);
    EXPECT_EQ(second.password, L"x");
    EXPECT_FALSE(second.remember);
    EXPECT_FALSE(AskPasswordDialog(nullptr, L"비밀.zip", true).accepted);
}

ItemTestResult Result(const wchar_t* path, bool ok, std::uint32_t expected, std::uint32_t actual) {
    ItemTestResult result;
    result.path = path;
    result.ok = ok;
    result.expectedCrc = expected;
    result.actualCrc = actual;
    return result;
}

// What the report and the failure list dialogs showed, read while they were open.
struct ShownReport {
    std::wstring caption;
    std::wstring summary;
    std::vector<std::wstring> columns;
    std::vector<std::vector<std::wstring>> rows;
    HICON icon = nullptr;
};

// `check` runs first, while the dialog is open.
DialogAnswerer ReadReport(ShownReport& shown, int summaryId, int listId, int iconId, const wchar_t* screenshot,
                          std::function<void(ShownDialog&)> check = {}) {
    return DialogAnswerer([=, &shown](ShownDialog& dialog) {
        if (check) check(dialog);
        shown.caption = dialog.Caption();
        shown.summary = dialog.ItemText(summaryId);
        shown.columns = Testing::ListViewColumns(Item(dialog, listId));
        shown.rows = Testing::ListViewRows(Item(dialog, listId));
        shown.icon = reinterpret_cast<HICON>(::SendDlgItemMessageW(dialog.Handle(), iconId, STM_GETICON, 0, 0));
        Testing::SaveScreenshot(dialog.Handle(), screenshot);
        dialog.Press(IDOK);
    });
}

void ExpectReportListAndPlaces(ShownDialog& dialog) {
    HWND list = Item(dialog, IDC_REPORT_LIST);
    DWORD styles = static_cast<DWORD>(::SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    DWORD wanted = LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_DOUBLEBUFFER;
    EXPECT_EQ(styles & wanted, wanted);
    const int widths[] = {60, 200, 80, 80};
    const wchar_t* shownHeaders[] = {L"Status", L"File Name", L"Expected CRC", L"Actual CRC"};
    const int formats[] = {LVCFMT_CENTER, LVCFMT_LEFT, LVCFMT_RIGHT, LVCFMT_RIGHT};
    for (int column = 0; column < 4; ++column) {
        LVCOLUMNW info{};
        info.mask = LVCF_FMT | LVCF_WIDTH;
        ::SendMessageW(list, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&info));
        // Scaled with the window, and wider where the header needs it, so no header is cut off.
        EXPECT_GE(info.cx, WinGui::Scale(widths[column], WinGui::DpiForWindow(list)));
        int header = static_cast<int>(
            ::SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(shownHeaders[column])));
        EXPECT_GT(info.cx, header);
        EXPECT_EQ(info.fmt & LVCFMT_JUSTIFYMASK, formats[column]);
    }
    ExpectPlaced(dialog.Handle(), {{IDC_REPORT_ICON, {10, 10, 21, 20}},
                                   {IDC_REPORT_SUMMARY, {40, 14, 350, 20}},
                                   {IDC_REPORT_LIST, {10, 40, 380, 175}},
                                   {IDOK, {170, 225, 60, 14}}});
}

TEST(TestReportDialog, ShowsASummaryTitleAndARowPerEntry) {
    TestReport passed{{Result(L"a.txt", true, 0x1234ABCD, 0x1234ABCD), Result(L"docs/b.txt", true, 0, 0),
                       Result(L"c.txt", true, 7, 7)},
                      L"자료.alz",
                      {}};
    ShownReport shown;
    {
        DialogAnswerer answerer = ReadReport(shown, IDC_REPORT_SUMMARY, IDC_REPORT_LIST, IDC_REPORT_ICON,
                                             L"138-report-passed", ExpectReportListAndPlaces);
        ShowTestReportDialog(nullptr, passed);
    }
    EXPECT_EQ(shown.caption, L"Archive Test Result - OK");
    EXPECT_EQ(shown.summary, L"자료.alz\nAll 3 file(s) passed.");
    EXPECT_EQ(shown.columns, (std::vector<std::wstring>{L"Status", L"File Name", L"Expected CRC", L"Actual CRC"}));
    EXPECT_EQ(shown.rows[1], (std::vector<std::wstring>{L"OK", L"docs/b.txt", L"00000000", L"00000000"}));
    EXPECT_EQ(shown.icon, ::LoadIconW(nullptr, IDI_INFORMATION));

    TestReport damaged{
        {Result(L"a.txt", true, 1, 1), Result(L"broken.bin", false, 0xDEADBEEF, 0x0BADF00D)}, L"자료.alz", {}};
    {
        DialogAnswerer answerer =
            ReadReport(shown, IDC_REPORT_SUMMARY, IDC_REPORT_LIST, IDC_REPORT_ICON, L"138-report-errors");
        ShowTestReportDialog(nullptr, damaged);
    }
    EXPECT_EQ(shown.caption, L"Archive Test Result - Error Found");
    EXPECT_EQ(shown.summary, L"자료.alz\n1 passed, 1 error(s)");
    EXPECT_EQ(shown.rows[1], (std::vector<std::wstring>{L"Error", L"broken.bin", L"DEADBEEF", L"0BADF00D"}));
    EXPECT_EQ(shown.icon, ::LoadIconW(nullptr, IDI_WARNING));
}

TEST(FailureListDialog, NamesEachFailedEntryWithItsReasonInKorean) {
    std::vector<EntryFailure> failures{
        {L"../evil.txt", FailureReason::UnsafePath, L"", DecodeResult::Ok},
        {L"docs/big.bin", FailureReason::Decode, L"", DecodeResult::CrcMismatch},
    };
    ShownReport shown;
    {
        DialogAnswerer answerer =
            ReadReport(shown, IDC_FAILURES_SUMMARY, IDC_FAILURES_LIST, IDC_FAILURES_ICON, L"139-failures");
        ShowFailureListDialog(nullptr, failures);
        ShowFailureListDialog(nullptr, {});  // nothing failed: nothing shown
        EXPECT_EQ(answerer.Seen().size(), 1u);
    }
    EXPECT_EQ(shown.caption, L"압축 풀기 실패 목록");
    EXPECT_EQ(shown.summary.substr(0, shown.summary.find(L'\n')), L"2개 항목을 처리하지 못했습니다.");
    ASSERT_EQ(shown.rows.size(), 2u);
    EXPECT_EQ(shown.rows[0], (std::vector<std::wstring>{L"../evil.txt", FailureReasonTextKorean(failures[0])}));
    EXPECT_EQ(shown.rows[1][1], L"CRC가 일치하지 않습니다");
}

}  // namespace
}  // namespace Arkova
