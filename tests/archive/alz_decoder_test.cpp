// Listing ALZ archives: every header variant the format allows, and damaged files that must list what they can.
#include <gtest/gtest.h>

#include "archive/alz_decoder.h"
#include "platform/file_system.h"
#include "support/alz_writer.h"
#include "support/scratch_folder.h"

namespace Arkova {
namespace {

using Testing::AlzEntry;
using Testing::AlzWriter;
using Testing::ScratchFolder;

class AlzListTest : public ::testing::Test {
protected:
    DecodeResult Open(const AlzWriter& writer) {
        std::wstring path = folder_ / L"test.alz";
        decoder_.Close();  // Windows refuses to replace a file that is open
        EXPECT_TRUE(writer.WriteTo(path));
        return decoder_.Open(path);
    }

    ScratchFolder folder_;
    AlzDecoder decoder_;
};

TEST_F(AlzListTest, ListsFilesAndFoldersWithTheirHeaderFields) {
    AlzEntry file;
    file.name = "docs\\readme.txt";
    file.content = Testing::ToBytes("hello hello hello hello");
    file.dosDateTime = Testing::DosDateTime(2021, 6, 30, 23, 59, 58);
    file.attribute = 0x21;
    ASSERT_EQ(Open(AlzWriter().ArchiveHeader().Folder("docs").Add(file)), DecodeResult::Ok);

    ASSERT_EQ(decoder_.ItemCount(), 2u);
    const ArchiveItem& folder = decoder_.Items()[0];
    EXPECT_EQ(folder.path, L"docs");
    EXPECT_TRUE(folder.isDirectory);
    EXPECT_EQ(folder.size, 0u);
    EXPECT_EQ(folder.index, 0u);

    const ArchiveItem& item = decoder_.Items()[1];
    EXPECT_EQ(item.path, L"docs\\readme.txt") << "separators stay as stored";
    EXPECT_EQ(item.size, 23u);
    EXPECT_EQ(item.packedSize, Testing::DeflateRaw(file.content).size());
    EXPECT_EQ(item.attributes, 0x21u);
    EXPECT_FALSE(item.isDirectory);
    EXPECT_FALSE(item.isEncrypted);
    EXPECT_EQ(item.index, 1u);
    EXPECT_EQ(item.creationTime, 0u);
    // 2021-06-30 23:59:58 as a FILETIME of the same wall clock.
    EXPECT_EQ(item.modifiedTime, 132695711980000000ULL);
    EXPECT_TRUE(decoder_.IsOpen());
    EXPECT_FALSE(decoder_.HasEncryptedItems());
}

TEST_F(AlzListTest, Cp949NamesDecodeToKorean) {
    AlzWriter writer;
    writer.File("\xC7\xD1\xB1\xDB\\\xB9\xAE\xBC\xAD.txt", "text");  // 한글\문서.txt
    ASSERT_EQ(Open(writer), DecodeResult::Ok);
    EXPECT_EQ(decoder_.Items()[0].path, L"\uD55C\uAE00\\\uBB38\uC11C.txt");
}

TEST_F(AlzListTest, SizeWidthsDecideWhichFieldsFollow) {
    // W = 1, 2, 4, 8 carry sizes of that width; W = 3 (and other odd widths) carry method and CRC only, so such an
    // entry has sizes 0: an empty file or an empty folder.
    for (unsigned width : {1u, 2u, 4u, 8u}) {
        AlzEntry entry;
        entry.name = "w" + std::to_string(width);
        entry.content = Testing::ToBytes("ab");
        entry.method = 0;
        entry.sizeWidth = width;
        AlzEntry odd = entry;
        odd.name = "odd";
        odd.sizeWidth = 3;
        odd.storedData = Testing::Bytes{};
        AlzEntry oddFolder = odd;
        oddFolder.name = "oddfolder";
        oddFolder.attribute = 0x10;
        ASSERT_EQ(Open(AlzWriter().Add(entry).Add(odd).Add(oddFolder).File("after", "z", 0)), DecodeResult::Ok)
            << width;
        ASSERT_EQ(decoder_.ItemCount(), 4u) << width;
        EXPECT_EQ(decoder_.Items()[0].size, 2u);
        EXPECT_EQ(decoder_.Items()[0].packedSize, 2u);
        EXPECT_EQ(decoder_.Items()[1].path, L"odd");
        EXPECT_EQ(decoder_.Items()[1].size, 0u);
        EXPECT_EQ(decoder_.Items()[2].path, L"oddfolder");
        EXPECT_EQ(decoder_.Items()[3].path, L"after");
    }
}

TEST_F(AlzListTest, WideSizesAreReadInFull) {
    AlzEntry entry;
    entry.name = "big";
    entry.content = Testing::ToBytes("x");
    entry.sizeWidth = 8;
    entry.unpackedSize = 0x1'0000'0001ULL;
    ASSERT_EQ(Open(AlzWriter().Add(entry)), DecodeResult::Ok);
    EXPECT_EQ(decoder_.Items()[0].size, 0x1'0000'0001ULL);
}

TEST_F(AlzListTest, EmptyFilesAndFoldersAreListedAndExtractAsEmpty) {
    // An empty file once vanished from the list, and so from every extraction that reported success.
    AlzEntry empty;
    empty.name = "empty.txt";
    empty.method = 0;
    AlzEntry emptyDeflated = empty;
    emptyDeflated.name = "empty2.txt";
    emptyDeflated.method = 2;
    emptyDeflated.storedData = Testing::Bytes{};
    emptyDeflated.crc = 0;
    ASSERT_EQ(Open(AlzWriter().Folder("dir").Add(empty).Add(emptyDeflated).File("b", "b")), DecodeResult::Ok);
    ASSERT_EQ(decoder_.ItemCount(), 4u);
    EXPECT_EQ(decoder_.Items()[0].path, L"dir");
    EXPECT_EQ(decoder_.Items()[1].path, L"empty.txt");
    EXPECT_EQ(decoder_.Items()[1].size, 0u);
    EXPECT_EQ(decoder_.Items()[1].crc, 0u);
    EXPECT_EQ(decoder_.Items()[3].path, L"b");
    EXPECT_EQ(decoder_.Items()[3].index, 3u);
    Testing::ScratchFolder out;
    ASSERT_EQ(decoder_.ExtractAll(out.Path()), DecodeResult::Ok);
    EXPECT_TRUE(Platform::IsDirectory(out / L"dir"));
    for (const wchar_t* name : {L"empty.txt", L"empty2.txt"}) {
        ASSERT_TRUE(Platform::PathExists(out / name)) << name;
        EXPECT_EQ(Testing::ReadText(out / name), "") << name;
    }
}

TEST_F(AlzListTest, EncryptedEntryIsMarkedAndItsDataFollowsTheEncryptionHeader) {
    AlzEntry secret;
    secret.name = "secret";
    secret.content = Testing::ToBytes("data");
    secret.method = 0;
    secret.encrypted = true;
    ASSERT_EQ(Open(AlzWriter().Add(secret).File("plain", "ok", 0)), DecodeResult::Ok);
    ASSERT_EQ(decoder_.ItemCount(), 2u);
    EXPECT_TRUE(decoder_.Items()[0].isEncrypted);
    EXPECT_TRUE(decoder_.HasEncryptedItems());
    std::vector<std::uint8_t> data;
    EXPECT_EQ(decoder_.ExtractToMemory(1, data), DecodeResult::Ok) << "the 12 skipped bytes keep the scan aligned";
    EXPECT_EQ(std::string(data.begin(), data.end()), "ok");
}

TEST_F(AlzListTest, NameLengthZeroOrOverLongEndsTheListing) {
    for (std::uint16_t length : {std::uint16_t{0}, std::uint16_t{4096}}) {
        AlzEntry bad;
        bad.name = length == 0 ? "" : std::string(4096, 'n');
        bad.nameLength = length;
        bad.content = Testing::ToBytes("x");
        ASSERT_EQ(Open(AlzWriter().File("first", "1").Add(bad).File("never", "2")), DecodeResult::Ok) << length;
        ASSERT_EQ(decoder_.ItemCount(), 1u) << length;
        EXPECT_EQ(decoder_.Items()[0].path, L"first");
    }
}

TEST_F(AlzListTest, NameOfMaximumLengthIsListed) {
    AlzEntry longName;
    longName.name = std::string(4095, 'n');
    longName.content = Testing::ToBytes("x");
    ASSERT_EQ(Open(AlzWriter().Add(longName)), DecodeResult::Ok);
    EXPECT_EQ(decoder_.Items()[0].path.size(), 4095u);
}

TEST_F(AlzListTest, DamageKeepsTheEntriesBeforeIt) {
    AlzWriter writer;
    writer.ArchiveHeader().File("one", "1111").File("two", "2222");
    Testing::Bytes whole = writer.Data();

    AlzWriter unknownBlock = writer;
    unknownBlock.Raw({'C', 'L', 'Z', 0x01, 0, 0, 0, 0}).File("hidden", "3");
    ASSERT_EQ(Open(unknownBlock), DecodeResult::Ok);
    EXPECT_EQ(decoder_.ItemCount(), 2u) << "an end or unknown signature ends the scan";

    // Cut inside the second header: only the first entry is listed.
    AlzWriter cut;
    cut.Raw(Testing::Bytes(whole.begin(), whole.begin() + static_cast<long>(whole.size()) - 12));
    ASSERT_EQ(Open(cut), DecodeResult::Ok);
    EXPECT_EQ(decoder_.ItemCount(), 1u);
}

TEST_F(AlzListTest, PackedSizeThatWrapsAroundEndsTheScan) {
    // A skip of 2^64 - 8 bytes must not wrap back to the start and list the same entries forever.
    AlzEntry wrap;
    wrap.name = "wrap";
    wrap.content = Testing::ToBytes("x");
    wrap.method = 0;
    wrap.sizeWidth = 8;
    wrap.packedSize = ~0ULL - 7;
    ASSERT_EQ(Open(AlzWriter().File("first", "1").Add(wrap).File("after", "2")), DecodeResult::Ok);
    EXPECT_EQ(decoder_.ItemCount(), 2u);
}

TEST_F(AlzListTest, HeaderWithoutArchiveSignatureListsNormally) {
    ASSERT_EQ(Open(AlzWriter().File("direct", "starts with an entry header")), DecodeResult::Ok);
    EXPECT_EQ(decoder_.ItemCount(), 1u);
}

TEST_F(AlzListTest, NothingListableIsAnInvalidArchive) {
    EXPECT_EQ(Open(AlzWriter()), DecodeResult::InvalidArchive);
    EXPECT_FALSE(decoder_.IsOpen());
    EXPECT_EQ(Open(AlzWriter().ArchiveHeader()), DecodeResult::InvalidArchive);
    EXPECT_EQ(Open(AlzWriter().Raw(Testing::ToBytes("PK\x03\x04 not an alz"))), DecodeResult::InvalidArchive);
    EXPECT_EQ(decoder_.ItemCount(), 0u);
    EXPECT_EQ(decoder_.Open(folder_ / L"missing.alz"), DecodeResult::FileNotFound);
}

TEST_F(AlzListTest, CloseForgetsTheArchiveButKeepsThePassword) {
    AlzEntry secret;
    secret.name = "secret";
    secret.content = Testing::ToBytes("data");
    secret.encrypted = true;
    decoder_.SetPassword(L"pw");
    ASSERT_EQ(Open(AlzWriter().Add(secret)), DecodeResult::Ok);
    decoder_.Close();
    EXPECT_FALSE(decoder_.IsOpen());
    EXPECT_EQ(decoder_.ItemCount(), 0u);
    EXPECT_FALSE(decoder_.HasEncryptedItems());
    ASSERT_EQ(Open(AlzWriter().Add(secret)), DecodeResult::Ok);
    std::vector<std::uint8_t> data;
    EXPECT_EQ(decoder_.ExtractToMemory(0, data), DecodeResult::WrongPassword) << "the password stayed set";
}

}  // namespace
}  // namespace Arkova
