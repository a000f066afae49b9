// Listing EGG archives: every block kind, the order rules that decide when an entry is listed, and damaged files
// that must list what they can.
#include <gtest/gtest.h>

#include "archive/crc32.h"
#include "archive/egg_decoder.h"
#include "support/egg_writer.h"
#include "support/scratch_folder.h"

namespace Arkova {
namespace {

using Testing::Bytes;
using Testing::EggBlock;
using Testing::EggWriter;
using Testing::ScratchFolder;

class EggListTest : public ::testing::Test {
protected:
    DecodeResult Open(const EggWriter& writer) {
        std::wstring path = folder_ / L"test.egg";
        decoder_.Close();  // Windows refuses to replace a file that is open
        EXPECT_TRUE(writer.WriteTo(path));
        return decoder_.Open(path);
    }
    std::vector<std::wstring> Paths() const {
        std::vector<std::wstring> paths;
        for (const ArchiveItem& item : decoder_.Items()) paths.push_back(item.path);
        return paths;
    }
    std::string Extract(std::uint32_t position) {
        std::vector<std::uint8_t> data;
        EXPECT_EQ(decoder_.ExtractToMemory(position, data), DecodeResult::Ok) << position;
        return std::string(data.begin(), data.end());
    }

    ScratchFolder folder_;
    EggDecoder decoder_;
};

EggBlock StoredBlock(const std::string& content) {
    EggBlock block;
    block.content = Testing::ToBytes(content);
    block.method = 0;
    return block;
}

TEST_F(EggListTest, ListsFilesAndFoldersWithTheirFields) {
    const std::string text = "hello hello hello hello";
    ASSERT_EQ(Open(EggWriter().ArchiveHeader().Folder("docs/").File("docs/readme.txt", text, 1, 0x21)),
              DecodeResult::Ok);
    ASSERT_EQ(decoder_.ItemCount(), 2u);
    const ArchiveItem& folder = decoder_.Items()[0];
    EXPECT_EQ(folder.path, L"docs/");
    EXPECT_TRUE(folder.isDirectory) << "the creating program marks folders with 0x80";
    EXPECT_EQ(folder.attributes, 0x80u);

    const ArchiveItem& item = decoder_.Items()[1];
    EXPECT_EQ(item.path, L"docs/readme.txt");
    EXPECT_EQ(item.size, text.size());
    EXPECT_EQ(item.packedSize, Testing::DeflateRaw(Testing::ToBytes(text)).size());
    EXPECT_EQ(item.crc, Crc32(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    EXPECT_EQ(item.attributes, 0x21u);
    EXPECT_EQ(item.modifiedTime, Testing::kEggDefaultTime);
    EXPECT_EQ(item.creationTime, 0u);
    EXPECT_FALSE(item.isDirectory);
    EXPECT_FALSE(item.isEncrypted);
    EXPECT_EQ(item.index, 1u);
    EXPECT_FALSE(decoder_.HasEncryptedItems());
    EXPECT_EQ(Extract(1), text);

    ASSERT_EQ(Open(EggWriter().ArchiveHeader().Folder("win", 0x10).File("f", "x")), DecodeResult::Ok);
    EXPECT_TRUE(decoder_.Items()[0].isDirectory) << "the Windows folder bit counts too";
}

TEST_F(EggListTest, NamesAreUtf8) {
    ASSERT_EQ(Open(EggWriter().ArchiveHeader().File("\xED\x95\x9C\xEA\xB8\x80/\xEB\xAC\xB8\xEC\x84\x9C.txt", "t")),
              DecodeResult::Ok);
    EXPECT_EQ(decoder_.Items()[0].path, L"\uD55C\uAE00/\uBB38\uC11C.txt");  // 한글/문서.txt
}

TEST_F(EggListTest, WindowsFileInformationOfEverySize) {
    // 9 holds time and attribute; 20 has 11 more bytes to skip; 5 is too short and is skipped whole.
    EggWriter writer;
    writer.ArchiveHeader();
    const std::uint16_t sizes[] = {9, 20, 5};
    for (std::uint16_t size : sizes) {
        writer.FileHeader(1).FileName("s" + std::to_string(size));
        writer.WindowsFileInfo(0x01D9000000000000ULL + size, 0x21, size).Block(StoredBlock("x"));
    }
    ASSERT_EQ(Open(writer), DecodeResult::Ok);
    ASSERT_EQ(Paths(), (std::vector<std::wstring>{L"s9", L"s20", L"s5"}));
    EXPECT_EQ(decoder_.Items()[0].modifiedTime, 0x01D9000000000009ULL);
    EXPECT_EQ(decoder_.Items()[1].modifiedTime, 0x01D9000000000014ULL);
    EXPECT_EQ(decoder_.Items()[1].attributes, 0x21u);
    EXPECT_EQ(decoder_.Items()[2].modifiedTime, 0u);
    EXPECT_EQ(decoder_.Items()[2].attributes, 0u);
    EXPECT_EQ(Extract(1), "x");
}

TEST_F(EggListTest, SkippedKindsAndEndMarkersKeepTheScanAligned) {
    EggWriter writer;
    writer.ArchiveHeader().FileHeader(4).FileName("a").EndMarker();
    for (std::uint32_t kind : Testing::kEggSkippedKinds) writer.Skipped(kind, Testing::ToBytes("body of a block"));
    writer.WindowsFileInfo(Testing::kEggDefaultTime, 0).Block(StoredBlock("aaaa"));
    writer.Skipped(Testing::kEggComment, Testing::ToBytes("archive comment")).File("b", "bbbb");
    ASSERT_EQ(Open(writer), DecodeResult::Ok);
    ASSERT_EQ(Paths(), (std::vector<std::wstring>{L"a", L"b"}));
    EXPECT_EQ(Extract(0), "aaaa");
    EXPECT_EQ(Extract(1), "bbbb");
}

TEST_F(EggListTest, DataStartsAfterTheCrcWhenNoEndMarkerFollows) {
    EggBlock stored = StoredBlock("plain data");
    stored.endMarker = false;
    EggBlock deflated;
    deflated.content = Testing::ToBytes("deflated data deflated data");
    deflated.endMarker = false;
    ASSERT_EQ(
        Open(EggWriter().ArchiveHeader().FileHeader(10).FileName("s").Block(stored).FileHeader(27).FileName("d").Block(
            deflated)),
        DecodeResult::Ok);
    ASSERT_EQ(decoder_.ItemCount(), 2u);
    EXPECT_EQ(Extract(0), "plain data");
    EXPECT_EQ(Extract(1), "deflated data deflated data");
}

TEST_F(EggListTest, EntriesWithoutDataAreListedAtTheNextFileHeaderOrTheEnd) {
    ASSERT_EQ(Open(EggWriter()
                       .ArchiveHeader()
                       .FileHeader(0)
                       .FileName("empty1")
                       .Block(StoredBlock(""))
                       .Folder("dir/")
                       .File("dir/f", "f")
                       .FileHeader(0)
                       .FileName("empty2")
                       .Block(StoredBlock(""))),
              DecodeResult::Ok);
    ASSERT_EQ(Paths(), (std::vector<std::wstring>{L"empty1", L"dir/", L"dir/f", L"empty2"}));
    EXPECT_EQ(Extract(0), "");
    EXPECT_EQ(Extract(3), "");
    EXPECT_TRUE(decoder_.Items()[1].isDirectory);

    ASSERT_EQ(Open(EggWriter().ArchiveHeader().File("f", "f").Folder("last/")), DecodeResult::Ok);
    EXPECT_EQ(Paths(), (std::vector<std::wstring>{L"f", L"last/"}));
}

TEST_F(EggListTest, UnusableNameLengths) {
    // Length 0: no name, the entry is not listed, and the scan goes on with the next block.
    ASSERT_EQ(
        Open(EggWriter().ArchiveHeader().FileHeader(1).FileName("", 0).Block(StoredBlock("x")).File("after", "y")),
        DecodeResult::Ok);
    EXPECT_EQ(Paths(), (std::vector<std::wstring>{L"after"}));

    // Above 4095: the name bytes are read as the next signature, which ends the scan; the entries before stay.
    ASSERT_EQ(Open(EggWriter()
                       .ArchiveHeader()
                       .File("before", "b")
                       .FileHeader(1)
                       .FileName(std::string(4096, 'n'))
                       .Block(StoredBlock("x"))
                       .File("never", "z")),
              DecodeResult::Ok);
    EXPECT_EQ(Paths(), (std::vector<std::wstring>{L"before"}));

    ASSERT_EQ(Open(EggWriter().ArchiveHeader().File(std::string(4095, 'n'), "x")), DecodeResult::Ok);
    EXPECT_EQ(decoder_.Items()[0].path.size(), 4095u);
}

TEST_F(EggListTest, DamageKeepsTheEntriesBeforeIt) {
    EggWriter writer;
    writer.ArchiveHeader().File("one", "1111", 0).File("two", "2222", 0);
    const Bytes whole = writer.Data();

    ASSERT_EQ(Open(EggWriter(writer).Raw({0xDE, 0xAD, 0xBE, 0xEF}).File("hidden", "3")), DecodeResult::Ok);
    EXPECT_EQ(decoder_.ItemCount(), 2u) << "an unknown signature ends the scan";

    // Every cut lists at most what lies before it, and never an entry whose data is missing as whole.
    for (std::size_t length = 0; length < whole.size(); ++length) {
        EggWriter cut;
        cut.Raw(Bytes(whole.begin(), whole.begin() + static_cast<long>(length)));
        DecodeResult result = Open(cut);
        if (result != DecodeResult::Ok) {
            EXPECT_EQ(result, DecodeResult::InvalidArchive) << length;
            continue;
        }
        ASSERT_LE(decoder_.ItemCount(), 2u) << length;
        for (std::uint32_t i = 0; i < decoder_.ItemCount(); ++i) {
            std::vector<std::uint8_t> data;
            DecodeResult extracted = decoder_.ExtractToMemory(i, data);
            if (extracted == DecodeResult::Ok) {
                EXPECT_EQ(data.size(), 4u) << length;
            } else {
                EXPECT_TRUE(extracted == DecodeResult::IoError || extracted == DecodeResult::UnsupportedFormat)
                    << length;
            }
        }
    }
}

TEST_F(EggListTest, EncryptionHeaderMarksItsEntryAndTheScanGoesOn) {
    ASSERT_EQ(Open(EggWriter()
                       .ArchiveHeader()
                       .FileHeader(6)
                       .FileName("locked")
                       .WindowsFileInfo(Testing::kEggDefaultTime, 0)
                       .Skipped(Testing::kEggEncryption, Bytes(17, 0x11))
                       .Block(StoredBlock("cipher"))
                       .File("behind", "b")),
              DecodeResult::Ok);
    // Once an encrypted entry hid every entry behind it.
    EXPECT_EQ(Paths(), (std::vector<std::wstring>{L"locked", L"behind"}));
    EXPECT_TRUE(decoder_.HasEncryptedItems());
    EXPECT_FALSE(decoder_.Items()[1].isEncrypted);
    std::vector<std::uint8_t> data;
    EXPECT_EQ(decoder_.ExtractToMemory(0, data), DecodeResult::PasswordRequired);
    decoder_.SetPassword(L"pw");
    EXPECT_EQ(decoder_.ExtractToMemory(0, data), DecodeResult::UnsupportedFormat) << "encryption method 0x11";
}

TEST_F(EggListTest, NothingListableIsAnInvalidArchive) {
    EXPECT_EQ(Open(EggWriter()), DecodeResult::InvalidArchive);
    EXPECT_FALSE(decoder_.IsOpen());
    EXPECT_EQ(Open(EggWriter().ArchiveHeader()), DecodeResult::InvalidArchive);
    EXPECT_EQ(Open(EggWriter().File("no archive header", "x")), DecodeResult::InvalidArchive);
    EXPECT_EQ(Open(EggWriter().ArchiveHeader().FileHeader(1).Block(StoredBlock("nameless"))),
              DecodeResult::InvalidArchive);
    EXPECT_EQ(decoder_.ItemCount(), 0u);
    EXPECT_EQ(decoder_.Open(folder_ / L"missing.egg"), DecodeResult::FileNotFound);
}

}  // namespace
}  // namespace Arkova
