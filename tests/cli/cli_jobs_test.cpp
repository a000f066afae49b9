// arkova-cli as a front end of the extraction jobs: ZIP archives through the parallel engine with existing files,
// named entries, the flat and newer-only switches, and the program's own shell switches.
#include <gtest/gtest.h>

#include "cli/commands.h"
#include "platform/file_system.h"
#include "support/scratch_folder.h"
#include "support/scripted_console.h"
#include "support/zip_writer.h"

namespace Arkova {
namespace {

using Testing::ReadText;
using Testing::ScratchFolder;
using Testing::ScriptedConsole;
using Testing::WriteText;
using Testing::ZipWriter;

class CliJobsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ZipWriter zip;
        zip.Folder("docs/").File("docs/a.txt", "new a").File("docs/sub/b.txt", "new b").File("top.txt", "new top");
        ASSERT_TRUE(zip.Finish().WriteTo(archive_));
    }
    int Run(std::vector<std::wstring> arguments) { return Cli::RunCli(arguments, console_); }
    std::wstring Out(const std::wstring& relative) const { return folder_ / (L"out/" + relative); }

    ScratchFolder folder_;
    std::wstring archive_ = folder_ / L"a.zip";
    std::wstring out_ = folder_ / L"out";
    ScriptedConsole console_;
};

TEST_F(CliJobsTest, ExistingFilesFollowTheSwitchesOrAreSkippedAndNamedWithoutATerminal) {
    ASSERT_TRUE(Platform::MakeDirectories(Out(L"docs")));
    WriteText(Out(L"docs/a.txt"), "old a");
    EXPECT_EQ(Run({L"x", archive_, L"-o", out_}), Cli::kExitSomeFailed);
    EXPECT_EQ(ReadText(Out(L"docs/a.txt")), "old a");
    EXPECT_EQ(ReadText(Out(L"docs/sub/b.txt")), "new b");
    EXPECT_NE(console_.err.find(L"docs/a.txt: skipped, the file exists"), std::wstring::npos) << console_.err;

    EXPECT_EQ(Run({L"x", archive_, L"-o", out_, L"-n"}), Cli::kExitOk);
    EXPECT_EQ(ReadText(Out(L"docs/a.txt")), "old a");
    EXPECT_EQ(Run({L"x", archive_, L"-o", out_, L"-y"}), Cli::kExitOk);
    EXPECT_EQ(ReadText(Out(L"docs/a.txt")), "new a");

    console_.inputIsTerminal = true;
    console_.answers = {L"R"};
    EXPECT_EQ(Run({L"x", archive_, L"-o", out_, L"--sequential"}), Cli::kExitOk) << console_.err;
    EXPECT_EQ(console_.questionsAnswered, 1);
    EXPECT_EQ(ReadText(Out(L"top (2).txt")), "new top");
}

TEST_F(CliJobsTest, NamedEntriesAndFoldersExtractAloneAndUnknownNamesAreRefused) {
    EXPECT_EQ(Run({L"x", archive_, L"-o", out_, L"docs/sub", L"top.txt"}), Cli::kExitOk) << console_.err;
    EXPECT_EQ(ReadText(Out(L"docs/sub/b.txt")), "new b");
    EXPECT_EQ(ReadText(Out(L"top.txt")), "new top");
    EXPECT_FALSE(Platform::PathExists(Out(L"docs/a.txt")));

    EXPECT_EQ(Run({L"x", archive_, L"-o", out_, L"nothing.txt"}), Cli::kExitUsageOrOpen);
    EXPECT_NE(console_.err.find(L"no entry 'nothing.txt'"), std::wstring::npos);
    EXPECT_EQ(Run({L"l", archive_, L"top.txt"}), Cli::kExitUsageOrOpen) << "only x takes entry names";
}

TEST_F(CliJobsTest, NamedEntriesNeverReplaceFilesTheUserDidNotAgreeToReplace) {
    ASSERT_TRUE(Platform::MakeDirectories(Out(L"docs/sub")));
    WriteText(Out(L"top.txt"), "mine");
    WriteText(Out(L"docs/sub/b.txt"), "mine too");
    EXPECT_EQ(Run({L"x", archive_, L"-o", out_, L"-n", L"docs", L"top.txt"}), Cli::kExitOk) << console_.err;
    EXPECT_EQ(ReadText(Out(L"top.txt")), "mine");
    EXPECT_EQ(ReadText(Out(L"docs/sub/b.txt")), "mine too");
    EXPECT_EQ(ReadText(Out(L"docs/a.txt")), "new a");

    EXPECT_EQ(Run({L"x", archive_, L"-o", out_, L"docs", L"top.txt"}), Cli::kExitSomeFailed);
    EXPECT_EQ(ReadText(Out(L"top.txt")), "mine") << "without a terminal nobody agreed";
    EXPECT_NE(console_.err.find(L"top.txt: skipped"), std::wstring::npos);

    EXPECT_EQ(Run({L"x", archive_, L"-o", out_, L"-y", L"docs", L"top.txt"}), Cli::kExitOk);
    EXPECT_EQ(ReadText(Out(L"top.txt")), "new top");
}

TEST_F(CliJobsTest, FlatAndNewerOnlyGoEntryByEntry) {
    EXPECT_EQ(Run({L"x", archive_, L"-o", out_, L"--flat"}), Cli::kExitOk) << console_.err;
    EXPECT_EQ(ReadText(Out(L"b.txt")), "new b");
    EXPECT_FALSE(Platform::PathExists(Out(L"docs")));

    WriteText(Out(L"top.txt"), "edited later");  // its time is now, newer than the entry's
    EXPECT_EQ(Run({L"x", archive_, L"-o", out_, L"--flat", L"--newer"}), Cli::kExitOk);
    EXPECT_EQ(ReadText(Out(L"top.txt")), "edited later");
}

TEST_F(CliJobsTest, ShellSwitchesExtractBesideOrIntoANewFolderAndTest) {
    std::wstring archive = folder_ / L"shelf/a.zip";
    ASSERT_TRUE(Platform::MakeDirectories(folder_ / L"shelf"));
    ASSERT_TRUE(Platform::RenamePath(archive_, archive, false));

    EXPECT_EQ(Run({L"/EXTRACTNEWFOLDER", archive}), Cli::kExitOk) << console_.err;
    EXPECT_EQ(ReadText(folder_ / L"shelf/a/top.txt"), "new top");
    EXPECT_EQ(Run({L"-extracthere", archive}), Cli::kExitOk) << console_.err;
    EXPECT_EQ(ReadText(folder_ / L"shelf/docs/a.txt"), "new a");
    EXPECT_EQ(Run({L"/test", archive}), Cli::kExitOk);
    EXPECT_NE(console_.out.find(L"All 3 file(s) passed."), std::wstring::npos);
    EXPECT_EQ(Run({L"/extracthere", folder_ / L"missing.zip"}), Cli::kExitUsageOrOpen);
}

}  // namespace
}  // namespace Arkova
