// The jobs through the real Windows front end, answered the way a user would: conflicts said once for all or one
// by one, a cancel in the progress window, three wrong passwords, the test report of a damaged archive, and a
// parallel extraction copied in by the shell over existing files. Guards the seams between the jobs and the
// windows: prompts owned by the right window, the owner never left disabled, the staging folder never left
// behind, and a stopped copy never reported as success.
#include <gtest/gtest.h>

#include <functional>

#include "app/settings.h"
#include "dialogs/archive_test.h"
#include "dialogs/password_prompt.h"
#include "extract/extraction_job.h"
#include "extract/parallel_test.h"
#include "extract/win32/win32_front_end.h"
#include "fixtures.h"
#include "platform/file_system.h"
#include "resource.h"
#include "support/alz_writer.h"
#include "support/registry_sandbox.h"
#include "support/scratch_folder.h"
#include "support/win32/control_readers.h"
#include "support/win32/dialog_answerer.h"
#include "support/win32/owner_window.h"
#include "support/win32/recording_shell.h"
#include "support/zip_writer.h"

namespace Arkova {
namespace {

using Testing::AlzWriter;
using Testing::DialogAnswerer;
using Testing::ReadText;
using Testing::ShownDialog;
using Testing::WriteText;

bool IsProgressWindow(ShownDialog& dialog) { return ::GetDlgItem(dialog.Handle(), IDC_PROGRESS_ITEM_BAR) != nullptr; }

// The staging folders that whole-archive parallel jobs make in the temporary folder.
std::vector<std::wstring> StagingFolders() {
    std::vector<Platform::DirectoryEntry> entries;
    Platform::ListDirectory(Platform::TempDirectory(), entries);
    std::vector<std::wstring> names;
    for (const auto& entry : entries) {
        if (entry.name.rfind(L"Arkova_Extract_", 0) == 0) names.push_back(entry.name);
    }
    return names;
}

class WindowJobsTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Finished windows close themselves, so a job returns without someone pressing "닫기".
        WriteDword(kSettingCloseDialogOnFinished, 1);
    }
    void Open(const std::wstring& path) {
        session_.archivePath = path;
        ASSERT_EQ(session_.context.OpenArchive(path), DecodeResult::Ok);
    }
    void OpenAlz(const AlzWriter& writer) {
        ASSERT_TRUE(writer.WriteTo(folder_ / L"a.alz"));
        Open(folder_ / L"a.alz");
    }
    // Answers every prompt with `answer`; progress windows are counted and, when `cancelProgress`, cancelled.
    DialogAnswerer Answer(std::function<void(ShownDialog&)> answer, bool cancelProgress = false) {
        return DialogAnswerer([this, answer, cancelProgress](ShownDialog& dialog) {
            if (IsProgressWindow(dialog)) {
                ++progressWindows_;
                if (cancelProgress) ::PostMessageW(::GetDlgItem(dialog.Handle(), IDCANCEL), BM_CLICK, 0, 0);
                return;
            }
            prompts_.push_back(dialog.Caption());
            answer(dialog);
        });
    }
    bool Extract() { return job_.ExtractArchive({destination_, true, false}); }
    bool ExtractEntryByEntry() { return sequentialJob_.ExtractArchive({destination_, true, false}); }
    std::wstring Out(const std::wstring& relative) const { return folder_ / (L"out/" + relative); }

    Testing::RegistrySandbox registry_;
    Testing::ScratchFolder folder_;
    Testing::OwnerWindow owner_;
    Testing::RecordingShell shell_;
    std::wstring destination_ = folder_ / L"out";
    ArchiveSession session_;
    Win32FrontEnd frontEnd_{owner_.Handle(), shell_};
    // The ALZ cases are about the entry-by-entry job and its prompts; plain ALZ archives take it with the engine off.
    static JobSettings EntryByEntry() {
        JobSettings settings;
        settings.useParallelAllExtract = false;
        return settings;
    }
    ExtractionJob job_{session_, frontEnd_, JobSettings{}};
    ExtractionJob sequentialJob_{session_, frontEnd_, EntryByEntry()};
    int progressWindows_ = 0;
    std::vector<std::wstring> prompts_;  // captions of everything but progress windows
};

TEST_F(WindowJobsTest, ConflictsAreAnsweredOnceForAllOrOneByOneAndCancelStopsTheJob) {
    OpenAlz(AlzWriter().Folder("data").File("data\\c.txt", "new c").File("top.txt", "new top").File("z.txt", "z"));
    ASSERT_TRUE(Platform::MakeDirectories(Out(L"data")));
    WriteText(Out(L"data/c.txt"), "old c");
    WriteText(Out(L"top.txt"), "old top");
    {
        auto answerer = Answer([](ShownDialog& dialog) { dialog.Press(IDC_OVERWRITE_SKIP); });
        EXPECT_TRUE(ExtractEntryByEntry());
    }
    EXPECT_EQ(prompts_, std::vector<std::wstring>{L"파일 충돌"}) << "skip for all asks once";
    EXPECT_EQ(progressWindows_, 1);
    EXPECT_EQ(ReadText(Out(L"data/c.txt")), "old c");
    EXPECT_EQ(ReadText(Out(L"top.txt")), "old top");
    EXPECT_EQ(ReadText(Out(L"z.txt")), "z");
    EXPECT_TRUE(::IsWindowEnabled(owner_.Handle()));

    prompts_.clear();
    {
        auto answerer = Answer([](ShownDialog& dialog) {
            dialog.Press(IDC_OVERWRITE_APPLY_TO_ALL);
            dialog.Press(IDC_OVERWRITE_RENAME);
        });
        EXPECT_TRUE(ExtractEntryByEntry());
    }
    EXPECT_EQ(prompts_.size(), 3u) << "one by one: c.txt, top.txt and z.txt";
    EXPECT_EQ(ReadText(Out(L"top (2).txt")), "new top");
    EXPECT_EQ(ReadText(Out(L"top.txt")), "old top");

    prompts_.clear();
    {
        auto answerer = Answer([](ShownDialog& dialog) { dialog.Press(IDCANCEL); });
        EXPECT_FALSE(ExtractEntryByEntry());
    }
    EXPECT_EQ(prompts_.size(), 1u);
    EXPECT_TRUE(sequentialJob_.Outcome().cancelled);
    EXPECT_EQ(ReadText(Out(L"data/c.txt")), "old c");
    EXPECT_TRUE(::IsWindowEnabled(owner_.Handle())) << "a job stopped at a prompt gives the owner back";
}

TEST_F(WindowJobsTest, CancelInTheProgressWindowStopsTheJob) {
    AlzWriter writer;
    for (int i = 0; i < 40; ++i)
        writer.File("f" + std::to_string(i) + ".txt", std::string(20000, static_cast<char>('a' + i % 26)));
    OpenAlz(writer);
    {
        auto answerer = Answer([](ShownDialog&) {}, true);
        ExtractEntryByEntry();
    }
    EXPECT_EQ(progressWindows_, 1);
    EXPECT_TRUE(sequentialJob_.Outcome().cancelled);
    EXPECT_LT(sequentialJob_.Outcome().filesWritten, 40u);
    EXPECT_TRUE(prompts_.empty()) << "a cancelled job shows no message";
    EXPECT_TRUE(::IsWindowEnabled(owner_.Handle()));
}

TEST_F(WindowJobsTest, ThreeWrongPasswordsGiveThreeDialogsAndOneError) {
    ARKOVA_REQUIRE_FIXTURE(archive, L"encrypted.zip");
    Open(archive);
    std::vector<std::wstring> messages;
    {
        auto answerer = Answer([&](ShownDialog& dialog) {
            if (dialog.Caption() == L"비밀번호 입력") {
                messages.push_back(dialog.ItemText(IDC_PASSWORD_MESSAGE));
                ::SetDlgItemTextW(dialog.Handle(), IDC_PASSWORD_EDIT, L"wrong");
                dialog.Press(IDOK);
            } else {
                messages.push_back(dialog.Text());
                dialog.Press(IDOK);
            }
        });
        EXPECT_FALSE(RequestPassword(session_, frontEnd_));
    }
    EXPECT_EQ(prompts_, (std::vector<std::wstring>{L"비밀번호 입력", L"비밀번호 입력", L"비밀번호 입력", L"오류"}));
    EXPECT_EQ(messages[0], L"이 압축 파일은 암호로 보호되어 있습니다.");
    EXPECT_EQ(messages[1], L"비밀번호가 올바르지 않습니다. 다시 입력해주세요.");
    EXPECT_EQ(messages[3], L"비밀번호가 올바르지 않습니다.");
}

TEST_F(WindowJobsTest, TheTestOfADamagedArchiveEndsInItsReport) {
    Testing::AlzEntry broken;
    broken.name = "broken.txt";
    broken.content = Testing::ToBytes("damaged");
    broken.crc = 0x12345678;
    OpenAlz(AlzWriter().File("good.txt", "good").Add(broken));
    // Through the parallel engine, as the main window installs it.
    InstallParallelTest();
    std::vector<std::vector<std::wstring>> rows;
    {
        auto answerer = Answer([&](ShownDialog& dialog) {
            rows = Testing::ListViewRows(::GetDlgItem(dialog.Handle(), IDC_REPORT_LIST));
            dialog.Press(IDOK);
        });
        EXPECT_TRUE(TestArchive(session_, frontEnd_));
    }
    EXPECT_EQ(progressWindows_, 1) << "the test runs in the progress window";
    EXPECT_EQ(prompts_, std::vector<std::wstring>{L"Archive Test Result - Error Found"});
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1][0], L"Error");
    EXPECT_EQ(rows[1][2], L"12345678");
    EXPECT_NE(rows[1][3], L"12345678") << "the CRC the data really has";
    EXPECT_TRUE(::IsWindowEnabled(owner_.Handle()));
    ArchiveContext::SetParallelTester({});
}

// The shell copies the staged files in and asks about each existing file itself; stopping it is a failed job.
TEST_F(WindowJobsTest, AParallelJobIsCopiedInByTheShellOverExistingFiles) {
    Testing::ZipWriter zip;
    zip.Folder("docs/").File("docs/a.txt", "new a").File("top.txt", "new top");
    ASSERT_TRUE(zip.Finish().WriteTo(folder_ / L"a.zip"));
    Open(folder_ / L"a.zip");
    ASSERT_TRUE(Platform::MakeDirectories(Out(L"docs")));
    WriteText(Out(L"docs/a.txt"), "old a");
    WriteText(Out(L"docs/keep.txt"), "mine");
    const auto stagingBefore = StagingFolders();
    {
        auto answerer = Answer([](ShownDialog& dialog) { dialog.Press(IDYES); });
        EXPECT_TRUE(Extract());
    }
    EXPECT_TRUE(job_.Outcome().usedParallelEngine);
    EXPECT_EQ(progressWindows_, 1);
    EXPECT_EQ(prompts_.size(), 1u) << "the shell asked about docs/a.txt";
    EXPECT_EQ(ReadText(Out(L"docs/a.txt")), "new a");
    EXPECT_EQ(ReadText(Out(L"docs/keep.txt")), "mine");
    EXPECT_EQ(ReadText(Out(L"top.txt")), "new top");
    EXPECT_EQ(StagingFolders(), stagingBefore);

    WriteText(Out(L"top.txt"), "old top");
    prompts_.clear();
    {
        auto answerer = Answer([](ShownDialog& dialog) { dialog.Press(IDCANCEL); });
        EXPECT_FALSE(Extract()) << "a copy the user stopped is not a success";
    }
    EXPECT_FALSE(prompts_.empty());
    EXPECT_EQ(StagingFolders(), stagingBefore) << "the staging folder goes whatever the copy did";
    EXPECT_TRUE(::IsWindowEnabled(owner_.Handle()));
}

}  // namespace
}  // namespace Arkova
