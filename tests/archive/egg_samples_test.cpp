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
    EXPECT_EQ(decoder.Items()[0].method, L"Store");
    EXPECT_EQ(decoder.Items()[1].method, L"Deflate");
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

TEST(EggSamplesTest, ArchiveCommentIsRead) {
    ARKOVA_REQUIRE_SAMPLE(path, L"globalcomment.egg");
    EggDecoder decoder;
    ASSERT_EQ(decoder.Open(path), DecodeResult::Ok);
    EXPECT_FALSE(decoder.ArchiveComment().empty());
    ASSERT_EQ(Paths(decoder), (std::vector<std::wstring>{L"test.txt"}));
    std::vector<std::uint8_t> data;
    ASSERT_EQ(decoder.ExtractToMemory(0, data), DecodeResult::Ok);
    EXPECT_EQ(std::string(data.begin(), data.end()), "Hello there my name is Andrew.");
}

TEST(EggSamplesTest, Bzip2AndLzmaEntries) {
    for (auto [name, method] : {std::pair{L"defaults_bz_optimized.egg", L"BZip2"}, {L"lzma_simple.egg", L"LZMA"}}) {
        ARKOVA_REQUIRE_SAMPLE(path, name);
        EggDecoder decoder;
        ASSERT_EQ(decoder.Open(path), DecodeResult::Ok);
        EXPECT_GE(decoder.ItemCount(), 2u);
        // The creating program picks a method per file; the text files take the one the archive is named for.
        EXPECT_EQ(decoder.Items()[0].method, method);
        ExpectEveryFileMatches(decoder);
    }
}

// The encrypted samples: each cipher decrypts with the password; a wrong one is refused before a byte is written.
TEST(EggSamplesTest, EncryptedEntriesOpenWithThePasswordOnly) {
    for (const wchar_t* name :
         {L"testzipenc.egg", L"lorem_long_zipEnc.egg", L"lorem_long_aes128.egg", L"lorem_long_store_lea128.egg"}) {
        ARKOVA_REQUIRE_SAMPLE(path, name);
        EggDecoder decoder;
        ASSERT_EQ(decoder.Open(path), DecodeResult::Ok) << path;
        ASSERT_EQ(decoder.ItemCount(), 1u);
        EXPECT_TRUE(decoder.HasEncryptedItems());
        Testing::ScratchFolder folder;
        decoder.SetPassword(L"password12345");
        EXPECT_EQ(decoder.ExtractAll(folder.Path()), DecodeResult::WrongPassword) << path;
        std::vector<Platform::DirectoryEntry> written;
        ASSERT_TRUE(Platform::ListDirectory(folder.Path(), written));
        EXPECT_TRUE(written.empty()) << path;
        decoder.SetPassword(L"password12345!");
        ExpectEveryFileMatches(decoder);
        ASSERT_EQ(decoder.ExtractAll(folder.Path()), DecodeResult::Ok);
    }
}

TEST(EggSamplesTest, EntryAndArchiveComments) {
    ARKOVA_REQUIRE_SAMPLE(path, L"lorem_long_zipEnc.egg");
    EggDecoder decoder;
    ASSERT_EQ(decoder.Open(path), DecodeResult::Ok);
    EXPECT_EQ(decoder.Items()[0].comment, L"This file is encrypted using ZIP.");
    EXPECT_FALSE(decoder.ArchiveComment().empty());
}

}  // namespace
}  // namespace Arkova
