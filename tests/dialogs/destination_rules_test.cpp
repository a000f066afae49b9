// Guards the destination dialog's path rules: a wrong start folder, a typed path the tree cannot follow, new
// folders that collide or number wrongly, a rename that moves the folder out of its parent, and a subfolder that
// loses the archive's name.
#include <gtest/gtest.h>

#include <set>

#include "dialogs/destination_rules.h"

namespace Arkova {
namespace {

using Steps = std::vector<std::wstring>;

TEST(DestinationRulesTest, StartsInTheArchivesFolderOrNowhere) {
    EXPECT_EQ(InitialFolderOf(L"C:\\data\\set.zip"), L"C:\\data");
    EXPECT_EQ(InitialFolderOf(L"C:\\data/sub/set.zip"), L"C:\\data/sub");
    EXPECT_EQ(InitialFolderOf(L"C:\\set.zip"), L"C:\\");
    EXPECT_EQ(InitialFolderOf(L"C:/set.zip"), L"C:/");
    EXPECT_EQ(InitialFolderOf(L"set.zip"), L"");
}

TEST(DestinationRulesTest, NavigationWalksFromTheDriveThroughEachComponent) {
    EXPECT_EQ(NavigationSteps(L"C:\\a/b\\\\c\\"), (Steps{L"C:", L"C:\\a", L"C:\\a\\b", L"C:\\a\\b\\c"}));
    EXPECT_EQ(NavigationSteps(L"d:"), (Steps{L"d:"}));
    EXPECT_EQ(NavigationSteps(L"C:\\"), (Steps{L"C:"}));
    EXPECT_EQ(NavigationSteps(L"C:새 폴더"), (Steps{L"C:", L"C:\\새 폴더"}));
    // UNC, relative and empty paths are not followed.
    EXPECT_TRUE(NavigationSteps(L"\\\\server\\share").empty());
    EXPECT_TRUE(NavigationSteps(L"folder\\sub").empty());
    EXPECT_TRUE(NavigationSteps(L"1:\\x").empty());
    EXPECT_TRUE(NavigationSteps(L"").empty());
}

TEST(DestinationRulesTest, NewFoldersTakeTheFirstFreeNumberedName) {
    std::set<std::wstring> taken;
    auto exists = [&](const std::wstring& path) { return taken.count(path) != 0; };
    EXPECT_EQ(FreeNewFolderPath(L"C:\\out", exists), L"C:\\out\\새 폴더");
    taken.insert(L"C:\\out\\새 폴더");
    EXPECT_EQ(FreeNewFolderPath(L"C:\\out", exists), L"C:\\out\\새 폴더 (1)");
    taken.insert(L"C:\\out\\새 폴더 (1)");
    taken.insert(L"C:\\out\\새 폴더 (3)");
    EXPECT_EQ(FreeNewFolderPath(L"C:\\out", exists), L"C:\\out\\새 폴더 (2)");
    // The separator is always added.
    EXPECT_EQ(FreeNewFolderPath(L"C:\\", exists), L"C:\\\\새 폴더");
    EXPECT_EQ(FreeNewFolderPath(L"C:\\x", [](const std::wstring&) { return true; }), L"");
}

TEST(DestinationRulesTest, ARenameStaysInTheParentFolder) {
    using Kind = FolderRename::Kind;
    FolderRename moved = PlanFolderRename(L"C:\\out\\새 폴더", L"사진 모음");
    EXPECT_EQ(moved.kind, Kind::Move);
    EXPECT_EQ(moved.target, L"C:\\out\\사진 모음");
    EXPECT_EQ(PlanFolderRename(L"C:\\out/new", L"Photos").target, L"C:\\out\\Photos");

    EXPECT_EQ(PlanFolderRename(L"C:\\out\\Photos", L"PHOTOS").kind, Kind::Unchanged);
    EXPECT_EQ(PlanFolderRename(L"C:\\out\\새 폴더", L"새 폴더").kind, Kind::Unchanged);
    EXPECT_EQ(PlanFolderRename(L"C:\\out\\새 폴더", L"").kind, Kind::Unchanged);
    EXPECT_EQ(PlanFolderRename(L"", L"name").kind, Kind::Unchanged);

    EXPECT_EQ(PlanFolderRename(L"C:\\out\\새 폴더", L"..").kind, Kind::Invalid);
    EXPECT_EQ(PlanFolderRename(L"C:\\out\\새 폴더", L"..\\up").kind, Kind::Invalid);
    EXPECT_EQ(PlanFolderRename(L"C:\\out\\새 폴더", L"a/b").kind, Kind::Invalid);
}

TEST(DestinationRulesTest, SubfolderIsTheArchiveNameWithoutItsLastExtension) {
    EXPECT_EQ(SubfolderDestination(L"C:\\out", L"D:\\in\\사진.zip"), L"C:\\out\\사진");
    EXPECT_EQ(SubfolderDestination(L"C:\\out", L"D:\\in/backup.tar.gz"), L"C:\\out\\backup.tar");
    EXPECT_EQ(SubfolderDestination(L"C:\\out", L"D:\\in.d\\README"), L"C:\\out\\README");
    EXPECT_EQ(SubfolderDestination(L"C:\\out", L"set.alz"), L"C:\\out\\set");
    EXPECT_EQ(SubfolderDestination(L"C:\\", L"D:\\in\\set.egg"), L"C:\\set");
    // Cutting would leave no name: the files would land in the destination itself.
    EXPECT_EQ(SubfolderDestination(L"C:\\out", L"D:\\in\\.zip"), L"C:\\out\\.zip");
}

}  // namespace
}  // namespace Arkova
