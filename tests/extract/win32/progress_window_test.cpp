// Guards the progress window against what a user of a job would notice: controls missing, misplaced or mislabelled;
// an owner left disabled; percentages or the marquee not shown; a click on "취소" that never reaches the worker;
// completion options that are not remembered; folder buttons that open the wrong path; and a detached window that
// stops working once its job is gone.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <thread>

#include "app/settings.h"
#include "extract/win32/progress_window.h"
#include "resource.h"
#include "support/registry_sandbox.h"
#include "support/win32/control_readers.h"
#include "support/win32/owner_window.h"
#include "support/win32/pump_until.h"
#include "support/win32/recording_shell.h"
#include "support/win32/screenshot.h"

namespace Arkova {
namespace {

using Testing::ControlRect;
using Testing::IsChecked;
using Testing::IsShown;
using Testing::ItemText;
using Testing::ProgressPos;
using Testing::PumpUntil;
using Testing::WindowText;

constexpr wchar_t kSource[] = L"C:\\a\\b.zip";
constexpr wchar_t kDestination[] = L"C:\\a\\b";

struct ExpectedControl {
    int id;
    const wchar_t* text;
    bool shown;
    std::array<LONG, 4> rect;  // x, y, width, height in dialog units
};

// Every control with an id, as the template places it.
constexpr ExpectedControl kControls[] = {
    {IDC_PROGRESS_ITEM_PERCENT, L"0%", true, {276, 10, 40, 10}},
    {IDC_PROGRESS_ITEM_BAR, L"", true, {10, 22, 306, 14}},
    {IDC_PROGRESS_OVERALL_PERCENT, L"0%", true, {276, 42, 40, 10}},
    {IDC_PROGRESS_OVERALL_BAR, L"", true, {10, 54, 306, 14}},
    {IDC_PROGRESS_NAME, L"", true, {10, 74, 306, 10}},
    {IDC_PROGRESS_STATUS, L"", true, {10, 86, 306, 13}},
    {IDCANCEL, L"취소", true, {262, 111, 50, 14}},
    {IDC_PROGRESS_CLOSE, L"닫기", false, {266, 111, 50, 14}},
    {IDC_PROGRESS_CLOSE_ON_FINISH, L"압축 해제 완료시 창닫기", true, {14, 106, 138, 10}},
    {IDC_PROGRESS_OPEN_DEST_ON_FINISH, L"압축해제 완료시 대상 탐색기로 열기", true, {14, 115, 133, 10}},
    {IDC_PROGRESS_SHOW_SOURCE, L"원본파일", true, {153, 111, 36, 14}},
    {IDC_PROGRESS_OPEN_DEST, L"압축해제 폴더", true, {190, 111, 61, 14}},
};

std::uint32_t Setting(const wchar_t* name) {
    std::uint32_t value = 99;
    ReadDword(name, value);
    return value;
}

void Click(HWND dialog, int id) { ::SendMessageW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

class ProgressWindowTest : public ::testing::Test {
protected:
    Testing::RegistrySandbox registry_;
    Testing::OwnerWindow owner_;
    Testing::RecordingShell shell_;
};

TEST_F(ProgressWindowTest, RunsAJobOverItsDisabledOwnerAndFinishesAsTheCheckBoxesSay) {
    WriteDword(kSettingOpenDestFolderOnFinished, 1);
    ProgressWindow progress(owner_.Handle(), shell_);
    ASSERT_TRUE(progress.Open(L"압축 풀기", kDestination, kSource));
    HWND dialog = progress.Handle();
    EXPECT_EQ(WindowText(dialog), L"압축 풀기");
    EXPECT_FALSE(::IsWindowEnabled(owner_.Handle())) << "the job behaves as a modal operation";

    RECT ownerRect{}, rect{};
    ::GetWindowRect(owner_.Handle(), &ownerRect);
    ::GetWindowRect(dialog, &rect);
    // Centred over the owner, unless that would push it off the screen (at 192 DPI it is wider than the owner).
    if (rect.left > 0) {
        EXPECT_LE(std::abs((ownerRect.left + ownerRect.right) - (rect.left + rect.right)), 1);
    }
    EXPECT_GE(rect.left, 0);
    EXPECT_LE(std::abs((ownerRect.top + ownerRect.bottom) - (rect.top + rect.bottom)), 1);

    for (const ExpectedControl& control : kControls) {
        SCOPED_TRACE(control.id);
        EXPECT_EQ(ItemText(dialog, control.id), control.text);
        EXPECT_EQ(IsShown(::GetDlgItem(dialog, control.id)), control.shown);
        RECT units = ControlRect(dialog, control.id).dialogUnits;
        EXPECT_EQ((std::array<LONG, 4>{units.left, units.top, units.right - units.left, units.bottom - units.top}),
                  control.rect);
    }
    EXPECT_FALSE(IsChecked(::GetDlgItem(dialog, IDC_PROGRESS_CLOSE_ON_FINISH)));
    EXPECT_TRUE(IsChecked(::GetDlgItem(dialog, IDC_PROGRESS_OPEN_DEST_ON_FINISH))) << "read from the settings";

    HWND itemBar = ::GetDlgItem(dialog, IDC_PROGRESS_ITEM_BAR);
    progress.StartItemMarquee();
    EXPECT_TRUE(::GetWindowLongPtrW(itemBar, GWL_STYLE) & PBS_MARQUEE);
    progress.StopItemMarquee();
    EXPECT_FALSE(::GetWindowLongPtrW(itemBar, GWL_STYLE) & PBS_MARQUEE);
    progress.SetItemProgress(42);
    progress.SetOverallProgress(7);
    progress.SetCurrentName(L"자료\\보고서.txt");
    progress.SetStatusText(L"압축 푸는 중");
    EXPECT_EQ(ProgressPos(itemBar), 42);
    EXPECT_EQ(ItemText(dialog, IDC_PROGRESS_ITEM_PERCENT), L"42%");
    EXPECT_EQ(ProgressPos(::GetDlgItem(dialog, IDC_PROGRESS_OVERALL_BAR)), 7);
    EXPECT_EQ(ItemText(dialog, IDC_PROGRESS_OVERALL_PERCENT), L"7%");
    EXPECT_EQ(ItemText(dialog, IDC_PROGRESS_NAME), L"자료\\보고서.txt");
    Testing::SaveScreenshot(dialog, L"133-progress-running");

    Click(dialog, IDC_PROGRESS_SHOW_SOURCE);
    Click(dialog, IDC_PROGRESS_OPEN_DEST);
    EXPECT_EQ(shell_.selected, std::vector<std::wstring>{kSource});
    EXPECT_EQ(shell_.opened, std::vector<std::wstring>{kDestination});

    Click(dialog, IDC_PROGRESS_CLOSE_ON_FINISH);
    EXPECT_EQ(Setting(kSettingCloseDialogOnFinished), 1u) << "a click during the job is saved at once";
    EXPECT_EQ(Setting(kSettingOpenDestFolderOnFinished), 1u);
    Click(dialog, IDC_PROGRESS_CLOSE_ON_FINISH);
    EXPECT_EQ(Setting(kSettingCloseDialogOnFinished), 0u);

    ::SendMessageW(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(progress.IsCancelled());
    EXPECT_TRUE(progress.IsOpen()) << "the close box only asks the job to stop";

    progress.Finish();
    EXPECT_EQ(WindowText(dialog), L"압축 풀기 완료");
    EXPECT_FALSE(IsShown(::GetDlgItem(dialog, IDCANCEL)));
    EXPECT_TRUE(IsShown(::GetDlgItem(dialog, IDC_PROGRESS_CLOSE)));
    EXPECT_EQ(shell_.opened.size(), 2u) << "the destination opens at the end";
    Testing::SaveScreenshot(dialog, L"133-progress-finished");

    Click(dialog, IDC_PROGRESS_CLOSE);
    EXPECT_FALSE(progress.IsOpen());
    EXPECT_FALSE(::IsWindow(dialog));
    EXPECT_TRUE(::IsWindowEnabled(owner_.Handle()));
}

TEST_F(ProgressWindowTest, CancelAndCloseOnFinishGiveTheOwnerBack) {
    {
        ProgressWindow progress(owner_.Handle(), shell_);
        ASSERT_TRUE(progress.Open(L"압축 풀기", L"", L""));
        Click(progress.Handle(), IDCANCEL);
        EXPECT_TRUE(progress.IsCancelled());
        EXPECT_FALSE(progress.IsOpen()) << "취소 closes the window at once";
        EXPECT_TRUE(::IsWindowEnabled(owner_.Handle()));
        progress.SetOverallProgress(50);  // updates after the close do nothing
    }
    WriteDword(kSettingCloseDialogOnFinished, 1);
    ProgressWindow progress(owner_.Handle(), shell_);
    ASSERT_TRUE(progress.Open(L"압축 풀기", kDestination, kSource));
    EXPECT_TRUE(IsChecked(::GetDlgItem(progress.Handle(), IDC_PROGRESS_CLOSE_ON_FINISH)));
    progress.Finish();
    EXPECT_FALSE(progress.IsOpen());
    EXPECT_TRUE(::IsWindowEnabled(owner_.Handle()));
    EXPECT_TRUE(shell_.opened.empty()) << "the destination opens only when asked for";
}

TEST_F(ProgressWindowTest, ADetachedWindowOutlivesItsJobAndStillOpensBothFolders) {
    HWND dialog = nullptr;
    {
        ProgressWindow progress(owner_.Handle(), shell_);
        ASSERT_TRUE(progress.Open(L"압축 풀기", kDestination, kSource));
        progress.Finish();
        dialog = progress.Handle();
        progress.Detach();
        EXPECT_FALSE(progress.IsOpen());
        EXPECT_TRUE(::IsWindowEnabled(owner_.Handle()));
    }
    ASSERT_TRUE(::IsWindow(dialog)) << "the job's end leaves the detached window on screen";
    EXPECT_STREQ(static_cast<const wchar_t*>(::GetPropW(dialog, L"SourcePath")), kSource);
    EXPECT_STREQ(static_cast<const wchar_t*>(::GetPropW(dialog, L"DestPath")), kDestination);

    Click(dialog, IDC_PROGRESS_SHOW_SOURCE);
    Click(dialog, IDC_PROGRESS_OPEN_DEST);
    EXPECT_EQ(shell_.selected, std::vector<std::wstring>{kSource});
    EXPECT_EQ(shell_.opened, std::vector<std::wstring>{kDestination});
    Click(dialog, IDC_PROGRESS_CLOSE_ON_FINISH);
    EXPECT_EQ(Setting(kSettingCloseDialogOnFinished), 0u) << "a detached window's check boxes do nothing";

    Click(dialog, IDC_PROGRESS_CLOSE);
    EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(dialog); }));
}

// The wait shows the worker's reports in the window while it runs: the per-file bar leaves its marquee on the
// first report above 0 %, and a click on "취소" (delivered as input while the UI thread waits) reaches the worker.
TEST_F(ProgressWindowTest, TheWaitShowsReportsAndPassesACancelOnToTheWorker) {
    ProgressWindow progress(owner_.Handle(), shell_);
    ASSERT_TRUE(progress.Open(L"압축 풀기", L"", L""));
    HWND dialog = progress.Handle();
    HWND itemBar = ::GetDlgItem(dialog, IDC_PROGRESS_ITEM_BAR);
    progress.StartItemMarquee();

    JobSignal signal;
    std::atomic<bool> stayedMarqueeAtZero{false}, showedReport{false};
    // The worker reads the window with cross-thread messages, which the waiting UI thread answers.
    auto readPos = [](HWND window, UINT message) {
        DWORD_PTR result = 0;
        ::SendMessageTimeoutW(window, message, 0, 0, SMTO_NORMAL, 5000, &result);
        return result;
    };
    auto marquee = [&] { return (::GetWindowLongPtrW(itemBar, GWL_STYLE) & PBS_MARQUEE) != 0; };
    std::jthread worker([&](std::stop_token) {
        signal.overallPercent = 30;
        signal.SetCurrentName(L"a.txt");
        signal.ReportProgress();
        for (int i = 0; i < 500 && readPos(::GetDlgItem(dialog, IDC_PROGRESS_OVERALL_BAR), PBM_GETPOS) != 30; ++i) {
            std::this_thread::yield();
        }
        stayedMarqueeAtZero = marquee();
        signal.itemPercent = 55;
        signal.ReportProgress();
        for (int i = 0; i < 500 && readPos(itemBar, PBM_GETPOS) != 55; ++i) std::this_thread::yield();
        showedReport = !marquee();
        ::PostMessageW(::GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
        for (int i = 0; i < 1000 && !signal.cancelRequested; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        signal.MarkDone();
    });
    progress.WaitForWorker(signal);
    worker.join();
    EXPECT_TRUE(stayedMarqueeAtZero);
    EXPECT_TRUE(showedReport);
    EXPECT_TRUE(signal.cancelRequested);
    EXPECT_TRUE(progress.IsCancelled());
    EXPECT_FALSE(progress.IsOpen());
}

}  // namespace
}  // namespace Arkova
