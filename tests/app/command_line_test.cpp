// The command line as Explorer verbs and users pass it: quoting, switch forms, and the order rules.
#include <gtest/gtest.h>

#include "app/command_line.h"
#include "platform/file_system.h"
#include "support/scratch_folder.h"

namespace Arkova {
namespace {

const std::wstring kProgram = L"\"C:\\Program Files\\Arkova\\arkova.exe\"";

ParsedCommandLine Parse(const std::wstring& arguments) { return ParseCommandLine(kProgram + L" " + arguments); }

TEST(ParseCommandLineTest, ProgramAloneAsksForNothing) {
    ParsedCommandLine parsed = ParseCommandLine(kProgram);
    EXPECT_EQ(parsed.action, ActionNone);
    EXPECT_EQ(parsed.path, L"");
    EXPECT_EQ(ParseCommandLine(L"").action, ActionNone);
}

TEST(ParseCommandLineTest, QuotedPathKeepsItsSpacesAndLosesItsQuotes) {
    ParsedCommandLine parsed = Parse(L"\"D:\\my files\\a b.zip\"");
    EXPECT_EQ(parsed.action, ActionOpen);
    EXPECT_EQ(parsed.path, L"D:\\my files\\a b.zip");
}

TEST(ParseCommandLineTest, QuotesInsideATokenStay) {
    EXPECT_EQ(Parse(L"a\"b c\"d").path, L"a\"b c\"d");
}

TEST(ParseCommandLineTest, SwitchesMatchWholeAndIgnoreCase) {
    struct Case {
        std::wstring arguments;
        CommandAction action;
        std::wstring path;
    };
    const Case cases[] = {
        {L"/EXTRACTTO a.zip", ActionExtractTo, L"a.zip"},
        {L"-extract a.zip", ActionExtractHere, L"a.zip"},
        {L"/extracthere a.zip", ActionExtractHere, L"a.zip"},
        {L"/ExtractNewFolder a.zip", ActionExtractNewFolder, L"a.zip"},
        {L"-preview -odd.zip", ActionPreview, L"-odd.zip"},
        {L"/test", ActionTest, L""},
        {L"/extracthere", ActionExtractHere, L""},
        {L"a.zip /test", ActionTest, L"a.zip"},
        {L"/test a.zip b.zip", ActionTest, L"b.zip"},
        {L"/bogus a.zip", ActionOpen, L"a.zip"},
        {L"/extractt a.zip", ActionOpen, L"a.zip"},
        {L"/register", ActionRegister, L""},
        {L"-UNREGISTER a.zip", ActionUnregister, L"a.zip"},
        {L"a.zip /register", ActionRegister, L"a.zip"},
        {L"/test a.zip /extractto b.zip", ActionExtractTo, L"b.zip"},
    };
    for (const Case& c : cases) {
        ParsedCommandLine parsed = Parse(c.arguments);
        EXPECT_EQ(parsed.action, c.action) << std::string(c.arguments.begin(), c.arguments.end());
        EXPECT_EQ(parsed.path, c.path) << std::string(c.arguments.begin(), c.arguments.end());
    }
}

TEST(ParseCommandLineTest, QuietIsAFlagBesideTheAction) {
    EXPECT_FALSE(Parse(L"/register").quiet);
    ParsedCommandLine quiet = Parse(L"/register -QUIET");
    EXPECT_TRUE(quiet.quiet);
    EXPECT_EQ(quiet.action, ActionRegister);
    // Neither an action of its own nor a switch that takes the next token as its path.
    ParsedCommandLine before = Parse(L"/quiet a.zip");
    EXPECT_TRUE(before.quiet);
    EXPECT_EQ(before.action, ActionOpen);
    EXPECT_EQ(before.path, L"a.zip");
    EXPECT_FALSE(Parse(L"/quieter a.zip").quiet);
}

TEST(ParseCommandLineTest, OnlySpacesSeparate) {
    EXPECT_EQ(Parse(L"a.zip\tb.zip").path, L"a.zip\tb.zip");
    EXPECT_EQ(Parse(L"   a.zip    ").path, L"a.zip");
}

TEST(ArchiveFolderTest, CutsAtTheLastSeparator) {
    std::wstring sep(1, Platform::kPathSeparator);
    EXPECT_EQ(ArchiveFolder(L"D" + sep + L"sub" + sep + L"a.zip"), L"D" + sep + L"sub");
    EXPECT_EQ(ArchiveFolder(L"a.zip"), L".");
}

TEST(NewFolderTargetTest, SkipsTakenNamesOfFilesAndFolders) {
    Testing::ScratchFolder folder;
    std::wstring archive = folder / L"a.zip";
    EXPECT_EQ(NewFolderTarget(archive), folder / L"a");
    ASSERT_TRUE(Platform::MakeDirectories(folder / L"a"));
    ASSERT_TRUE(Platform::MakeDirectories(folder / L"a (2)"));
    EXPECT_EQ(NewFolderTarget(archive), folder / L"a (3)");
    ASSERT_TRUE(Testing::WriteText(folder / L"a (3)", "a file counts too"));
    EXPECT_EQ(NewFolderTarget(archive), folder / L"a (4)");
}

TEST(NewFolderTargetTest, RemovesOnlyTheLastExtension) {
    Testing::ScratchFolder folder;
    EXPECT_EQ(NewFolderTarget(folder / L"a.tar.gz"), folder / L"a.tar");
    EXPECT_EQ(NewFolderTarget(folder / L"README"), folder / L"README");
}

}  // namespace
}  // namespace Arkova
