// The entry-by-entry extraction jobs through a scripted front end: conflicts and their "apply to all" memory,
// newer-only, flat extraction, items relative to the browsed folder, cancel, and failures that must reach the user
// without costing the user's own files.
#include <gtest/gtest.h>

#include "dialogs/archive_test.h"
#include "dialogs/test_report.h"
#include "extract/extraction_job.h"
#include "fixtures.h"
#include "platform/file_system.h"
#include "platform/file_time.h"
#include "support/alz_writer.h"
#include "support/scratch_folder.h"
#include "support/scripted_front_end.h"

namespace Arkova {
namespace {

using Testing::AlzEntry;
using Testing::AlzWriter;
using Testing::ReadText;
using Testing::ScratchFolder;
using Testing::ScriptedFrontEnd;
using Testing::WriteText;

class SequentialJobTest : public ::testing::Test {
protected:
    void Open(const AlzWriter& writer) {
        ASSERT_TRUE(writer.WriteTo(archive_));
        session_.archivePath = archive_;
        ASSERT_EQ(session_.context.OpenArchive(archive_), DecodeResult::Ok);
    }
    void OpenDefault() {
        Open(AlzWriter()
                 .Folder("data")
                 .Folder("data\\docs")
                 .File("data\\docs\\a.txt", "alpha")
                 .File("data\\docs\\b.txt", "bravo")
                 .File("data\\c.txt", "charlie")
                 .File("top.txt", "top"));
    }
    std::wstring Out(const std::wstring& relative) const { return folder_ / (L"out/" + relative); }

    ScratchFolder folder_;
    std::wstring archive_ = folder_ / L"sample.alz";
    std::wstring destination_ = folder_ / L"out";
    ArchiveSession session_;
    ScriptedFrontEnd frontEnd_;
    // These cases are about the entry-by-entry path, which plain ALZ archives take only with the engine off.
    static JobSettings Sequential() {
        JobSettings settings;
        settings.useParallelAllExtract = false;
        return settings;
    }
    ExtractionJob job_{session_, frontEnd_, Sequential()};
};

TEST_F(SequentialJobTest, ExtractsEveryFileWithItsFoldersAndShowsTheFinishedWindow) {
    OpenDefault();
    EXPECT_TRUE(job_.ExtractArchive({destination_, true, false}));
    EXPECT_EQ(ReadText(Out(L"data/docs/a.txt")), "alpha");
    EXPECT_EQ(ReadText(Out(L"top.txt")), "top");
    EXPECT_EQ(job_.Outcome().filesWritten, 4u);
    EXPECT_EQ(frontEnd_.progress.titles, std::vector<std::wstring>{L"압축 풀기"});
    EXPECT_EQ(frontEnd_.progress.overallPercents.back(), 100);
    EXPECT_EQ(frontEnd_.progress.statuses.back(), L"압축 해제 완료");
    EXPECT_EQ(frontEnd_.progress.finished, 1);
    EXPECT_EQ(frontEnd_.progress.waitedUntilClosed, 1) << "the job waits for the user to close the window";

    frontEnd_.closeOnFinish = true;
    EXPECT_TRUE(job_.ExtractArchive({folder_ / L"again", true, false}));
    EXPECT_EQ(frontEnd_.progress.waitedUntilClosed, 1) << "a window that closed itself is not waited for";
}

TEST_F(SequentialJobTest, FolderEntriesAreCreatedWithTheirTimesAndConfined) {
    // Empty folders once went missing on this path while the parallel engine made them.
    AlzEntry folder;
    folder.name = "a\\empty";
    folder.attribute = 0x10;
    folder.sizeWidth = 0;
    folder.method = 0;
    folder.dosDateTime = Testing::DosDateTime(2001, 2, 3, 4, 5, 6);
    AlzEntry escape = folder;
    escape.name = "..\\outside";
    Open(AlzWriter().Folder("a").Add(folder).Add(escape));
    EXPECT_FALSE(job_.ExtractArchive({destination_, true, false})) << "the refused folder is a failure";
    EXPECT_EQ(frontEnd_.progress.opened, 1);
    EXPECT_TRUE(Platform::IsDirectory(Out(L"a/empty")));
    EXPECT_FALSE(Platform::PathExists(folder_ / L"outside"));
    std::uint64_t stamp = 0;
    ASSERT_TRUE(Platform::LastWriteTime(Out(L"a/empty"), stamp));
    EXPECT_EQ(stamp, session_.context.ModifiedTimeUtc(session_.context.Items()[1]));
    ASSERT_EQ(job_.Outcome().failures.size(), 1u);
    EXPECT_EQ(job_.Outcome().failures[0].reason, FailureReason::UnsafePath);

    // A chosen folder brings its empty sub-folders along.
    ScriptedFrontEnd again;
    ExtractionJob itemJob{session_, again, JobSettings{}};
    EXPECT_TRUE(itemJob.ExtractItems({{L"a", L"a", true, 0}}, folder_ / L"items", L""));
    EXPECT_TRUE(Platform::IsDirectory(folder_ / L"items/a/empty"));
}

TEST_F(SequentialJobTest, ConflictAnswersApplyToTheRestOfTheJobOnlyWhenSaidForAll) {
    OpenDefault();
    ASSERT_TRUE(Platform::MakeDirectories(Out(L"data/docs")));
    for (const wchar_t* name : {L"data/docs/a.txt", L"data/docs/b.txt", L"data/c.txt"}) WriteText(Out(name), "mine");

    frontEnd_.overwriteAnswers = {{OverwriteDecision::Skip, true}};
    EXPECT_TRUE(job_.ExtractArchive({destination_, true, false}));
    EXPECT_EQ(frontEnd_.overwriteQuestions, std::vector<std::wstring>{L"a.txt"}) << "asked once, by display name";
    EXPECT_EQ(ReadText(Out(L"data/c.txt")), "mine");
    EXPECT_EQ(job_.Outcome().skipped.size(), 3u);

    // A new job asks again; without "for all" every conflict is asked.
    frontEnd_.overwriteQuestions.clear();
    frontEnd_.overwriteAnswers = {{OverwriteDecision::Overwrite, false},
                                  {OverwriteDecision::Rename, false},
                                  {OverwriteDecision::Skip, false},
                                  {OverwriteDecision::Skip, false}};
    EXPECT_TRUE(job_.ExtractArchive({destination_, true, false}));
    EXPECT_EQ(frontEnd_.overwriteQuestions.size(), 4u);
    EXPECT_EQ(ReadText(Out(L"data/docs/a.txt")), "alpha");
    EXPECT_EQ(ReadText(Out(L"data/docs/b.txt")), "mine");
    EXPECT_EQ(ReadText(Out(L"data/docs/b (2).txt")), "bravo");
    EXPECT_EQ(ReadText(Out(L"data/c.txt")), "mine");
}

TEST_F(SequentialJobTest, CancelAtAConflictStopsTheJobAndKeepsWhatWasWritten) {
    OpenDefault();
    ASSERT_TRUE(Platform::MakeDirectories(Out(L"data/docs")));
    WriteText(Out(L"data/docs/b.txt"), "mine");
    frontEnd_.overwriteAnswers = {{OverwriteDecision::Cancel, false}};
    EXPECT_FALSE(job_.ExtractArchive({destination_, true, false}));
    EXPECT_EQ(ReadText(Out(L"data/docs/a.txt")), "alpha");
    EXPECT_FALSE(Platform::PathExists(Out(L"top.txt")));
    EXPECT_EQ(frontEnd_.progress.closed, 1);
    EXPECT_EQ(frontEnd_.progress.finished, 0);
}

TEST_F(SequentialJobTest, NewerOnlySkipsEqualTimesSilentlyAndReplacesOlderFiles) {
    OpenDefault();
    const ArchiveItem& top = session_.context.Items().back();
    const std::uint64_t entryTime = session_.context.ModifiedTimeUtc(top);
    ASSERT_TRUE(Platform::MakeDirectories(destination_));
    WriteText(Out(L"top.txt"), "mine");
    ASSERT_TRUE(Platform::SetLastWriteTime(Out(L"top.txt"), entryTime));
    EXPECT_TRUE(job_.ExtractArchive({destination_, true, true}));
    EXPECT_EQ(ReadText(Out(L"top.txt")), "mine");
    EXPECT_TRUE(frontEnd_.overwriteQuestions.empty());

    ASSERT_TRUE(Platform::SetLastWriteTime(Out(L"top.txt"), entryTime - Platform::kTicksPerSecond));
    EXPECT_TRUE(job_.ExtractArchive({destination_, true, true}));
    EXPECT_EQ(ReadText(Out(L"top.txt")), "top");
    EXPECT_TRUE(frontEnd_.overwriteQuestions.empty());
}

TEST_F(SequentialJobTest, WithoutPathsSameNamedFilesMeetAsAConflict) {
    Open(AlzWriter().File("a\\x.txt", "first").File("b\\x.txt", "second"));
    frontEnd_.overwriteAnswers = {{OverwriteDecision::Rename, false}};
    EXPECT_TRUE(job_.ExtractArchive({destination_, false, false}));
    EXPECT_EQ(frontEnd_.overwriteQuestions, std::vector<std::wstring>{L"x.txt"});
    EXPECT_EQ(ReadText(Out(L"x.txt")), "first");
    EXPECT_EQ(ReadText(Out(L"x (2).txt")), "second");
    EXPECT_FALSE(Platform::PathExists(Out(L"a")));
}

TEST_F(SequentialJobTest, AFailedEntryIsReportedAndTheFileItWouldReplaceSurvives) {
    AlzEntry damaged;
    damaged.name = "report.txt";
    damaged.content = Testing::ToBytes("new content");
    damaged.crc = 0xDEADBEEF;
    Open(AlzWriter().Add(damaged).File("..\\escape.txt", "x").File("fine.txt", "fine"));
    ASSERT_TRUE(Platform::MakeDirectories(destination_));
    WriteText(Out(L"report.txt"), "the user's report");
    frontEnd_.overwriteAnswers = {{OverwriteDecision::Overwrite, true}};

    EXPECT_FALSE(job_.ExtractArchive({destination_, true, false})) << "a job with failed entries is not a success";
    EXPECT_EQ(ReadText(Out(L"report.txt")), "the user's report");
    EXPECT_EQ(ReadText(Out(L"fine.txt")), "fine");
    EXPECT_FALSE(Platform::PathExists(folder_ / L"escape.txt"));
    ASSERT_EQ(frontEnd_.shownFailures.size(), 1u);
    ASSERT_EQ(frontEnd_.shownFailures[0].size(), 2u);
    EXPECT_EQ(frontEnd_.shownFailures[0][0].path, L"report.txt");
    EXPECT_EQ(frontEnd_.shownFailures[0][0].reason, FailureReason::Decode);
    EXPECT_EQ(frontEnd_.shownFailures[0][0].decodeResult, DecodeResult::CrcMismatch);
    EXPECT_EQ(frontEnd_.shownFailures[0][1].path, L"..\\escape.txt");
    EXPECT_EQ(frontEnd_.shownFailures[0][1].reason, FailureReason::UnsafePath);
    EXPECT_EQ(frontEnd_.progress.statuses.back(), L"압축 해제 완료 (실패 2개)");
}

TEST_F(SequentialJobTest, CancelThroughTheWindowStopsBeforeTheNextEntry) {
    OpenDefault();
    frontEnd_.cancelWhen = [](const Testing::ProgressRecord& record) {
        return !record.names.empty() && record.names.back() == L"b.txt";
    };
    EXPECT_TRUE(job_.ExtractArchive({destination_, true, false})) << "a cancelled whole-archive job still returns true";
    EXPECT_TRUE(job_.Outcome().cancelled);
    EXPECT_EQ(ReadText(Out(L"data/docs/a.txt")), "alpha");
    EXPECT_FALSE(Platform::PathExists(Out(L"top.txt")));
    EXPECT_EQ(frontEnd_.progress.finished, 0);
}

TEST_F(SequentialJobTest, ItemsArePlacedRelativeToTheBrowsedFolder) {
    OpenDefault();
    session_.currentFolder = L"data";
    std::vector<DragItem> items = {{L"docs", L"data/docs", true, 0}, {L"c.txt", L"data/c.txt", false, 4}};
    std::vector<ItemJob> jobs = BuildItemJobs(items, session_.context.Items(), L"data", destination_);
    ASSERT_EQ(jobs.size(), 3u) << "the folder entry itself is not a job";
    EXPECT_EQ(jobs[0].displayName, L"a.txt");

    EXPECT_TRUE(job_.ExtractItems(items, destination_, L""));
    EXPECT_EQ(ReadText(Out(L"docs/a.txt")), "alpha");
    EXPECT_EQ(ReadText(Out(L"docs/b.txt")), "bravo");
    EXPECT_EQ(ReadText(Out(L"c.txt")), "charlie");
    EXPECT_FALSE(Platform::PathExists(Out(L"data")));
    EXPECT_EQ(frontEnd_.progress.marqueesStarted, 3);
    EXPECT_EQ(frontEnd_.progress.waitedUntilClosed, 1);
}

TEST_F(SequentialJobTest, ADragOutLeavesTheFinishedWindowOpenOnItsOwn) {
    OpenDefault();
    EXPECT_TRUE(job_.ExtractItems({{L"top.txt", L"top.txt", false, 5}}, destination_, folder_ / L"desktop"));
    EXPECT_EQ(frontEnd_.progress.detached, 1);
    EXPECT_EQ(frontEnd_.progress.waitedUntilClosed, 0);
}

TEST_F(SequentialJobTest, CancelDuringAnItemReachesTheWorker) {
    // Large enough for the piecewise path, which asks the callback between pieces.
    std::string big(6u << 20, 'z');
    Open(AlzWriter().File("big.bin", big).File("after.txt", "after"));
    frontEnd_.cancelWhen = [](const Testing::ProgressRecord& record) { return record.marqueesStarted > 0; };
    std::vector<DragItem> items = {{L"big.bin", L"big.bin", false, 0}, {L"after.txt", L"after.txt", false, 1}};
    EXPECT_FALSE(job_.ExtractItems(items, destination_, L""));
    EXPECT_TRUE(job_.Outcome().cancelled);
    EXPECT_FALSE(Platform::PathExists(Out(L"big.bin")));
    EXPECT_FALSE(Platform::PathExists(Out(L"after.txt")));
}

TEST_F(SequentialJobTest, SelectionRowsBecomeItemsAndAnEmptySelectionIsRefused) {
    OpenDefault();
    EXPECT_FALSE(job_.ExtractSelection({}, destination_));
    ASSERT_EQ(frontEnd_.messages.size(), 1u);
    EXPECT_EQ(frontEnd_.messages[0].text, L"선택된 파일이 없습니다.");
    EXPECT_EQ(frontEnd_.messages[0].caption, L"알림");

    std::vector<DragItem> items =
        BuildSelectionItems({{L"docs", L"폴더"}, {L"c.txt", L"텍스트 문서"}, {L"gone.txt", L"텍스트 문서"}},
                            session_.context.Items(), L"data");
    ASSERT_EQ(items.size(), 2u) << "a row that names no entry is dropped, not mapped to the first entry";
    EXPECT_TRUE(items[0].isFolder);
    EXPECT_EQ(items[1].fullPath, L"data/c.txt");
    EXPECT_EQ(items[1].itemIndex, 4u);
}

// Trailing bytes after a good gzip stream: the data is delivered, and the warning reaches the user once at the end
// of the extraction and of the test, neither of which fails.
TEST_F(SequentialJobTest, DecoderWarningsReachTheFrontEndOnceAndFailNothing) {
    ARKOVA_REQUIRE_FIXTURE(single, L"trailing.txt.gz");
    session_.archivePath = single;
    ASSERT_EQ(session_.context.OpenArchive(single), DecodeResult::Ok);
    EXPECT_TRUE(job_.ExtractArchive({destination_, true, false}));
    EXPECT_EQ(ReadText(Out(L"single.txt")), "alpha\n");
    EXPECT_TRUE(job_.Outcome().failures.empty());
    EXPECT_TRUE(frontEnd_.shownFailures.empty());
    ASSERT_EQ(frontEnd_.shownWarnings.size(), 1u);
    const std::vector<std::wstring>& warnings = frontEnd_.shownWarnings[0];
    ASSERT_FALSE(warnings.empty());
    EXPECT_NE(warnings[0].find(L"ignored"), std::wstring::npos);
    EXPECT_EQ(job_.Outcome().warnings, warnings);
    EXPECT_EQ(frontEnd_.progress.statuses.back(), L"압축 해제 완료 (경고 " + std::to_wstring(warnings.size()) + L"개)");

    // A tarball's outer stream is read to its end by the test.
    ARKOVA_REQUIRE_FIXTURE(tarball, L"trailing.tgz");
    session_.archivePath = tarball;
    ASSERT_EQ(session_.context.OpenArchive(tarball), DecodeResult::Ok);
    frontEnd_.shownWarnings.clear();
    TestReport report;
    ASSERT_TRUE(TestArchive(session_, frontEnd_, &report));
    EXPECT_EQ(FailedCount(report), 0u);
    ASSERT_EQ(frontEnd_.shownWarnings.size(), 1u) << "the test shows them once too";
    EXPECT_EQ(report.warnings, frontEnd_.shownWarnings[0]);
    EXPECT_NE(report.warnings.at(0).find(L"gzip stream is followed by bytes"), std::wstring::npos);
}

}  // namespace
}  // namespace Arkova
