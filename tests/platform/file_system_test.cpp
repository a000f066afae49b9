// File-system operations as the readers and jobs rely on them, the same on both platforms.
#include <gtest/gtest.h>

#include "platform/file.h"
#include "platform/file_system.h"
#include "support/scratch_folder.h"

namespace Arkova::Platform {
namespace {

using Testing::ScratchFolder;

TEST(FileSystemTest, ExistenceAndAttributesTellFilesFromFolders) {
    ScratchFolder folder;
    std::wstring file = folder / L"a.txt";
    ASSERT_TRUE(Testing::WriteText(file, "x"));
    EXPECT_TRUE(PathExists(file));
    EXPECT_TRUE(PathExists(folder.Path()));
    EXPECT_FALSE(PathExists(folder / L"missing"));
    EXPECT_FALSE(PathExists(L""));
    EXPECT_FALSE(IsDirectory(file));
    EXPECT_TRUE(IsDirectory(folder.Path()));
    std::uint32_t attributes = 0;
    ASSERT_TRUE(FileAttributes(folder.Path(), attributes));
    EXPECT_NE(attributes & kAttributeDirectory, 0u);
    EXPECT_FALSE(FileAttributes(folder / L"missing", attributes));
}

TEST(FileSystemTest, MakeDirectoriesCreatesParentsAndRefusesAFileInTheWay) {
    ScratchFolder folder;
    EXPECT_TRUE(MakeDirectories(folder / L"a/b/c"));
    EXPECT_TRUE(IsDirectory(folder / L"a/b"));
    EXPECT_TRUE(MakeDirectories(folder / L"a/b/c")) << "an existing folder is success";
    ASSERT_TRUE(Testing::WriteText(folder / L"file", "x"));
    EXPECT_FALSE(MakeDirectories(folder / L"file/sub"));
    EXPECT_FALSE(MakeDirectories(folder / L"file"));
}

TEST(FileSystemTest, RenameReplacesOnlyWhenAsked) {
    ScratchFolder folder;
    ASSERT_TRUE(Testing::WriteText(folder / L"from", "new"));
    ASSERT_TRUE(Testing::WriteText(folder / L"to", "old"));
    EXPECT_FALSE(RenamePath(folder / L"from", folder / L"to", false));
    EXPECT_EQ(Testing::ReadText(folder / L"to"), "old");
    EXPECT_TRUE(PathExists(folder / L"from"));
    EXPECT_TRUE(RenamePath(folder / L"from", folder / L"to", true));
    EXPECT_EQ(Testing::ReadText(folder / L"to"), "new");
    EXPECT_FALSE(PathExists(folder / L"from"));
    EXPECT_TRUE(RenamePath(folder / L"to", folder / L"moved", false));
}

TEST(FileSystemTest, RemoveTreeDeletesNestedContent) {
    ScratchFolder folder;
    ASSERT_TRUE(MakeDirectories(folder / L"tree/sub/deeper"));
    ASSERT_TRUE(Testing::WriteText(folder / L"tree/sub/deeper/f.txt", "x"));
    ASSERT_TRUE(Testing::WriteText(folder / L"tree/g.txt", "y"));
    EXPECT_TRUE(RemoveTree(folder / L"tree"));
    EXPECT_FALSE(PathExists(folder / L"tree"));
    EXPECT_TRUE(RemoveTree(folder / L"tree")) << "nothing to remove is success";
    ASSERT_TRUE(Testing::WriteText(folder / L"single", "z"));
    EXPECT_TRUE(RemoveFile(folder / L"single"));
    EXPECT_FALSE(RemoveFile(folder / L"single"));
}

TEST(FileSystemTest, LastWriteTimeRoundTripsToTheSecond) {
    ScratchFolder folder;
    std::wstring path = folder / L"stamped";
    ASSERT_TRUE(Testing::WriteText(path, "x"));
    const std::uint64_t stamp = 132224078450000000ULL;  // 2020-01-02 03:04:05 UTC
    ASSERT_TRUE(SetLastWriteTime(path, stamp));
    std::uint64_t read = 0;
    ASSERT_TRUE(LastWriteTime(path, read));
    EXPECT_EQ(read / 10000000, stamp / 10000000);
}

TEST(FileSystemTest, KoreanNamesSurviveTheRoundTrip) {
    ScratchFolder folder;
    std::wstring path = folder / L"\uD55C\uAE00 \uD30C\uC77C.txt";
    ASSERT_TRUE(Testing::WriteText(path, "hangul"));
    EXPECT_TRUE(PathExists(path));
    EXPECT_EQ(Testing::ReadText(path), "hangul");
}

TEST(FileSystemTest, JoinPathAddsExactlyOneSeparator) {
    std::wstring sep(1, kPathSeparator);
    EXPECT_EQ(JoinPath(L"a", L"b"), L"a" + sep + L"b");
    EXPECT_EQ(JoinPath(L"a" + sep, L"b"), L"a" + sep + L"b");
    EXPECT_EQ(JoinPath(L"a", sep + L"b"), L"a" + sep + L"b");
    EXPECT_EQ(JoinPath(L"", L"b"), L"b");
    EXPECT_EQ(LastSeparator(L"a" + sep + L"b" + sep + L"c"), 3u);
    EXPECT_EQ(LastSeparator(L"abc"), std::wstring::npos);
}

TEST(FileSystemTest, TempAndExecutablePathsExist) {
    EXPECT_TRUE(IsDirectory(TempDirectory()));
    std::wstring exe = ExecutablePath();
    ASSERT_FALSE(exe.empty());
    EXPECT_TRUE(PathExists(exe));
    EXPECT_NE(exe.find(L"platform_tests"), std::wstring::npos);
}

}  // namespace
}  // namespace Arkova::Platform
