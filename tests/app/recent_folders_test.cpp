// The recent destination list: most recent first, no duplicates, at most 20, and no stale values left behind when
// the list shrinks; folders that no longer exist are not offered.
#include <gtest/gtest.h>

#include "app/recent_folders.h"
#include "app/settings.h"
#include "platform/file_system.h"
#include "support/registry_sandbox.h"
#include "support/scratch_folder.h"

namespace Arkova {
namespace {

class RecentFoldersTest : public ::testing::Test {
protected:
    std::wstring MakeFolder(int number) {
        std::wstring path = scratch_ / (L"folder" + std::to_wstring(number));
        EXPECT_TRUE(Platform::MakeDirectory(path));
        return path;
    }

    std::wstring Stored(std::size_t index) {
        std::wstring text;
        return ReadString(RecentFolderValueName(index), text) ? text : L"<absent>";
    }

    Testing::RegistrySandbox sandbox_;
    Testing::ScratchFolder scratch_;
};

TEST_F(RecentFoldersTest, AddingMovesToTheFrontAndDropsTheOldest) {
    std::vector<std::wstring> folders;
    for (int i = 0; i < 5; ++i) AddRecentFolder(folders, MakeFolder(i));
    std::wstring third = folders[2];
    AddRecentFolder(folders, third);
    ASSERT_EQ(folders.size(), 5u);
    EXPECT_EQ(folders[0], third);
    EXPECT_EQ(Stored(0), third);
    EXPECT_EQ(LoadRecentFolders(), folders);

    // Trailing separators and case make a different entry.
    AddRecentFolder(folders, third + Platform::kPathSeparator);
    EXPECT_EQ(folders.size(), 6u);
    AddRecentFolder(folders, L"");
    EXPECT_EQ(folders.size(), 6u);

    folders.clear();
    for (int i = 0; i < 21; ++i) AddRecentFolder(folders, MakeFolder(100 + i));
    ASSERT_EQ(folders.size(), kMaxRecentFolders);
    EXPECT_EQ(Stored(0), scratch_ / L"folder120");
    EXPECT_EQ(Stored(19), scratch_ / L"folder101");  // the 20th most recent; folder100 was dropped
    EXPECT_EQ(Stored(20), L"<absent>");
}

TEST_F(RecentFoldersTest, VanishedFoldersAreSkippedAndTheirSlotsClearedOnTheNextSave) {
    std::vector<std::wstring> folders;
    for (int i = 0; i < 4; ++i) AddRecentFolder(folders, MakeFolder(i));
    ASSERT_TRUE(Platform::RemoveEmptyDirectory(scratch_ / L"folder2"));
    ASSERT_TRUE(WriteString(RecentFolderValueName(7), L""));

    std::vector<std::wstring> loaded = LoadRecentFolders();
    ASSERT_EQ(loaded.size(), 3u);
    EXPECT_EQ(loaded[0], scratch_ / L"folder3");
    EXPECT_EQ(loaded[1], scratch_ / L"folder1");
    EXPECT_EQ(Stored(3), scratch_ / L"folder0");  // loading removes nothing

    AddRecentFolder(loaded, scratch_ / L"folder1");
    EXPECT_EQ(Stored(0), scratch_ / L"folder1");
    EXPECT_EQ(Stored(2), scratch_ / L"folder0");
    EXPECT_EQ(Stored(3), L"<absent>");
    EXPECT_EQ(Stored(7), L"<absent>");
}

}  // namespace
}  // namespace Arkova
