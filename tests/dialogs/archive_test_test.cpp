// The test command and its report: progress texts, the summary and title, cancel without a report, and the
// messages when nothing is open.
#include <gtest/gtest.h>

#include "dialogs/archive_test.h"
#include "dialogs/test_report.h"
#include "support/alz_writer.h"
#include "support/scratch_folder.h"
#include "support/scripted_front_end.h"

namespace Arkova {
namespace {

using Testing::AlzEntry;
using Testing::AlzWriter;
using Testing::ScratchFolder;
using Testing::ScriptedFrontEnd;

class ArchiveTestTest : public ::testing::Test {
protected:
    void Open(const AlzWriter& writer) {
        ASSERT_TRUE(writer.WriteTo(archive_));
        session_.archivePath = archive_;
        ASSERT_EQ(session_.context.OpenArchive(archive_), DecodeResult::Ok);
    }

    ScratchFolder folder_;
    std::wstring archive_ = folder_ / L"checked.alz";
    ArchiveSession session_;
    ScriptedFrontEnd frontEnd_;
};

TEST_F(ArchiveTestTest, GoodArchiveReportsAllPassedWithProgressPerEntry) {
    Open(AlzWriter().Folder("dir").File("dir\\one.txt", "1").File("two.txt", "22").File("three.txt", "333"));
    EXPECT_TRUE(TestArchive(session_, frontEnd_));
    ASSERT_EQ(frontEnd_.reports.size(), 1u);
    const TestReport& report = frontEnd_.reports[0];
    EXPECT_EQ(report.archiveName, L"checked.alz");
    EXPECT_EQ(report.results.size(), 3u) << "folders are not tested";
    EXPECT_EQ(TestSummary(report), L"All 3 file(s) passed.");
    EXPECT_EQ(TestReportTitle(report), L"Archive Test Result - OK");
    EXPECT_EQ(frontEnd_.progress.titles, std::vector<std::wstring>{L"아카이브 테스트"});
    EXPECT_EQ(frontEnd_.progress.statuses.back(), L"테스트 중: 3 / 3");
    EXPECT_EQ(frontEnd_.progress.overallPercents, (std::vector<int>{33, 66, 100}));
    EXPECT_EQ(frontEnd_.progress.closed, 1);
}

TEST_F(ArchiveTestTest, DamagedAndEncryptedEntriesAreErrorsWithTheirCrcs) {
    AlzEntry damaged;
    damaged.name = "damaged.txt";
    damaged.content = Testing::ToBytes("payload");
    damaged.crc = 0xDEADBEEF;
    AlzEntry locked;
    locked.name = "locked.txt";
    locked.content = Testing::ToBytes("secret");
    locked.encrypted = true;
    AlzEntry unchecked;
    unchecked.name = "no-crc.txt";
    unchecked.content = Testing::ToBytes("anything");
    unchecked.crc = 0;
    Open(AlzWriter().File("fine.txt", "ok").Add(damaged).Add(locked).Add(unchecked));
    EXPECT_TRUE(TestArchive(session_, frontEnd_));
    ASSERT_EQ(frontEnd_.reports.size(), 1u);
    const TestReport& report = frontEnd_.reports[0];
    EXPECT_EQ(TestSummary(report), L"2 passed, 2 error(s)");
    EXPECT_EQ(TestReportTitle(report), L"Archive Test Result - Error Found");
    EXPECT_STREQ(TestStatusText(report.results[1]), L"Error");
    EXPECT_EQ(CrcText(report.results[1].expectedCrc), L"DEADBEEF");
    EXPECT_NE(report.results[1].actualCrc, report.results[1].expectedCrc);
    EXPECT_FALSE(report.results[2].ok) << "the test never asks for a password";
    EXPECT_TRUE(frontEnd_.passwordRounds.empty());
    EXPECT_EQ(CrcText(report.results[2].actualCrc), L"00000000");
    EXPECT_TRUE(report.results[3].ok) << "a stored CRC of 0 is not checked";
    EXPECT_EQ(CrcText(report.results[3].expectedCrc), L"00000000");
}

TEST_F(ArchiveTestTest, CancelShowsNoReportAndNothingOpenShowsAMessage) {
    Open(AlzWriter().File("a.txt", "a").File("b.txt", "b").File("c.txt", "c"));
    frontEnd_.cancelWhen = [](const Testing::ProgressRecord& record) { return record.pumps >= 1; };
    EXPECT_FALSE(TestArchive(session_, frontEnd_));
    EXPECT_TRUE(frontEnd_.reports.empty());
    EXPECT_EQ(frontEnd_.progress.closed, 1);

    ArchiveSession empty;
    EXPECT_FALSE(TestArchive(empty, frontEnd_));
    ASSERT_EQ(frontEnd_.messages.size(), 1u);
    EXPECT_EQ(frontEnd_.messages[0].text, L"열린 압축 파일이 없습니다.");
    EXPECT_EQ(frontEnd_.messages[0].caption, L"테스트");
}

TEST_F(ArchiveTestTest, AnArchiveOfFoldersPassesWithAnEmptyReport) {
    Open(AlzWriter().Folder("only").Folder("only\\folders"));
    EXPECT_TRUE(TestArchive(session_, frontEnd_));
    ASSERT_EQ(frontEnd_.reports.size(), 1u);
    EXPECT_TRUE(frontEnd_.reports[0].results.empty());
    EXPECT_EQ(TestSummary(frontEnd_.reports[0]), L"All 0 file(s) passed.");
}

}  // namespace
}  // namespace Arkova
