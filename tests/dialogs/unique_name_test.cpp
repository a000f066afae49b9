#include <gtest/gtest.h>

#include "dialogs/unique_name.h"
#include "platform/file_system.h"
#include "support/scratch_folder.h"

namespace Arkova {
namespace {

TEST(MakeUniqueNameTest, NumbersBeforeTheExtensionFromTwo) {
    Testing::ScratchFolder folder;
    EXPECT_EQ(MakeUniqueName(folder / L"report.txt"), folder / L"report (2).txt");
    ASSERT_TRUE(Testing::WriteText(folder / L"report (2).txt", "x"));
    EXPECT_EQ(MakeUniqueName(folder / L"report.txt"), folder / L"report (3).txt");
    EXPECT_EQ(MakeUniqueName(folder / L"archive.tar.gz"), folder / L"archive.tar (2).gz");
}

TEST(MakeUniqueNameTest, ADotInAFolderNameIsNoExtension) {
    Testing::ScratchFolder folder;
    EXPECT_EQ(MakeUniqueName(folder / L"data.old/readme"), folder / L"data.old/readme (2)");
}

}  // namespace
}  // namespace Arkova
