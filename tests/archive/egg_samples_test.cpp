// Archives made by the format's own creating program, not by our writer.
#include <gtest/gtest.h>

#include "archive/crc32.h"
#include "archive/egg_decoder.h"
#include "platform/file_system.h"
#include "support/samples.h"
#include "support/scratch_folder.h"

namespace Arkova {
namespace {

std::vector<std::wstring> Paths(const EggDecoder& decoder) {
    std::vector<std::wstring> paths;
    for (const ArchiveItem& item : decoder.Items()) paths.push_back(item.path);
    return paths;
}

// Every file entry extracts to its stored size and CRC.
void ExpectEveryFileMatches(EggDecoder& decoder) {
    for (std::uint32_t i = 0; i < decoder.ItemCount(); ++i) {
        const ArchiveItem& item = decoder.Items()[i];
        if (item.isDirectory) continue;
        std::vector<std::uint8_t> data;
        ASSERT_EQ(decoder.ExtractToMemory(i, data), DecodeResult::Ok) << i;
        EXPECT_EQ(data.size(), item.size) << i;
        EXPECT_EQ(Crc32(data), item.crc) << i;
    }
}

TEST(EggSamplesTest, StoredAndDeflatedEntriesInFolders) {
    ARKOVA_REQUIRE_SAMPLE(path, L"basic_deflate_folders.egg");
    EggDecoder decoder;
    ASSERT_EQ(decoder.Open(path), DecodeResult::Ok);
    EXPECT_EQ(Paths(decoder), (std::vector<std::wstring>{L"backgrounds/bliss.jpg", L"lorems/Lorem_ipsum.pdf",
                                                         L"lorems/lorem_ipsum.txt"}));
    EXPECT_EQ(decoder.Items()[0].size, 745473u);
    EXPECT_EQ(decoder.Items()[0].packedSize, 745473u) << "stored";
    EXPECT_LT(decoder.Items()[1].packedSize, decoder.Items()[1].size) << "deflated";
    ExpectEveryFileMatches(decoder);
}

TEST(EggSamplesTest, ReadOnlyAndHiddenAttributes) {
    ARKOVA_REQUIRE_SAMPLE(path, L"lorem_short_readonlyhidden.egg");
    EggDecoder decoder;
    ASSERT_EQ(decoder.Open(path), DecodeResult::Ok);
    ASSERT_EQ(decoder.ItemCount(), 2u);
    EXPECT_EQ(decoder.Items()[0].attributes, 0x01u);
    EXPECT_EQ(decoder.Items()[1].attributes, 0x02u);
    EXPECT_NE(decoder.Items()[0].modifiedTime, 0u);
    ExpectEveryFileMatches(decoder);
}

TEST(EggSamplesTest, FolderWithoutABlockExtractsAsAFolder) {
    ARKOVA_REQUIRE_SAMPLE(path, L"extattr.egg");
    EggDecoder decoder;
    ASSERT_EQ(decoder.Open(path), DecodeResult::Ok);
    EXPECT_EQ(Paths(decoder), (std::vector<std::wstring>{L"Somehiddenfile.txt", L"ReadonlyFile.txt", L"test.txt",
                                                         L"Some folder/", L"testlink"}));
    EXPECT_TRUE(decoder.Items()[3].isDirectory);
    ExpectEveryFileMatches(decoder);
    Testing::ScratchFolder folder;
    ASSERT_EQ(decoder.ExtractAll(folder.Path()), DecodeResult::Ok);
    EXPECT_TRUE(Platform::IsDirectory(folder / L"Some folder"));
    EXPECT_EQ(Testing::ReadText(folder / L"testlink"), Testing::ReadText(folder / L"test.txt"));
}

TEST(EggSamplesTest, ArchiveCommentIsSkipped) {
    ARKOVA_REQUIRE_SAMPLE(path, L"globalcomment.egg");
    EggDecoder decoder;
    ASSERT_EQ(decoder.Open(path), DecodeResult::Ok);
    ASSERT_EQ(Paths(decoder), (std::vector<std::wstring>{L"test.txt"}));
    std::vector<std::uint8_t> data;
    ASSERT_EQ(decoder.ExtractToMemory(0, data), DecodeResult::Ok);
    EXPECT_EQ(std::string(data.begin(), data.end()), "Hello there my name is Andrew.");
}

TEST(EggSamplesTest, EncryptedEntryIsListedButNeverExtractedAsEmpty) {
    ARKOVA_REQUIRE_SAMPLE(path, L"testzipenc.egg");
    EggDecoder decoder;
    ASSERT_EQ(decoder.Open(path), DecodeResult::Ok);
    ASSERT_EQ(Paths(decoder), (std::vector<std::wstring>{L"test.txt"}));
    EXPECT_FALSE(decoder.HasEncryptedItems());
    Testing::ScratchFolder folder;
    EXPECT_EQ(decoder.ExtractAll(folder.Path()), DecodeResult::UnsupportedFormat);
    EXPECT_FALSE(Platform::PathExists(folder / L"test.txt"));
}

}  // namespace
}  // namespace Arkova
