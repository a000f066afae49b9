// RAR 4 archives written byte by byte: names stored without a Unicode form decode with the chosen code page;
// a stored CRC that the data does not have is a test failure and never an extracted file; hostile names are
// refused by name while the rest extracts; an old-style volume set (.rar, .r00, .r01) opens from its first volume.
#include <gtest/gtest.h>

#include "archive/rar/rar_decoder.h"
#include "platform/file_system.h"
#include "platform/text.h"
#include "support/rar4_writer.h"
#include "support/scratch_folder.h"

namespace Arkova {
namespace {

using Testing::ReadText;
using Testing::Rar4Writer;
using Testing::ScratchFolder;

const char kKoreanCp949[] = "\xC7\xD1\xB1\xDB.txt";  // "한글.txt"

class Rar4Test : public ::testing::Test {
protected:
    DecodeResult Open(Rar4Writer& writer) {
        EXPECT_TRUE(writer.Finish().WriteTo(archive_));
        return decoder_.Open(archive_);
    }

    ScratchFolder folder_;
    std::wstring archive_ = folder_ / L"made.rar";
    RarDecoder decoder_;
};

TEST_F(Rar4Test, NamesWithoutUnicodeFollowTheCodePage) {
    Rar4Writer writer;
    writer.Folder("docs").Stored(std::string("docs\\") + kKoreanCp949, "korean\n").Stored("plain.txt", "plain\n");
    decoder_.SetCodePage(949);
    ASSERT_EQ(Open(writer), DecodeResult::Ok) << Platform::WideToUtf8(decoder_.LastErrorText());
    ASSERT_EQ(decoder_.ItemCount(), 3u);
    EXPECT_TRUE(decoder_.Items()[0].isDirectory);
    EXPECT_EQ(decoder_.Items()[1].path, L"docs\\한글.txt");
    EXPECT_EQ(decoder_.Items()[2].path, L"plain.txt");
    EXPECT_EQ(decoder_.Items()[1].hostOs, L"Windows");

    ASSERT_EQ(decoder_.ExtractAll(folder_ / L"out"), DecodeResult::Ok);
    EXPECT_EQ(ReadText(folder_ / L"out/docs/한글.txt"), "korean\n");
    EXPECT_EQ(ReadText(folder_ / L"out/plain.txt"), "plain\n");

    decoder_.SetCodePage(932);
    ASSERT_EQ(decoder_.Open(archive_), DecodeResult::Ok);
    EXPECT_NE(decoder_.Items()[1].path, L"docs\\한글.txt");
    EXPECT_EQ(decoder_.Items()[2].path, L"plain.txt");
}

TEST_F(Rar4Test, ADamagedCrcFailsTheTestAndWritesNothing) {
    Rar4Writer writer;
    writer.Stored("good.txt", "good\n").Stored("bad.txt", "bad data\n", true).Stored("after.txt", "after\n");
    ASSERT_EQ(Open(writer), DecodeResult::Ok);

    std::vector<ItemTestResult> results;
    ASSERT_EQ(decoder_.TestItems({0, 1, 2}, {}, results), DecodeResult::Ok);
    ASSERT_EQ(results.size(), 3u);
    EXPECT_TRUE(results[0].ok);
    EXPECT_FALSE(results[1].ok);
    EXPECT_EQ(results[1].error, DecodeResult::CrcMismatch);
    EXPECT_TRUE(results[2].ok);

    std::wstring target = folder_ / L"bad.txt";
    ASSERT_TRUE(Testing::WriteBytes(target, {'k', 'e', 'e', 'p'}));
    EXPECT_EQ(decoder_.ExtractToFile(1, target), DecodeResult::DecompressFailed);
    EXPECT_EQ(ReadText(target), "keep");
    // The pass goes on after the damaged entry.
    std::vector<std::uint8_t> buffer;
    ASSERT_EQ(decoder_.ExtractToMemory(2, buffer), DecodeResult::Ok);
    EXPECT_EQ(std::string(buffer.begin(), buffer.end()), "after\n");

    EXPECT_EQ(decoder_.ExtractAll(folder_ / L"out"), DecodeResult::DecompressFailed);
    EXPECT_EQ(ReadText(folder_ / L"out/good.txt"), "good\n");
    EXPECT_EQ(ReadText(folder_ / L"out/after.txt"), "after\n");
    EXPECT_FALSE(Platform::PathExists(folder_ / L"out/bad.txt"));
    std::vector<Platform::DirectoryEntry> left;
    ASSERT_TRUE(Platform::ListDirectory(folder_ / L"out", left));
    EXPECT_EQ(left.size(), 2u);

    // A new name in a folder not made yet is written in place: the failed entry takes its file away again.
    EXPECT_EQ(decoder_.ExtractToFile(1, folder_ / L"new/dir/bad.txt"), DecodeResult::DecompressFailed);
    EXPECT_FALSE(Platform::PathExists(folder_ / L"new/dir/bad.txt"));
    ASSERT_EQ(decoder_.ExtractToFile(0, folder_ / L"new/dir/good.txt"), DecodeResult::Ok);
    EXPECT_EQ(ReadText(folder_ / L"new/dir/good.txt"), "good\n");
    // A folder in the way is neither replaced nor entered.
    ASSERT_TRUE(Platform::MakeDirectories(folder_ / L"new/dir/after.txt"));
    EXPECT_EQ(decoder_.ExtractToFile(2, folder_ / L"new/dir/after.txt"), DecodeResult::IoError);
    EXPECT_TRUE(Platform::IsDirectory(folder_ / L"new/dir/after.txt"));
    ASSERT_TRUE(Platform::ListDirectory(folder_ / L"new/dir", left));
    EXPECT_EQ(left.size(), 2u);
}

TEST_F(Rar4Test, HostileNamesAreRefusedWhileTheRestExtracts) {
    Rar4Writer writer;
    for (const char* name : {"..\\up.txt", "../up2.txt", "\\root.txt", "/root2.txt", "C:\\drive.txt", "C:drive2.txt",
                             "sub\\..\\..\\climb.txt", "CON", "aux.txt", "sub\\COM1.log"}) {
        writer.Stored(name, "hostile\n");
    }
    writer.Stored("sub\\ok.txt", "fine\n");
    ASSERT_EQ(Open(writer), DecodeResult::Ok);
    std::wstring dest = folder_ / L"a/b/dest";
    ASSERT_EQ(decoder_.ExtractAll(dest), DecodeResult::UnsafePath);
    EXPECT_EQ(ReadText(dest + Platform::kPathSeparator + L"sub" + Platform::kPathSeparator + L"ok.txt"), "fine\n");
    for (const wchar_t* outside : {L"a/b/up.txt", L"a/b/up2.txt", L"a/b/climb.txt", L"a/up.txt"}) {
        EXPECT_FALSE(Platform::PathExists(folder_ / outside)) << Platform::WideToUtf8(outside);
    }
    std::vector<Platform::DirectoryEntry> entries;
    ASSERT_TRUE(Platform::ListDirectory(dest, entries));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, L"sub");
}

TEST_F(Rar4Test, AnOldStyleVolumeSetOpensFromItsFirstVolume) {
    std::string content;
    for (int i = 0; i < 3000; ++i) content += "volume line " + std::to_string(i) + "\n";
    std::wstring first = folder_ / L"set.rar";
    ASSERT_TRUE(Rar4Writer::WriteSplitFile(first, "big.txt", content, 3));
    ASSERT_TRUE(Platform::PathExists(folder_ / L"set.r01"));
    ASSERT_EQ(decoder_.Open(first), DecodeResult::Ok) << Platform::WideToUtf8(decoder_.LastErrorText());
    ASSERT_EQ(decoder_.ItemCount(), 1u);
    EXPECT_EQ(decoder_.Items()[0].size, content.size());
    std::vector<std::uint8_t> buffer;
    ASSERT_EQ(decoder_.ExtractToMemory(0, buffer), DecodeResult::Ok) << Platform::WideToUtf8(decoder_.LastErrorText());
    EXPECT_TRUE(std::string(buffer.begin(), buffer.end()) == content);

    decoder_.Close();  // Windows deletes no file that is open
    ASSERT_TRUE(Platform::RemoveFile(folder_ / L"set.r01"));
    RarDecoder again;
    EXPECT_EQ(again.Open(first), DecodeResult::FileNotFound);
    EXPECT_NE(again.LastErrorText().find(L"set.r01"), std::wstring::npos) << Platform::WideToUtf8(again.LastErrorText());
}

TEST_F(Rar4Test, PositionsOutsideTheListAndUnopenedDecodersFailCleanly) {
    std::vector<std::uint8_t> buffer = {7};
    EXPECT_EQ(decoder_.ExtractToMemory(0, buffer), DecodeResult::FileNotFound);
    EXPECT_EQ(decoder_.ExtractAll(folder_.Path()), DecodeResult::InvalidArchive);
    EXPECT_EQ(decoder_.Open(folder_ / L"absent.rar"), DecodeResult::FileNotFound);
    ASSERT_TRUE(Testing::WriteBytes(archive_, {'R', 'a', 'r', '!', 0x1A, 7, 0, 1, 2}));
    EXPECT_EQ(decoder_.Open(archive_), DecodeResult::InvalidArchive);
    EXPECT_FALSE(decoder_.IsOpen());

    Rar4Writer writer;
    writer.Stored("one.txt", "1");
    ASSERT_EQ(Open(writer), DecodeResult::Ok);
    EXPECT_EQ(decoder_.ExtractToMemory(1, buffer), DecodeResult::FileNotFound);
    EXPECT_EQ(buffer, std::vector<std::uint8_t>{7});
}

}  // namespace
}  // namespace Arkova
