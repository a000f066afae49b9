// arkova-cli on every format it opens, with archives made by the real tools: each lists, passes the test and
// extracts to the same tree; ZIP goes through the engine or, when asked or needed, entry by entry; RAR goes through
// the UnRAR library, and a damaged RAR entry is reported by name while the rest extracts; names the extension table
// does not know are detected by their contents; tarballs extract their tar, and trailing bytes after a compressed
// stream are a warning.
#include <gtest/gtest.h>

#include "cli/commands.h"
#include "fixtures.h"
#include "platform/file_system.h"
#include "platform/text.h"
#include "support/egg_writer.h"
#include "support/rar5_writer.h"
#include "support/scratch_folder.h"
#include "support/scripted_console.h"
#include "support/zip_writer.h"

namespace Arkova {
namespace {

using Testing::ReadText;
using Testing::ScratchFolder;
using Testing::ScriptedConsole;

struct FormatCase {
    const wchar_t* archive;
    const wchar_t* extra = nullptr;  // one more argument, e.g. a password
    bool korean = true;              // holds the Korean-named file (gcab keeps only ASCII names here)
};

class CliFormatTest : public ::testing::TestWithParam<FormatCase> {
protected:
    int Run(std::vector<std::wstring> arguments) {
        if (GetParam().extra != nullptr) arguments.push_back(GetParam().extra);
        return Cli::RunCli(arguments, console_);
    }

    std::string Diagnostics() const { return Platform::WideToUtf8(console_.out + L"\n" + console_.err); }

    ScratchFolder folder_;
    ScriptedConsole console_;
};

TEST_P(CliFormatTest, ListsTestsAndExtracts) {
    ARKOVA_REQUIRE_FIXTURE(archive, GetParam().archive);
    ASSERT_EQ(Run({L"l", archive}), Cli::kExitOk) << Diagnostics();
    EXPECT_NE(console_.out.find(L"big.txt"), std::wstring::npos) << Diagnostics();

    ASSERT_EQ(Run({L"t", archive, L"-q"}), Cli::kExitOk) << Diagnostics();
    EXPECT_NE(console_.out.find(L"Archive Test Result - OK"), std::wstring::npos) << Diagnostics();

    std::wstring out = folder_ / L"out";
    ASSERT_EQ(Run({L"x", archive, L"-q", L"-o", out}), Cli::kExitOk) << Diagnostics();
    EXPECT_EQ(ReadText(folder_ / L"out/tree/a.txt"), "alpha\n");
    EXPECT_TRUE(ReadText(folder_ / L"out/tree/sub/deeper/big.txt") == Testing::BigFileText());
    if (GetParam().korean) {
        EXPECT_EQ(ReadText(folder_ / L"out/tree/sub/한글 이름.txt"), "한글 내용\n");
    }
    std::uint64_t time = 0;
    ASSERT_TRUE(Platform::LastWriteTime(folder_ / L"out/tree/a.txt", time));
    EXPECT_EQ(time, Testing::kFixtureTime);
}

INSTANTIATE_TEST_SUITE_P(
    EveryFormat, CliFormatTest,
    ::testing::Values(FormatCase{L"tree.zip"}, FormatCase{L"tree.zip", L"--sequential"}, FormatCase{L"x.dat"},
                      FormatCase{L"tree.7z"}, FormatCase{L"encrypted.7z", L"-pSecret"},
                      FormatCase{L"encrypted-headers.7z", L"-pSecret"}, FormatCase{L"encrypted.zip", L"-pSecret"},
                      FormatCase{L"encrypted-aes.zip", L"-pSecret"}, FormatCase{L"tree.tar"}, FormatCase{L"tree.wim"},
                      FormatCase{L"tree.iso"}, FormatCase{L"tree.cab", nullptr, false}, FormatCase{L"tree.rar"},
                      FormatCase{L"tree-solid.rar"}, FormatCase{L"encrypted-headers.rar", L"-pSecret"},
                      FormatCase{L"tree-volumes.part1.rar"}, FormatCase{L"tree.tar.gz"}, FormatCase{L"tree.tar.xz"},
                      FormatCase{L"tarball.data"}, FormatCase{L"tree.cpio"}),
    [](const ::testing::TestParamInfo<FormatCase>& test) {
        std::string name =
            Platform::WideToUtf8(test.param.archive) + (test.param.extra != nullptr ? "_with_option" : "");
        for (char& c : name) {
            if (c == '.' || c == '-') c = '_';
        }
        return name;
    });

class CliArchiveTest : public ::testing::Test {
protected:
    int Run(const std::vector<std::wstring>& arguments) { return Cli::RunCli(arguments, console_); }
    std::string Diagnostics() const { return Platform::WideToUtf8(console_.out + L"\n" + console_.err); }

    ScratchFolder folder_;
    ScriptedConsole console_;
};

TEST_F(CliArchiveTest, SingleStreamFormatsExtractTheirOneFile) {
    for (const wchar_t* name : {L"single.txt.gz", L"single.txt.bz2", L"single.txt.xz"}) {
        ARKOVA_REQUIRE_FIXTURE(archive, name);
        std::wstring out = folder_ / name;
        ASSERT_EQ(Run({L"x", archive, L"-q", L"-o", out}), Cli::kExitOk) << Diagnostics();
        EXPECT_EQ(ReadText(Platform::JoinPath(out, L"single.txt")), "alpha\n") << Platform::WideToUtf8(name);
    }
}

// The data is delivered and the command succeeds; the trailing bytes are named in a warning.
TEST_F(CliArchiveTest, TrailingBytesAfterACompressedStreamAreAWarning) {
    ARKOVA_REQUIRE_FIXTURE(single, L"trailing.txt.gz");
    std::wstring out = folder_ / L"single";
    ASSERT_EQ(Run({L"x", single, L"-q", L"-o", out}), Cli::kExitOk) << Diagnostics();
    EXPECT_EQ(ReadText(Platform::JoinPath(out, L"single.txt")), "alpha\n");
    EXPECT_NE(console_.err.find(L"warning: "), std::wstring::npos) << Diagnostics();

    ARKOVA_REQUIRE_FIXTURE(tarball, L"trailing.tgz");
    console_.out.clear();
    console_.err.clear();
    ASSERT_EQ(Run({L"t", tarball, L"-q"}), Cli::kExitOk) << Diagnostics();
    EXPECT_NE(console_.err.find(L"warning: the gzip stream is followed by bytes"), std::wstring::npos) << Diagnostics();
    out = folder_ / L"tarball";
    ASSERT_EQ(Run({L"x", tarball, L"-q", L"-o", out}), Cli::kExitOk) << Diagnostics();
    EXPECT_TRUE(ReadText(Platform::JoinPath(out, L"tree/sub/deeper/big.txt")) == Testing::BigFileText());
}

// LZH (libarchive's test archive, when the corpus is there), ARJ and compress: no table names them.
TEST_F(CliArchiveTest, FormatsOnlyTheLibraryKnowsListTestAndExtract) {
    for (const wchar_t* name : {L"lh5.lzh", L"tree.arj", L"single.txt.Z"}) {
        std::wstring archive = Testing::FixturePath(name);
        if (archive.empty()) continue;
        console_.out.clear();
        console_.err.clear();
        ASSERT_EQ(Run({L"l", archive}), Cli::kExitOk) << Diagnostics();
        ASSERT_EQ(Run({L"t", archive, L"-q"}), Cli::kExitOk) << Diagnostics();
        std::wstring out = folder_ / name;
        ASSERT_EQ(Run({L"x", archive, L"-q", L"-o", out}), Cli::kExitOk) << Diagnostics();
    }
    ARKOVA_REQUIRE_FIXTURE(lzh, L"lh5.lzh");
    EXPECT_EQ(Testing::ReadBytes(folder_ / L"lh5.lzh/f").size(), 776u);
}

TEST_F(CliArchiveTest, ListingShowsMethodAndHostFromTheLibrary) {
    ARKOVA_REQUIRE_FIXTURE(archive, L"tree.7z");
    ASSERT_EQ(Run({L"l", archive}), Cli::kExitOk) << Diagnostics();
    EXPECT_NE(console_.out.find(L" Method "), std::wstring::npos) << Diagnostics();
    EXPECT_NE(console_.out.find(L"LZMA"), std::wstring::npos) << Diagnostics();
}

TEST_F(CliArchiveTest, ListingEndsWithTheArchiveCommentMadePrintable) {
    ARKOVA_REQUIRE_FIXTURE(rar, L"tree-best.rar");
    ASSERT_EQ(Run({L"l", rar}), Cli::kExitOk) << Diagnostics();
    EXPECT_NE(console_.out.find(L" folders\n\nComment:\nThe comment of the archive.\n"), std::wstring::npos)
        << Diagnostics();

    // A comment is the archive's text: its escape sequences must not reach the terminal.
    Testing::EggWriter writer;
    writer.ArchiveHeader().File("a.txt", "alpha");
    writer.Extra(Testing::kEggComment, Testing::ToBytes("first\r\nsecond \x1b[2J\r\n\r\n"));
    ASSERT_TRUE(writer.WriteTo(folder_ / L"noted.egg"));
    console_.out.clear();
    ASSERT_EQ(Run({L"l", folder_ / L"noted.egg"}), Cli::kExitOk) << Diagnostics();
    EXPECT_EQ(console_.out.substr(console_.out.find(L"\nComment:")), L"\nComment:\nfirst\nsecond ?[2J\n");

    ARKOVA_REQUIRE_FIXTURE(plain, L"tree-solid.rar");
    console_.out.clear();
    ASSERT_EQ(Run({L"l", plain}), Cli::kExitOk) << Diagnostics();
    EXPECT_EQ(console_.out.find(L"Comment:"), std::wstring::npos) << Diagnostics();
}

TEST_F(CliArchiveTest, WrongOrMissingPasswordsFailWithoutOutput) {
    ARKOVA_REQUIRE_FIXTURE(headers, L"encrypted-headers.7z");
    EXPECT_EQ(Run({L"l", headers}), Cli::kExitUsageOrOpen);
    EXPECT_NE(console_.err.find(L"PasswordRequired"), std::wstring::npos) << Diagnostics();

    ARKOVA_REQUIRE_FIXTURE(data, L"encrypted.zip");
    std::wstring out = folder_ / L"out";
    EXPECT_EQ(Run({L"x", data, L"-q", L"-pWrong", L"-o", out}), Cli::kExitSomeFailed);
    EXPECT_FALSE(Platform::PathExists(folder_ / L"out/tree/a.txt"));

    ARKOVA_REQUIRE_FIXTURE(rarHeaders, L"encrypted-headers.rar");
    EXPECT_EQ(Run({L"l", rarHeaders, L"-pWrong"}), Cli::kExitUsageOrOpen);
    EXPECT_NE(console_.err.find(L"PasswordRequired"), std::wstring::npos) << Diagnostics();
    ARKOVA_REQUIRE_FIXTURE(rarData, L"encrypted.rar");
    EXPECT_EQ(Run({L"x", rarData, L"-q", L"-pWrong", L"-o", out}), Cli::kExitSomeFailed);
    EXPECT_FALSE(Platform::PathExists(folder_ / L"out/tree/a.txt"));
}

TEST_F(CliArchiveTest, DamagedRarDataIsReportedByNameWhileTheRestExtracts) {
    std::wstring archive = folder_ / L"made.rar";
    Testing::Rar5Writer rar;
    ASSERT_TRUE(
        rar.Stored("plain.txt", "stored\n").Packed("packed.txt", std::string(300, 'x')).Finish().WriteTo(archive));
    ASSERT_EQ(Run({L"l", archive}), Cli::kExitOk) << Diagnostics();
    EXPECT_NE(console_.out.find(L"packed.txt"), std::wstring::npos);

    std::wstring out = folder_ / L"out";
    EXPECT_EQ(Run({L"x", archive, L"-q", L"-o", out}), Cli::kExitSomeFailed);
    EXPECT_NE(console_.err.find(L"packed.txt: "), std::wstring::npos) << Diagnostics();
    EXPECT_EQ(ReadText(folder_ / L"out/plain.txt"), "stored\n");
    EXPECT_FALSE(Platform::PathExists(folder_ / L"out/packed.txt"));

    EXPECT_EQ(Run({L"t", archive, L"-q"}), Cli::kExitSomeFailed);
    EXPECT_NE(console_.out.find(L"1 passed, 1 error(s)"), std::wstring::npos) << Diagnostics();
}

TEST_F(CliArchiveTest, UnknownAndMisnamedFilesAreRefused) {
    ARKOVA_REQUIRE_FIXTURE(misnamed, L"zip-named.rar");
    EXPECT_EQ(Run({L"l", misnamed}), Cli::kExitUsageOrOpen);
    EXPECT_NE(console_.err.find(L"InvalidArchive"), std::wstring::npos) << Diagnostics();

    std::wstring text = folder_ / L"notes.bin";
    ASSERT_TRUE(Testing::WriteText(text, "just some text, not an archive"));
    EXPECT_EQ(Run({L"l", text}), Cli::kExitUsageOrOpen);
    EXPECT_NE(console_.err.find(L"UnsupportedFormat"), std::wstring::npos) << Diagnostics();
}

// An entry the engine cannot inflate sends the whole archive to the entry-by-entry path, so everything extracts.
TEST_F(CliArchiveTest, ZipWithOtherMethodsExtractsEntryByEntry) {
    ARKOVA_REQUIRE_FIXTURE(mixed, L"bzip2-method.zip");
    std::wstring out = folder_ / L"out";
    ASSERT_EQ(Run({L"x", mixed, L"-q", L"-o", out}), Cli::kExitOk) << Diagnostics();
    EXPECT_TRUE(ReadText(folder_ / L"out/tree/sub/deeper/big.txt") == Testing::BigFileText());
}

}  // namespace
}  // namespace Arkova
