// The jobs on archives the library adapter reads: a tar's hard links come out as copies of their data whether the
// whole archive or the link alone is extracted, and an archive with plain entries beside encrypted ones still
// gives its plain entries when the user gives no password, naming each encrypted one as failed.
#include <gtest/gtest.h>

#include "extract/extraction_job.h"
#include "fixtures.h"
#include "platform/file_system.h"
#include "support/scratch_folder.h"
#include "support/scripted_front_end.h"

namespace Arkova {
namespace {

using Testing::ReadText;
using Testing::ScratchFolder;
using Testing::ScriptedFrontEnd;

class LibraryJobTest : public ::testing::Test {
protected:
    bool Open(const std::wstring& archive) {
        session_.archivePath = archive;
        return session_.context.OpenArchive(archive) == DecodeResult::Ok;
    }
    std::uint32_t IndexOf(const std::wstring& path) const {
        for (const ArchiveItem& item : session_.context.Items()) {
            if (BrowserPath(item.path) == path) return item.index;
        }
        return UINT32_MAX;
    }

    ScratchFolder folder_;
    ArchiveSession session_;
    ScriptedFrontEnd frontEnd_;
    ExtractionJob job_{session_, frontEnd_, JobSettings{}};
};

TEST_F(LibraryJobTest, TarHardLinksAreCopiesWholeOrChosenAlone) {
    ARKOVA_REQUIRE_FIXTURE(archive, L"hardlinks.tar");
    ASSERT_TRUE(Open(archive));
    EXPECT_TRUE(job_.ExtractArchive({folder_ / L"all", true, false}));
    for (const wchar_t* name : {L"data.txt", L"link.txt", L"second.txt"}) {
        EXPECT_EQ(ReadText(folder_ / (std::wstring(L"all/hardlinks/") + name)), "shared data\n");
    }
    EXPECT_TRUE(job_.Outcome().failures.empty());

    // The link without the file it names, browsed inside its folder.
    session_.currentFolder = L"hardlinks";
    std::uint32_t link = IndexOf(L"hardlinks/second.txt");
    ASSERT_NE(link, UINT32_MAX);
    EXPECT_TRUE(job_.ExtractItems({{L"second.txt", L"hardlinks/second.txt", false, link}}, folder_ / L"alone", L""));
    EXPECT_EQ(ReadText(folder_ / L"alone/second.txt"), "shared data\n");
    EXPECT_FALSE(Platform::PathExists(folder_ / L"alone/data.txt"));
}

TEST_F(LibraryJobTest, WithoutAPasswordThePlainEntriesComeOutAndTheEncryptedOnesFailByName) {
    ARKOVA_REQUIRE_FIXTURE(archive, L"partly-encrypted.zip");
    ASSERT_TRUE(Open(archive));
    ASSERT_TRUE(session_.context.Decoder()->HasEncryptedItems());
    // No reply scripted: the prompt is cancelled.
    EXPECT_FALSE(job_.ExtractArchive({folder_ / L"out", true, false})) << "not a plain success";
    EXPECT_EQ(frontEnd_.passwordRounds.size(), 1u);
    EXPECT_EQ(ReadText(folder_ / L"out/partly/plain.txt"), "plain one\n");
    EXPECT_EQ(ReadText(folder_ / L"out/partly/z-plain.txt"), "plain two\n");
    EXPECT_FALSE(Platform::PathExists(folder_ / L"out/partly/secret.txt"));
    const JobOutcome& outcome = job_.Outcome();
    EXPECT_TRUE(outcome.withoutPassword);
    EXPECT_EQ(outcome.filesWritten, 2u);
    ASSERT_EQ(outcome.failures.size(), 1u);
    EXPECT_EQ(BrowserPath(outcome.failures[0].path), L"partly/secret.txt");
    EXPECT_EQ(outcome.failures[0].decodeResult, DecodeResult::PasswordRequired);
    ASSERT_EQ(frontEnd_.shownFailures.size(), 1u) << "the user is told which entries failed";

    // A choice of encrypted entries alone is abandoned silently, as before.
    std::uint32_t secret = IndexOf(L"partly/secret.txt");
    EXPECT_FALSE(job_.ExtractItems({{L"secret.txt", L"partly/secret.txt", false, secret}}, folder_ / L"secret", L""));
    EXPECT_EQ(frontEnd_.progress.opened, 1) << "no window for nothing to do";

    // Three wrong passwords still end the job with nothing written.
    frontEnd_.passwordReplies = {{true, L"wrong", true}, {true, L"wrong", true}, {true, L"wrong", true}};
    EXPECT_FALSE(job_.ExtractArchive({folder_ / L"wrong", true, false}));
    EXPECT_FALSE(Platform::PathExists(folder_ / L"wrong/partly/plain.txt"));

    // With the password everything is written.
    frontEnd_.passwordReplies = {{true, L"Secret", false}};
    EXPECT_TRUE(job_.ExtractArchive({folder_ / L"right", true, false}));
    EXPECT_EQ(ReadText(folder_ / L"right/partly/secret.txt"), "secret\n");
}

}  // namespace
}  // namespace Arkova
