// arkova-cli as a user meets it: listings, test reports, extraction with conflicts, and exit statuses.
#include <gtest/gtest.h>

#include "cli/commands.h"
#include "platform/file_system.h"
#include "support/alz_writer.h"
#include "support/scratch_folder.h"
#include "support/scripted_console.h"

namespace Arkova {
namespace {

using Testing::AlzEntry;
using Testing::AlzWriter;
using Testing::ScratchFolder;
using Testing::ScriptedConsole;

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        archive_ = folder_ / L"sample.alz";
        ASSERT_TRUE(AlzWriter()
                        .ArchiveHeader()
                        .Folder("\xB9\xAE\xBC\xAD")  // 문서
                        .File("\xB9\xAE\xBC\xAD\\a.txt", "alpha")
                        .File("b.txt", "bravo", 0)
                        .WriteTo(archive_));
    }

    int Run(std::vector<std::wstring> arguments) { return Cli::RunCli(arguments, console_); }

    ScratchFolder folder_;
    std::wstring archive_;
    ScriptedConsole console_;
};

TEST_F(CliTest, ListShowsEveryEntryAndASummary) {
    EXPECT_EQ(Run({L"l", archive_}), Cli::kExitOk);
    EXPECT_NE(console_.out.find(L"\uBB38\uC11C\\a.txt"), std::wstring::npos);
    EXPECT_NE(console_.out.find(L"2023-11-05 10:20:30 ....A            5"), std::wstring::npos) << console_.out.c_str();
    EXPECT_NE(console_.out.find(L"2 files, 1 folders"), std::wstring::npos);
}

TEST_F(CliTest, TestReportsEachFileAndFailsOnDamage) {
    EXPECT_EQ(Run({L"t", archive_}), Cli::kExitOk);
    EXPECT_NE(console_.out.find(L"Archive Test Result - OK\nsample.alz\nAll 2 file(s) passed.\n"), std::wstring::npos);
    EXPECT_NE(console_.out.find(L"b.txt"), std::wstring::npos);

    AlzEntry damaged;
    damaged.name = "damaged.txt";
    damaged.content = Testing::ToBytes("payload");
    damaged.crc = 0xDEADBEEF;
    ASSERT_TRUE(AlzWriter().File("fine.txt", "ok").Add(damaged).WriteTo(archive_));
    console_.out.clear();
    EXPECT_EQ(Run({L"t", archive_}), Cli::kExitSomeFailed);
    EXPECT_NE(console_.out.find(L"Archive Test Result - Error Found\nsample.alz\n1 passed, 1 error(s)\n"),
              std::wstring::npos);
    EXPECT_NE(console_.out.find(L"Error   DEADBEEF      "), std::wstring::npos);
    EXPECT_NE(console_.out.find(L"damaged.txt"), std::wstring::npos);
    EXPECT_NE(console_.err.find(L"damaged.txt: CrcMismatch"), std::wstring::npos);
}

TEST_F(CliTest, ExtractDefaultsToAFolderNamedAfterTheArchive) {
    EXPECT_EQ(Run({L"x", archive_, L"-q"}), Cli::kExitOk);
    EXPECT_EQ(Testing::ReadText(folder_ / L"sample/\uBB38\uC11C/a.txt"), "alpha");
    EXPECT_EQ(Testing::ReadText(folder_ / L"sample/b.txt"), "bravo");
    EXPECT_EQ(Run({L"x", archive_, L"-q"}), Cli::kExitOk);
    EXPECT_TRUE(Platform::PathExists(folder_ / L"sample (2)/b.txt")) << "a second run gets a fresh folder";
}

TEST_F(CliTest, ExistingFilesAreSkippedAndReportedWithoutATerminal) {
    std::wstring out = folder_ / L"out";
    ASSERT_TRUE(Platform::MakeDirectories(out));
    ASSERT_TRUE(Testing::WriteText(folder_ / L"out/b.txt", "mine"));
    EXPECT_EQ(Run({L"x", archive_, L"-o", out}), Cli::kExitSomeFailed);
    EXPECT_EQ(Testing::ReadText(folder_ / L"out/b.txt"), "mine");
    EXPECT_NE(console_.err.find(L"b.txt: skipped"), std::wstring::npos);
    EXPECT_EQ(Testing::ReadText(folder_ / L"out/\uBB38\uC11C/a.txt"), "alpha");
}

TEST_F(CliTest, YesOverwritesAndNoSkipsWithoutAsking) {
    std::wstring out = folder_ / L"out";
    ASSERT_TRUE(Platform::MakeDirectories(out));
    ASSERT_TRUE(Testing::WriteText(folder_ / L"out/b.txt", "mine"));
    console_.inputIsTerminal = true;
    EXPECT_EQ(Run({L"x", archive_, L"-n", L"-o" + out}), Cli::kExitOk);
    EXPECT_EQ(Testing::ReadText(folder_ / L"out/b.txt"), "mine");
    EXPECT_EQ(Run({L"x", archive_, L"-y", L"-o", out}), Cli::kExitOk);
    EXPECT_EQ(Testing::ReadText(folder_ / L"out/b.txt"), "bravo");
    EXPECT_EQ(console_.questionsAnswered, 0);
}

TEST_F(CliTest, TerminalAnswersRenameAndApplyToAll) {
    std::wstring out = folder_ / L"out";
    ASSERT_TRUE(Platform::MakeDirectories(folder_ / L"out/\uBB38\uC11C"));
    ASSERT_TRUE(Testing::WriteText(folder_ / L"out/\uBB38\uC11C/a.txt", "mine a"));
    ASSERT_TRUE(Testing::WriteText(folder_ / L"out/b.txt", "mine b"));
    console_.inputIsTerminal = true;
    console_.answers = {L"what?", L"R"};  // an unknown answer asks again; "R" renames this and every later one
    EXPECT_EQ(Run({L"x", archive_, L"-o", out}), Cli::kExitOk);
    EXPECT_EQ(console_.questionsAnswered, 2);
    EXPECT_EQ(Testing::ReadText(folder_ / L"out/\uBB38\uC11C/a.txt"), "mine a");
    EXPECT_EQ(Testing::ReadText(folder_ / L"out/\uBB38\uC11C/a (2).txt"), "alpha");
    EXPECT_EQ(Testing::ReadText(folder_ / L"out/b (2).txt"), "bravo");
}

TEST_F(CliTest, CancelStopsTheRun) {
    std::wstring out = folder_ / L"out";
    ASSERT_TRUE(Platform::MakeDirectories(folder_ / L"out/\uBB38\uC11C"));
    ASSERT_TRUE(Testing::WriteText(folder_ / L"out/\uBB38\uC11C/a.txt", "mine a"));
    console_.inputIsTerminal = true;
    console_.answers = {L"c"};
    // Entry by entry, in archive order: b.txt comes after the conflict.
    EXPECT_EQ(Run({L"x", archive_, L"-o", out, L"--sequential"}), Cli::kExitSomeFailed);
    EXPECT_FALSE(Platform::PathExists(folder_ / L"out/b.txt"));
    EXPECT_NE(console_.out.find(L"cancelled"), std::wstring::npos);
}

TEST_F(CliTest, UnsafeAndUndecodableEntriesFailByNameWhileTheRestExtracts) {
    AlzEntry secret;
    secret.name = "locked.txt";
    secret.content = Testing::ToBytes("secret");
    secret.encrypted = true;
    ASSERT_TRUE(AlzWriter().File("..\\..\\evil.txt", "x").Add(secret).File("good.txt", "g").WriteTo(archive_));
    std::wstring out = folder_ / L"a/b/out";
    EXPECT_EQ(Run({L"x", archive_, L"-o", out, L"-p", L"pw"}), Cli::kExitSomeFailed);
    EXPECT_EQ(Testing::ReadText(folder_ / L"a/b/out/good.txt"), "g");
    EXPECT_FALSE(Platform::PathExists(folder_ / L"a/evil.txt"));
    EXPECT_NE(console_.err.find(L"..\\..\\evil.txt: refused"), std::wstring::npos);
    EXPECT_NE(console_.err.find(L"locked.txt: WrongPassword"), std::wstring::npos) << console_.err;
    EXPECT_NE(console_.out.find(L"2 error(s)"), std::wstring::npos);
}

TEST_F(CliTest, WithoutAPasswordThePlainEntriesAreExtractedAndTheEncryptedOnesNamed) {
    AlzEntry secret;
    secret.name = "locked.txt";
    secret.content = Testing::ToBytes("secret");
    secret.encrypted = true;
    ASSERT_TRUE(AlzWriter().File("good.txt", "g").Add(secret).WriteTo(archive_));
    std::wstring out = folder_ / L"out";
    EXPECT_EQ(Run({L"x", archive_, L"-o", out}), Cli::kExitSomeFailed);
    EXPECT_NE(console_.err.find(L"give the password with -p"), std::wstring::npos) << console_.err;
    EXPECT_EQ(Testing::ReadText(folder_ / L"out/good.txt"), "g");
    EXPECT_FALSE(Platform::PathExists(folder_ / L"out/locked.txt"));
    EXPECT_NE(console_.err.find(L"locked.txt: "), std::wstring::npos) << console_.err;
    EXPECT_NE(console_.out.find(L"1 error(s)"), std::wstring::npos) << console_.out;
}

TEST_F(CliTest, UsageErrorsAndUnopenableArchivesExitWithTwo) {
    EXPECT_EQ(Run({}), Cli::kExitUsageOrOpen);
    EXPECT_EQ(Run({L"q", archive_}), Cli::kExitUsageOrOpen);
    EXPECT_EQ(Run({L"x"}), Cli::kExitUsageOrOpen);
    EXPECT_EQ(Run({L"x", archive_, L"-o"}), Cli::kExitUsageOrOpen);
    EXPECT_EQ(Run({L"l", archive_, L"--bogus"}), Cli::kExitUsageOrOpen);
    console_.err.clear();
    EXPECT_EQ(Run({L"l", folder_ / L"missing.alz"}), Cli::kExitUsageOrOpen);
    EXPECT_NE(console_.err.find(L"missing.alz': FileNotFound"), std::wstring::npos);
    std::wstring junk = folder_ / L"junk.alz";
    ASSERT_TRUE(Testing::WriteText(junk, "not an archive at all"));
    console_.err.clear();
    EXPECT_EQ(Run({L"t", junk}), Cli::kExitUsageOrOpen);
    EXPECT_NE(console_.err.find(L"junk.alz': InvalidArchive"), std::wstring::npos);
    EXPECT_EQ(Run({L"--help"}), Cli::kExitOk);
}

TEST_F(CliTest, PasswordIsAskedOnATerminalOnlyWhenEntriesAreEncrypted) {
    AlzEntry secret;
    secret.name = "locked.txt";
    secret.content = Testing::ToBytes("secret");
    secret.encrypted = true;
    secret.password = "hunter2";
    ASSERT_TRUE(AlzWriter().File("open.txt", "o").Add(secret).WriteTo(archive_));
    EXPECT_EQ(Run({L"t", archive_}), Cli::kExitSomeFailed);
    EXPECT_NE(console_.err.find(L"locked.txt: PasswordRequired"), std::wstring::npos) << "the test never asks";
    EXPECT_EQ(Run({L"l", archive_}), Cli::kExitOk);

    console_.inputIsTerminal = true;
    EXPECT_EQ(Run({L"t", archive_, L"-p", L"given"}), Cli::kExitSomeFailed);
    EXPECT_EQ(console_.secretsAsked, 0) << "listing and -p never ask";
    EXPECT_NE(console_.err.find(L"locked.txt: WrongPassword"), std::wstring::npos) << console_.err;
    console_.answers = {L"wrong", L"hunter2"};
    console_.err.clear();
    EXPECT_EQ(Run({L"t", archive_}), Cli::kExitOk) << console_.err;
    EXPECT_EQ(console_.secretsAsked, 2) << "a wrong password is asked again, the decrypting one is taken";
    EXPECT_EQ(Run({L"t", archive_}), Cli::kExitOk);
    EXPECT_EQ(console_.secretsAsked, 2) << "the password is remembered for this archive for the rest of the run";
}

TEST_F(CliTest, CodePageMustBeOneTheProgramOffers) {
    EXPECT_EQ(Run({L"l", archive_, L"--cp", L"949"}), Cli::kExitOk);
    EXPECT_EQ(Run({L"l", archive_, L"--cp", L"0"}), Cli::kExitOk);
    EXPECT_EQ(Run({L"l", archive_, L"--cp", L"-1"}), Cli::kExitOk);
    EXPECT_EQ(Run({L"l", archive_, L"--cp", L"437"}), Cli::kExitUsageOrOpen);
    EXPECT_EQ(Run({L"l", archive_, L"--cp", L"x"}), Cli::kExitUsageOrOpen);
    EXPECT_EQ(Run({L"l", archive_, L"--cp"}), Cli::kExitUsageOrOpen);
}

TEST_F(CliTest, ProgressLineAppearsOnlyOnATerminalAndNotWithQuiet) {
    EXPECT_EQ(Run({L"t", archive_}), Cli::kExitOk);
    EXPECT_EQ(console_.err.find(L'%'), std::wstring::npos);
    console_.errorIsTerminal = true;
    EXPECT_EQ(Run({L"t", archive_}), Cli::kExitOk);
    EXPECT_NE(console_.err.find(L"%  테스트 중: 1 / 2"), std::wstring::npos) << console_.err;
    console_.err.clear();
    EXPECT_EQ(Run({L"t", archive_, L"-q"}), Cli::kExitOk);
    EXPECT_EQ(console_.err, L"");
}

}  // namespace
}  // namespace Arkova
