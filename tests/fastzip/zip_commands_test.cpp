// arkova-cli on ZIP archives: the engine extracts into a hidden folder and the results move into the destination,
// so existing files survive unless the user said to overwrite them, and the hidden folder never stays behind.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/zip_commands.h"
#include "platform/file_system.h"
#include "support/scratch_folder.h"
#include "support/scripted_console.h"
#include "support/zip_writer.h"

namespace Arkova::Cli {
namespace {

using Testing::ReadText;
using Testing::ScratchFolder;
using Testing::ScriptedConsole;
using Testing::ZipWriter;

class ZipCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ZipWriter zip;
        zip.Folder("docs/").File("docs/a.txt", "new a").File("docs/sub/b.txt", "new b").File("top.txt", "new top");
        zip.Finish().WriteTo(archive_);
        options_.command = Command::Extract;
        options_.archive = archive_;
        options_.outputFolder = destination_;
        options_.quiet = true;
    }

    // No hidden working folder stays in the destination.
    bool NoStagingFolderLeft() const {
        for (const auto& item : std::filesystem::directory_iterator(std::filesystem::path(destination_))) {
            if (item.path().filename().wstring().rfind(L".arkova-extract", 0) == 0) return false;
        }
        return true;
    }

    ScratchFolder folder_;
    std::wstring archive_ = folder_ / L"a.zip";
    std::wstring destination_ = folder_ / L"out";
    Options options_;
    ScriptedConsole console_;
};

TEST_F(ZipCommandsTest, RecognisesZipArchives) {
    EXPECT_TRUE(IsZipArchive(archive_));
    Testing::WriteText(folder_ / L"x.alz", "ALZ\x01");
    EXPECT_FALSE(IsZipArchive(folder_ / L"x.alz"));
    EXPECT_FALSE(IsZipArchive(folder_ / L"missing.zip"));
}

TEST_F(ZipCommandsTest, ExtractsIntoAFreshFolder) {
    EXPECT_EQ(RunZipExtract(options_, console_), 0) << console_.err;
    EXPECT_EQ(ReadText(folder_ / L"out/docs/sub/b.txt"), "new b");
    EXPECT_EQ(ReadText(folder_ / L"out/top.txt"), "new top");
    EXPECT_TRUE(NoStagingFolderLeft());
    EXPECT_NE(console_.out.find(L"Extracted 3 file(s) and 1 folder(s)"), std::wstring::npos) << console_.out;
}

TEST_F(ZipCommandsTest, ExistingFilesFollowThePolicy) {
    Platform::MakeDirectories(folder_ / L"out/docs");
    Testing::WriteText(folder_ / L"out/docs/a.txt", "old a");
    Testing::WriteText(folder_ / L"out/docs/keep.txt", "unrelated");

    options_.existing = ExistingFiles::SkipAll;
    EXPECT_EQ(RunZipExtract(options_, console_), 0) << console_.err;
    EXPECT_EQ(ReadText(folder_ / L"out/docs/a.txt"), "old a");
    EXPECT_EQ(ReadText(folder_ / L"out/docs/sub/b.txt"), "new b") << "new files in an existing folder are merged";
    EXPECT_EQ(ReadText(folder_ / L"out/docs/keep.txt"), "unrelated");

    ScriptedConsole unattended;  // asked, but nobody can answer: skip and say so
    options_.existing = ExistingFiles::Ask;
    EXPECT_EQ(RunZipExtract(options_, unattended), 1);
    EXPECT_EQ(ReadText(folder_ / L"out/docs/a.txt"), "old a");
    EXPECT_NE(unattended.err.find(L"skipped, the file exists"), std::wstring::npos) << unattended.err;

    ScriptedConsole person;
    person.inputIsTerminal = true;
    person.answers = {L"r", L"y", L"n"};
    EXPECT_EQ(RunZipExtract(options_, person), 0) << person.err;
    EXPECT_EQ(ReadText(folder_ / L"out/docs/a (2).txt"), "new a");
    EXPECT_EQ(ReadText(folder_ / L"out/docs/sub/b.txt"), "new b");

    options_.existing = ExistingFiles::OverwriteAll;
    EXPECT_EQ(RunZipExtract(options_, console_), 0) << console_.err;
    EXPECT_EQ(ReadText(folder_ / L"out/docs/a.txt"), "new a");
    EXPECT_TRUE(NoStagingFolderLeft());
}

TEST_F(ZipCommandsTest, FailuresAreReportedAndTheHiddenFolderRemoved) {
    ZipWriter zip;
    Testing::ZipWriterEntry damaged;
    damaged.name = "damaged.txt";
    damaged.content = Testing::ToBytes("content");
    damaged.crc = 99;
    zip.File("good.txt", "good").Add(damaged);
    zip.Finish().WriteTo(archive_);
    EXPECT_EQ(RunZipExtract(options_, console_), 1);
    EXPECT_NE(console_.err.find(L"CRC mismatch in 'damaged.txt'"), std::wstring::npos) << console_.err;
    EXPECT_NE(console_.out.find(L"1 error(s)"), std::wstring::npos) << console_.out;
    EXPECT_FALSE(Platform::PathExists(folder_ / L"out/damaged.txt"));

    ZipWriter hostile;
    hostile.File("../evil.txt", "x").File("fine.txt", "fine");
    hostile.Finish().WriteTo(archive_);
    EXPECT_EQ(RunZipExtract(options_, console_), 1);
    EXPECT_FALSE(Platform::PathExists(folder_ / L"evil.txt"));
    EXPECT_EQ(ReadText(folder_ / L"out/fine.txt"), "fine");

    Testing::WriteText(archive_, "PK\x05\x06 but nothing else of a ZIP archive");
    EXPECT_EQ(RunZipExtract(options_, console_), 2);
    EXPECT_TRUE(NoStagingFolderLeft());
}

}  // namespace
}  // namespace Arkova::Cli
