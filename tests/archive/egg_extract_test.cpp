// Extracting EGG entries: byte-exact data of one or several blocks, entries that own no data, the failures each
// header lie gives, and the safety rules (no write outside the folder, damaged data never reported as success).
#include <gtest/gtest.h>

#include "archive/crc32.h"
#include "archive/egg_decoder.h"
#include "platform/file_system.h"
#include "support/egg_writer.h"
#include "support/scratch_folder.h"

namespace Arkova {
namespace {

using Testing::Bytes;
using Testing::EggBlock;
using Testing::EggWriter;
using Testing::ScratchFolder;

class EggExtractTest : public ::testing::Test {
protected:
    void Open(const EggWriter& writer) {
        std::wstring path = folder_ / L"test.egg";
        ASSERT_TRUE(writer.WriteTo(path));
        ASSERT_EQ(decoder_.Open(path), DecodeResult::Ok);
    }
    DecodeResult Extract(std::uint32_t position, Bytes& data) { return decoder_.ExtractToMemory(position, data); }

    ScratchFolder folder_;
    EggDecoder decoder_;
};

Bytes Pattern(std::size_t size, unsigned seed = 31) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>((i * seed) ^ (i >> 7));
    return bytes;
}

EggBlock MakeBlock(Bytes content, std::uint8_t method) {
    EggBlock block;
    block.content = std::move(content);
    block.method = method;
    return block;
}

TEST_F(EggExtractTest, StoredAndDeflatedEntriesComeOutByteExact) {
    const Bytes content = Pattern(70000);
    Open(EggWriter()
             .ArchiveHeader()
             .FileHeader(content.size())
             .FileName("stored.bin")
             .Block(MakeBlock(content, 0))
             .FileHeader(content.size())
             .FileName("deflated.bin")
             .Block(MakeBlock(content, 1)));
    Bytes data;
    ASSERT_EQ(Extract(0, data), DecodeResult::Ok);
    EXPECT_EQ(data, content);
    ASSERT_EQ(Extract(1, data), DecodeResult::Ok);
    EXPECT_EQ(data, content);
    Bytes untouched{1, 2, 3};
    EXPECT_EQ(Extract(2, untouched), DecodeResult::FileNotFound);
    EXPECT_EQ(untouched, (Bytes{1, 2, 3}));
}

TEST_F(EggExtractTest, EntrySpanningSeveralBlocksComesOutWhole) {
    const Bytes first = Pattern(5000, 7);
    const Bytes second = Pattern(3000, 11);
    const Bytes third = Testing::ToBytes("tail");
    EggBlock middle = MakeBlock(second, 0);
    middle.endMarker = false;
    Open(EggWriter()
             .ArchiveHeader()
             .FileHeader(8004)
             .FileName("split.bin")
             .Block(MakeBlock(first, 1))
             .Block(middle)
             .Block(MakeBlock(third, 1))
             .File("next", "n"));
    ASSERT_EQ(decoder_.ItemCount(), 2u) << "listed once";
    Bytes whole = first;
    whole.insert(whole.end(), second.begin(), second.end());
    whole.insert(whole.end(), third.begin(), third.end());
    const ArchiveItem& item = decoder_.Items()[0];
    EXPECT_EQ(item.size, whole.size());
    EXPECT_EQ(item.packedSize, Testing::DeflateRaw(first).size() + second.size() + Testing::DeflateRaw(third).size());
    EXPECT_EQ(item.crc, Crc32(whole)) << "the blocks' CRCs combine into the whole entry's";

    Bytes data;
    ASSERT_EQ(Extract(0, data), DecodeResult::Ok);
    EXPECT_EQ(data, whole);
    ASSERT_EQ(decoder_.ExtractToFile(0, folder_ / L"split.bin"), DecodeResult::Ok);
    EXPECT_EQ(Testing::ReadBytes(folder_ / L"split.bin"), whole);
    ASSERT_EQ(Extract(1, data), DecodeResult::Ok);
    EXPECT_EQ(data, Testing::ToBytes("n"));
}

TEST_F(EggExtractTest, ABadBlockFailsTheWholeEntry) {
    EggBlock damaged = MakeBlock(Pattern(2000), 1);
    damaged.storedData = Bytes(40, 0xFF);
    EggBlock lying = MakeBlock(Pattern(100), 0);
    lying.crc = 0x12345678;
    Open(EggWriter()
             .ArchiveHeader()
             .FileHeader(2100)
             .FileName("damaged")
             .Block(MakeBlock(Pattern(100), 0))
             .Block(damaged)
             .FileHeader(200)
             .FileName("lying")
             .Block(MakeBlock(Pattern(100), 0))
             .Block(lying));
    Bytes data;
    EXPECT_EQ(Extract(0, data), DecodeResult::DecompressFailed);
    EXPECT_EQ(decoder_.ExtractToFile(1, folder_ / L"lying"), DecodeResult::CrcMismatch);
    EXPECT_FALSE(Platform::PathExists(folder_ / L"lying"));
}

TEST_F(EggExtractTest, EntryWithoutABlockNeverGetsAnotherEntrysData) {
    Open(EggWriter()
             .ArchiveHeader()
             .File("data", "the data of another entry", 0)
             .FileHeader(0)
             .FileName("empty")
             .EndMarker()
             .FileHeader(25)
             .FileName("lost")
             .EndMarker()
             .Folder("dir/"));
    ASSERT_EQ(decoder_.ItemCount(), 4u);
    Bytes data{9};
    EXPECT_EQ(Extract(1, data), DecodeResult::Ok);
    EXPECT_TRUE(data.empty()) << "a file header of length 0 and no block is an empty file";
    EXPECT_EQ(decoder_.ExtractToFile(2, folder_ / L"lost"), DecodeResult::UnsupportedFormat);
    EXPECT_FALSE(Platform::PathExists(folder_ / L"lost"));
    EXPECT_EQ(Extract(3, data), DecodeResult::Ok);
    EXPECT_TRUE(data.empty());
}

TEST_F(EggExtractTest, UnknownMethodsAreUnsupported) {
    EggBlock other = MakeBlock(Testing::ToBytes("what?"), 9);
    Open(EggWriter().ArchiveHeader().FileHeader(5).FileName("m4").Block(other));
    Bytes data;
    EXPECT_EQ(Extract(0, data), DecodeResult::UnsupportedFormat);
}

TEST_F(EggExtractTest, HugeClaimedSizesAllocateNothing) {
    EggBlock inflates = MakeBlock(Testing::ToBytes("tiny"), 1);
    inflates.size = 0xFFFFFFFF;  // no 6-byte stream inflates to 4 GiB
    EggBlock stored = MakeBlock(Testing::ToBytes("tiny"), 0);
    stored.storedLength = 0xFFFFFFF0;  // more data than the file holds
    Open(EggWriter()
             .ArchiveHeader()
             .FileHeader(4)
             .FileName("inflates")
             .Block(inflates)
             .FileHeader(4)
             .FileName("stored")
             .Block(stored));
    Bytes data;
    EXPECT_EQ(Extract(0, data), DecodeResult::DecompressFailed);
    EXPECT_EQ(Extract(1, data), DecodeResult::IoError);
}

TEST_F(EggExtractTest, ExtractToFileRestoresTheUtcModificationTime) {
    Open(EggWriter().ArchiveHeader().File("dated.txt", "x"));
    std::wstring target = folder_ / L"dated.txt";
    ASSERT_EQ(decoder_.ExtractToFile(0, target), DecodeResult::Ok);
    std::uint64_t written = 0;
    ASSERT_TRUE(Platform::LastWriteTime(target, written));
    // Whole seconds at least, whatever the file system keeps below that.
    EXPECT_EQ(written / 10000000, Testing::kEggDefaultTime / 10000000);
}

TEST_F(EggExtractTest, ExtractAllWritesTheTreeAndRefusesPathsThatLeaveTheFolder) {
    Open(EggWriter()
             .ArchiveHeader()
             .Folder("a/")
             .File("a/b.txt", "bee")
             .File("../escape.txt", "bad")
             .File("/abs.txt", "bad")
             .File("C:\\drive.txt", "bad")
             .File("c\\d.txt", "dee", 0));
    std::wstring out = folder_ / L"deep/out";
    EXPECT_EQ(decoder_.ExtractAll(out), DecodeResult::UnsafePath);
    EXPECT_TRUE(Platform::IsDirectory(folder_ / L"deep/out/a"));
    EXPECT_EQ(Testing::ReadText(folder_ / L"deep/out/a/b.txt"), "bee");
    EXPECT_EQ(Testing::ReadText(folder_ / L"deep/out/c/d.txt"), "dee");
    EXPECT_FALSE(Platform::PathExists(folder_ / L"deep/escape.txt"));
}

}  // namespace
}  // namespace Arkova
