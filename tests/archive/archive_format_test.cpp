// Format detection: the signature wins over the extension; the extension decides only when no signature matches.
#include <gtest/gtest.h>

#include "archive/archive_format.h"
#include "support/scratch_folder.h"

namespace Arkova {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(ArchiveFormatTest, SignaturesOfEveryFormat) {
    struct Case {
        Bytes head;
        ArchiveFormat format;
    };
    const Case cases[] = {
        {{0x1F, 0x8B, 8, 0}, ArchiveFormat::GZip},
        {{'7', 'z', 0xBC, 0xAF, 0x27, 0x1C}, ArchiveFormat::SevenZip},
        {{'A', 'L', 'Z', 1}, ArchiveFormat::Alz},
        {{'B', 'Z', 'h', '9'}, ArchiveFormat::BZip2},
        {{'E', 'G', 'G', 'A'}, ArchiveFormat::Egg},
        {{'M', 'S', 'C', 'F'}, ArchiveFormat::Cab},
        {{'P', 'K', 3, 4}, ArchiveFormat::Zip},
        {{'P', 'K', 5, 6}, ArchiveFormat::Zip},
        {{'R', 'a', 'r', '!', 0x1A, 7, 1, 0}, ArchiveFormat::Rar5},
        {{'R', 'a', 'r', '!', 0x1A, 7, 0}, ArchiveFormat::Rar},
        {{'R', 'a', 'r', '!', 0x1A, 7}, ArchiveFormat::Rar},
        {{0xFD, '7', 'z', 'X', 'Z', 0}, ArchiveFormat::Xz},
        {{0xFD, '7', 'z', 'X'}, ArchiveFormat::Unrecognized},
        {{'P', 'K', 7, 8}, ArchiveFormat::Unrecognized},
        {{'P', 'K', 3}, ArchiveFormat::Unrecognized},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatFromSignature(c.head.data(), c.head.size()), c.format) << c.head.size();
    }
}

TEST(ArchiveFormatTest, ExtensionsIgnoreCaseAndOnlyTheLastCounts) {
    EXPECT_EQ(FormatFromExtension(L"a.ZIP"), ArchiveFormat::Zip);
    EXPECT_EQ(FormatFromExtension(L"a.tar.gz"), ArchiveFormat::GZip);
    EXPECT_EQ(FormatFromExtension(L"a.TBZ2"), ArchiveFormat::BZip2);
    EXPECT_EQ(FormatFromExtension(L"disk.esd"), ArchiveFormat::Wim);
    EXPECT_EQ(FormatFromExtension(L"a.tar"), ArchiveFormat::Tar);
    EXPECT_EQ(FormatFromExtension(L"a.bin"), ArchiveFormat::Unrecognized);
    EXPECT_EQ(FormatFromExtension(L"noextension"), ArchiveFormat::Unrecognized);
}

TEST(ArchiveFormatTest, DetectionReadsTheFileBeforeTheName) {
    Testing::ScratchFolder folder;
    ASSERT_TRUE(Testing::WriteBytes(folder / L"zip.rar", {'P', 'K', 3, 4, 0, 0}));
    EXPECT_EQ(DetectArchiveFormat(folder / L"zip.rar"), ArchiveFormat::Zip);
    ASSERT_TRUE(Testing::WriteBytes(folder / L"x.dat", {'P', 'K', 3, 4, 0, 0}));
    EXPECT_EQ(DetectArchiveFormat(folder / L"x.dat"), ArchiveFormat::Zip);
    ASSERT_TRUE(Testing::WriteBytes(folder / L"short.zip", {'a', 'b', 'c'}));
    EXPECT_EQ(DetectArchiveFormat(folder / L"short.zip"), ArchiveFormat::Zip) << "too short: the name decides";
    ASSERT_TRUE(Testing::WriteBytes(folder / L"x.tar", Bytes(600, 0)));
    EXPECT_EQ(DetectArchiveFormat(folder / L"x.tar"), ArchiveFormat::Tar);
    ASSERT_TRUE(Testing::WriteBytes(folder / L"x.bin", Bytes(600, 0)));
    EXPECT_EQ(DetectArchiveFormat(folder / L"x.bin"), ArchiveFormat::Unrecognized);
    EXPECT_EQ(DetectArchiveFormat(folder / L"missing.7z"), ArchiveFormat::SevenZip);
    EXPECT_EQ(DetectArchiveFormat(L""), ArchiveFormat::Unrecognized);
}

}  // namespace
}  // namespace Arkova
