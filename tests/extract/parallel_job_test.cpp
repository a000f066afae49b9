// The parallel jobs through a scripted front end: the choice of the engine, the staging folder and its merge into
// a destination that already holds files, engine failures, and the item variant.
#include <gtest/gtest.h>

#include "extract/extraction_job.h"
#include "extract/parallel_choice.h"
#include "platform/file_system.h"
#include "platform/text.h"
#include "support/scratch_folder.h"
#include "support/scripted_front_end.h"
#include "support/zip_writer.h"

namespace Arkova {
namespace {

using Testing::ReadText;
using Testing::ScratchFolder;
using Testing::ScriptedFrontEnd;
using Testing::WriteText;
using Testing::ZipWriter;

class ParallelJobTest : public ::testing::Test {
protected:
    void Open(ZipWriter& zip) {
        ASSERT_TRUE(zip.Finish().WriteTo(archive_));
        session_.archivePath = archive_;
        ASSERT_EQ(session_.context.OpenArchive(archive_), DecodeResult::Ok);
    }
    void OpenDefault() {
        ZipWriter zip;
        zip.Folder("docs/").File("docs/a.txt", "new a").File("docs/sub/b.txt", "new b").File("top.txt", "new top");
        Open(zip);
    }
    std::wstring Out(const std::wstring& relative) const { return folder_ / (L"out/" + relative); }
    // What the job showed as failed, for assertion messages.
    std::string Shown() const {
        std::wstring text;
        for (const auto& message : frontEnd_.messages) text += message.text + L"\n";
        for (const auto& list : frontEnd_.shownFailures) {
            for (const auto& failure : list) text += failure.path + L": " + FailureReasonTextKorean(failure) + L"\n";
        }
        return Platform::WideToUtf8(text);
    }
    // Nothing of the staging folder is left anywhere.
    bool NoStagingLeft() const {
        std::vector<Platform::DirectoryEntry> entries;
        Platform::ListDirectory(destination_, entries);
        for (const auto& entry : entries) {
            if (entry.name.rfind(L".arkova-extract", 0) == 0) return false;
        }
        return true;
    }

    ScratchFolder folder_;
    std::wstring archive_ = folder_ / L"a.zip";
    std::wstring destination_ = folder_ / L"out";
    ArchiveSession session_;
    ScriptedFrontEnd frontEnd_;
    ExtractionJob job_{session_, frontEnd_, JobSettings{}};
};

TEST_F(ParallelJobTest, OnlyPlainStoredOrDeflatedZipArchivesGoToTheEngine) {
    OpenDefault();
    EXPECT_NE(EngineSourceForArchive(ArchiveFormat::Zip, archive_), nullptr);
    EXPECT_TRUE(EngineCanExtractEntries(archive_));

    ZipWriter other;
    other.File("plain.txt", "plain").File("odd.bin", "data", 12);  // bzip2 is the library's business
    ASSERT_TRUE(other.Finish().WriteTo(folder_ / L"other.zip"));
    EXPECT_EQ(EngineSourceForArchive(ArchiveFormat::Zip, folder_ / L"other.zip"), nullptr);

    Testing::ZipWriterEntry locked;
    locked.name = "locked.txt";
    locked.content = Testing::ToBytes("x");
    locked.flags = 1;
    ZipWriter encrypted;
    encrypted.File("open.txt", "o").Add(locked);
    ASSERT_TRUE(encrypted.Finish().WriteTo(folder_ / L"encrypted.zip"));
    EXPECT_FALSE(EngineCanExtractEntries(folder_ / L"encrypted.zip"));
    EXPECT_EQ(EngineSourceForArchive(ArchiveFormat::Zip, folder_ / L"missing.zip"), nullptr);
}

TEST_F(ParallelJobTest, WholeArchiveGoesThroughAStagingFolderThatIsAlwaysRemoved) {
    OpenDefault();
    EXPECT_TRUE(job_.ExtractArchive({destination_, false, false})) << "keepPaths does not apply to the engine\n"
                                                                   << Shown();
    EXPECT_TRUE(job_.Outcome().usedParallelEngine);
    EXPECT_EQ(ReadText(Out(L"docs/sub/b.txt")), "new b");
    EXPECT_EQ(ReadText(Out(L"top.txt")), "new top");
    EXPECT_EQ(job_.Outcome().filesWritten, 3u);
    EXPECT_EQ(frontEnd_.progress.titles, std::vector<std::wstring>{L"초고속 병렬 압축 풀기"});
    EXPECT_EQ(frontEnd_.progress.names.front(), L"준비 중...");
    EXPECT_EQ(frontEnd_.progress.finished, 0) << "the staging mode has no completion display";
    EXPECT_TRUE(NoStagingLeft());
}

TEST_F(ParallelJobTest, TheMergeAsksAboutExistingFilesAndKeepsUnrelatedOnes) {
    OpenDefault();
    ASSERT_TRUE(Platform::MakeDirectories(Out(L"docs")));
    WriteText(Out(L"docs/a.txt"), "old a");
    WriteText(Out(L"docs/keep.txt"), "unrelated");
    WriteText(Out(L"top.txt"), "old top");

    frontEnd_.overwriteAnswers = {{OverwriteDecision::Skip, false}, {OverwriteDecision::Rename, false}};
    EXPECT_TRUE(job_.ExtractArchive({destination_, true, false}));
    EXPECT_EQ(frontEnd_.overwriteQuestions.size(), 2u);
    EXPECT_EQ(ReadText(Out(L"docs/sub/b.txt")), "new b") << "new files merge into an existing folder";
    EXPECT_EQ(ReadText(Out(L"docs/keep.txt")), "unrelated");
    std::string a = ReadText(Out(L"docs/a.txt"));
    std::string top = ReadText(Out(L"top.txt"));
    EXPECT_TRUE((a == "old a" && ReadText(Out(L"top (2).txt")) == "new top") ||
                (top == "old top" && ReadText(Out(L"docs/a (2).txt")) == "new a"))
        << "one skipped, the other renamed, whichever the folder listing met first";
    EXPECT_TRUE(NoStagingLeft());

    frontEnd_.overwriteQuestions.clear();
    frontEnd_.overwriteAnswers = {{OverwriteDecision::Overwrite, true}};
    EXPECT_TRUE(job_.ExtractArchive({destination_, true, false}));
    EXPECT_EQ(frontEnd_.overwriteQuestions.size(), 1u);
    EXPECT_EQ(ReadText(Out(L"docs/a.txt")), "new a");
    EXPECT_EQ(ReadText(Out(L"top.txt")), "new top");

    frontEnd_.overwriteAnswers = {{OverwriteDecision::Cancel, false}};
    EXPECT_FALSE(job_.ExtractArchive({destination_, true, false})) << "an aborted copy is a failed job";
    EXPECT_TRUE(NoStagingLeft());
}

TEST_F(ParallelJobTest, DirectModeAsksOnceThenOverwritesOrLeavesEverythingAlone) {
    OpenDefault();
    JobSettings settings;
    settings.useParallelTempFolder = false;
    ExtractionJob job{session_, frontEnd_, settings};
    ASSERT_TRUE(Platform::MakeDirectories(Out(L"docs")));
    WriteText(Out(L"docs/a.txt"), "old a");
    WriteText(Out(L"top.txt"), "old top");

    frontEnd_.overwriteAnswers = {{OverwriteDecision::Skip, false}};
    EXPECT_TRUE(job.ExtractArchive({destination_, true, false}));
    EXPECT_EQ(frontEnd_.overwriteQuestions, std::vector<std::wstring>{L"a.txt"});
    EXPECT_EQ(frontEnd_.progress.opened, 0) << "skipping writes nothing and shows no window";
    EXPECT_FALSE(Platform::PathExists(Out(L"docs/sub/b.txt")));

    frontEnd_.overwriteAnswers = {{OverwriteDecision::Rename, false}};
    EXPECT_TRUE(job.ExtractArchive({destination_, true, false}));
    EXPECT_EQ(frontEnd_.overwriteQuestions.size(), 2u) << "asked once per job";
    EXPECT_EQ(ReadText(Out(L"docs/a.txt")), "new a") << "rename overwrites, as the engine always does";
    EXPECT_EQ(ReadText(Out(L"top.txt")), "new top");
    EXPECT_EQ(frontEnd_.progress.finished, 1);
    EXPECT_EQ(frontEnd_.progress.statuses.back(), L"압축 해제 완료");
    EXPECT_TRUE(NoStagingLeft());

    frontEnd_.overwriteAnswers = {{OverwriteDecision::Cancel, false}};
    EXPECT_FALSE(job.ExtractArchive({destination_, true, false}));
}

TEST_F(ParallelJobTest, TheSettingTurnsTheEngineOff) {
    OpenDefault();
    JobSettings settings;
    settings.useParallelAllExtract = false;
    ExtractionJob job{session_, frontEnd_, settings};
    EXPECT_TRUE(job.ExtractArchive({destination_, true, false}));
    EXPECT_FALSE(job.Outcome().usedParallelEngine);
    EXPECT_EQ(ReadText(Out(L"docs/sub/b.txt")), "new b");
}

TEST_F(ParallelJobTest, EntriesThatFailAloneAreListedAndTheRestDelivered) {
    Testing::ZipWriterEntry damaged;
    damaged.name = "damaged.txt";
    damaged.content = Testing::ToBytes("content");
    damaged.crc = 99;
    ZipWriter zip;
    zip.File("good.txt", "good").File("../escape.txt", "x").Add(damaged).File("later.txt", "later");
    Open(zip);
    for (bool staging : {true, false}) {
        SCOPED_TRACE(staging ? "staging folder" : "direct");
        ScratchFolder destination;
        JobSettings settings;
        settings.useParallelTempFolder = staging;
        ScriptedFrontEnd frontEnd;
        ExtractionJob job{session_, frontEnd, settings};
        EXPECT_FALSE(job.ExtractArchive({destination.Path(), true, false}));
        EXPECT_TRUE(job.Outcome().usedParallelEngine);
        EXPECT_EQ(ReadText(destination / L"good.txt"), "good");
        EXPECT_EQ(ReadText(destination / L"later.txt"), "later");
        EXPECT_FALSE(Platform::PathExists(destination / L"damaged.txt"));
        EXPECT_FALSE(Platform::PathExists(folder_ / L"escape.txt"));
        EXPECT_TRUE(frontEnd.messages.empty()) << "no run failure, only the list";
        ASSERT_EQ(job.Outcome().failures.size(), 2u);
        EXPECT_EQ(BrowserPath(job.Outcome().failures[0].path), L"../escape.txt");
        EXPECT_EQ(job.Outcome().failures[0].reason, FailureReason::UnsafePath);
        EXPECT_EQ(job.Outcome().failures[1].path, L"damaged.txt");
        EXPECT_EQ(job.Outcome().failures[1].decodeResult, DecodeResult::CrcMismatch);
        ASSERT_EQ(frontEnd.shownFailures.size(), 1u);
        EXPECT_EQ(frontEnd.shownFailures[0].size(), 2u);
        EXPECT_EQ(job.Outcome().filesWritten, 2u);
        std::vector<Platform::DirectoryEntry> left;
        Platform::ListDirectory(destination.Path(), left);
        EXPECT_EQ(left.size(), 2u) << "no staging folder or partial file stays";
    }
}

TEST_F(ParallelJobTest, ARunThatStopsIsShownAndNothingIsLeftBehind) {
    ZipWriter zip;
    zip.File("a.txt", "alpha").RawCentral(Testing::Bytes(60, 0x33));
    Testing::ZipEnd end;
    end.entryCount = 2;
    ASSERT_TRUE(zip.Finish(end).WriteTo(archive_));
    session_.archivePath = archive_;
    EXPECT_FALSE(job_.ExtractArchiveParallel(destination_));
    ASSERT_EQ(frontEnd_.messages.size(), 1u);
    EXPECT_EQ(frontEnd_.messages[0].caption, L"오류");
    EXPECT_EQ(frontEnd_.messages[0].text,
              L"추출 실패: The ZIP central directory is damaged: only 1 of 2 entries could be read");
    EXPECT_FALSE(Platform::PathExists(Out(L"a.txt"))) << "a stopped staged run copies nothing";
    EXPECT_TRUE(NoStagingLeft());
}

TEST_F(ParallelJobTest, ItemJobsTakeEachEntryOnceAndSingleItemsStaySequential) {
    OpenDefault();
    const auto& entries = session_.context.Items();
    std::vector<DragItem> items = {{L"docs", L"docs", true, 0}, {L"a.txt", L"docs/a.txt", false, 1}};
    std::vector<std::uint32_t> positions = BuildItemPositions(items, entries);
    EXPECT_EQ(positions, (std::vector<std::uint32_t>{1, 2})) << "a file inside a chosen folder is taken once";

    EXPECT_TRUE(job_.ExtractItems(items, destination_, folder_ / L"desktop"));
    EXPECT_TRUE(job_.Outcome().usedParallelEngine);
    EXPECT_EQ(ReadText(Out(L"docs/sub/b.txt")), "new b");
    EXPECT_EQ(frontEnd_.progress.titles.back(), L"병렬 압축 풀기");
    EXPECT_EQ(frontEnd_.progress.detached, 1);

    EXPECT_TRUE(job_.ExtractItems({{L"top.txt", L"top.txt", false, 3}}, folder_ / L"single", L""));
    EXPECT_FALSE(job_.Outcome().usedParallelEngine);
    EXPECT_EQ(ReadText(folder_ / L"single/top.txt"), "new top");

    job_.SetParallelAllowed(false);
    frontEnd_.overwriteAnswers = {{OverwriteDecision::Skip, false}};
    EXPECT_TRUE(job_.ExtractItems(items, folder_ / L"seq", L""));
    EXPECT_EQ(frontEnd_.overwriteQuestions, std::vector<std::wstring>{L"a.txt"})
        << "the sequential path meets the file twice, as a conflict";
    EXPECT_FALSE(job_.Outcome().usedParallelEngine);
}

}  // namespace
}  // namespace Arkova
