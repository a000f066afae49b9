// What must never go wrong with archives from anywhere: nothing is written outside the destination, damage and
// unsupported methods are reported (never silent success or empty output), cancelling stops cleanly without
// partial files, existing files survive failures, and files or libraries that are missing give clear codes.
// Also the name decoding of ZIP entries that are not marked as UTF-8.
#include <gtest/gtest.h>

#include "archive/sevenzip/bit7z_decoder.h"
#include "fixtures.h"
#include "platform/file_system.h"
#include "platform/text.h"
#include "support/scratch_folder.h"
#include "support/zip_writer.h"

namespace Arkova {
namespace {

using Testing::ReadText;
using Testing::ScratchFolder;
using Testing::ZipWriter;
using Testing::ZipWriterEntry;

std::string Utf8(const std::wstring& text) { return Platform::WideToUtf8(text); }

std::wstring WriteZip(const ScratchFolder& folder, ZipWriter& writer) {
    std::wstring path = folder / L"made.zip";
    EXPECT_TRUE(writer.Finish().WriteTo(path));
    return path;
}

TEST(DetectionTest, ExtensionsDecideAndUnknownNamesAreDetected) {
    ARKOVA_REQUIRE_FIXTURE(dat, L"x.dat");
    Bit7zDecoder decoder;
    ASSERT_EQ(decoder.Open(dat), DecodeResult::Ok) << Utf8(decoder.LastErrorText());
    EXPECT_GT(decoder.ItemCount(), 4u);
    // The extension table hands a .rar name to the RAR5 handler, which refuses a ZIP.
    EXPECT_EQ(decoder.Open(Testing::FixturePath(L"zip-named.rar")), DecodeResult::InvalidArchive);
    EXPECT_FALSE(decoder.IsOpen());
    EXPECT_EQ(decoder.ItemCount(), 0u);
    EXPECT_EQ(decoder.Open(Testing::FixturePath(L"not-an-archive.zip")), DecodeResult::InvalidArchive);
    EXPECT_EQ(decoder.Open(Testing::FixturePath(L"truncated.7z")), DecodeResult::InvalidArchive);
    ScratchFolder folder;
    EXPECT_EQ(decoder.Open(folder / L"missing.zip"), DecodeResult::FileNotFound);
}

TEST(LibraryTest, WithoutTheLibraryEveryFormatIsInvalidArchive) {
    ScratchFolder folder;
    // A plain ZIP is listed without the library (sevenzip_zip_listing_test.cpp); a ZIP under another name is not.
    for (const wchar_t* name : {L"tree.7z", L"tree.tar", L"single.txt.gz", L"single.txt.bz2",
                                L"single.txt.xz", L"tree.cab", L"tree.iso", L"tree.wim", L"x.dat"}) {
        std::wstring path = Testing::FixturePath(name);
        if (path.empty()) continue;
        Bit7zDecoder decoder(folder / L"no-such-library");
        EXPECT_EQ(decoder.Open(path), DecodeResult::InvalidArchive) << Utf8(name);
        EXPECT_FALSE(decoder.IsOpen());
        EXPECT_NE(decoder.LastErrorText().find(L"cannot be used"), std::wstring::npos);
    }
    // Something that is not a library at all.
    ASSERT_TRUE(Testing::WriteText(folder / L"fake.so", "not a library"));
    Bit7zDecoder decoder(folder / L"fake.so");
    EXPECT_EQ(decoder.Open(Testing::FixturePath(L"tree.7z")), DecodeResult::InvalidArchive);
}

TEST(LibraryTest, OperationsWithoutAnOpenArchive) {
    Bit7zDecoder decoder;
    std::vector<std::uint8_t> buffer = {9};
    ScratchFolder folder;
    EXPECT_EQ(decoder.ExtractAll(folder.Path()), DecodeResult::InvalidArchive);
    EXPECT_EQ(decoder.ExtractToFile(0, folder / L"x"), DecodeResult::FileNotFound);
    EXPECT_EQ(decoder.ExtractToMemory(0, buffer), DecodeResult::FileNotFound);
    ARKOVA_REQUIRE_FIXTURE(path, L"tree.zip");
    ASSERT_EQ(decoder.Open(path), DecodeResult::Ok);
    auto count = static_cast<std::uint32_t>(decoder.ItemCount());
    EXPECT_EQ(decoder.ExtractToMemory(count, buffer), DecodeResult::FileNotFound);
    EXPECT_EQ(buffer, std::vector<std::uint8_t>{9});
    decoder.Close();
    EXPECT_FALSE(decoder.IsOpen());
    EXPECT_EQ(decoder.ItemCount(), 0u);
}

TEST(ConfinementTest, HostilePathsAreRefusedAndTheRestIsWritten) {
    ScratchFolder folder;
    ZipWriter writer;
    writer.File("../escaped.txt", "x").File("/absolute.txt", "x").File("sub/../../escaped2.txt", "x");
    writer.File("C:/drive.txt", "x").File("sub\\..\\..\\escaped3.txt", "x").File("NUL", "x");
    writer.File("fine/kept.txt", "kept");
    std::wstring archive = WriteZip(folder, writer);
    Bit7zDecoder decoder;
    ASSERT_EQ(decoder.Open(archive), DecodeResult::Ok) << Utf8(decoder.LastErrorText());
    std::wstring destination = folder / L"deep/dest";
    EXPECT_EQ(decoder.ExtractAll(destination), DecodeResult::UnsafePath);
    EXPECT_EQ(ReadText(folder / L"deep/dest/fine/kept.txt"), "kept");
    for (const wchar_t* escaped : {L"deep/escaped.txt", L"escaped.txt", L"deep/escaped2.txt", L"escaped2.txt",
                                   L"deep/escaped3.txt", L"escaped3.txt"}) {
        EXPECT_FALSE(Platform::PathExists(folder / escaped)) << Utf8(escaped);
    }
    EXPECT_FALSE(Platform::PathExists(L"/absolute.txt"));
}

TEST(DamageTest, ADamagedItemFailsAndTheOthersAreStillWritten) {
    ARKOVA_REQUIRE_FIXTURE(path, L"damaged.zip");
    Bit7zDecoder decoder;
    ASSERT_EQ(decoder.Open(path), DecodeResult::Ok);
    ScratchFolder folder;
    EXPECT_EQ(decoder.ExtractAll(folder.Path()), DecodeResult::DecompressFailed);
    EXPECT_NE(decoder.LastErrorText().find(L"big.txt"), std::wstring::npos) << Utf8(decoder.LastErrorText());
    EXPECT_EQ(ReadText(folder / L"tree/a.txt"), "alpha\n");
    EXPECT_FALSE(Platform::PathExists(folder / L"tree/sub/deeper/big.txt"));
    EXPECT_FALSE(Platform::PathExists(folder / L"tree/sub/deeper/big.txt.arkova-part"));
}

TEST(DamageTest, AFailedExtractionKeepsTheExistingFile) {
    ARKOVA_REQUIRE_FIXTURE(path, L"damaged.zip");
    Bit7zDecoder decoder;
    ASSERT_EQ(decoder.Open(path), DecodeResult::Ok);
    ScratchFolder folder;
    std::wstring target = folder / L"big.txt";
    ASSERT_TRUE(Testing::WriteText(target, "precious"));
    std::uint32_t big = 0;
    while (big < decoder.ItemCount() && decoder.Items()[big].path.find(L"big.txt") == std::wstring::npos) ++big;
    EXPECT_EQ(decoder.ExtractToFile(big, target), DecodeResult::DecompressFailed);
    EXPECT_EQ(ReadText(target), "precious");
}

TEST(DamageTest, AnUnsupportedMethodSaysSoInsteadOfWritingNothing) {
    ScratchFolder folder;
    ZipWriterEntry entry;
    entry.name = "odd.bin";
    entry.content = Testing::ToBytes("data");
    entry.method = 77;
    entry.storedData = Testing::ToBytes("data");
    ZipWriter writer;
    writer.Add(entry);
    std::wstring archive = WriteZip(folder, writer);
    Bit7zDecoder decoder;
    ASSERT_EQ(decoder.Open(archive), DecodeResult::Ok);
    std::vector<std::uint8_t> buffer;
    EXPECT_EQ(decoder.ExtractToMemory(0, buffer), DecodeResult::UnsupportedFormat);
    EXPECT_NE(decoder.LastErrorText().find(L"no decoder"), std::wstring::npos);
    EXPECT_EQ(decoder.ExtractAll(folder / L"out"), DecodeResult::UnsupportedFormat);
    EXPECT_FALSE(Platform::PathExists(folder / L"out/odd.bin"));
}

TEST(ProgressTest, ACallbackThatAnswersFalseCancelsWithoutPartialFiles) {
    for (const wchar_t* name : {L"tree.zip", L"tree.7z", L"tree.tar"}) {
        std::wstring path = Testing::FixturePath(name);
        if (path.empty()) continue;
        Bit7zDecoder decoder;
        std::uint64_t calls = 0;
        decoder.SetProgressCallback([&calls](const std::wstring&, std::uint64_t, std::uint64_t) {
            ++calls;
            return false;
        });
        ASSERT_EQ(decoder.Open(path), DecodeResult::Ok);
        ScratchFolder folder;
        EXPECT_EQ(decoder.ExtractAll(folder.Path()), DecodeResult::Cancelled) << Utf8(name);
        EXPECT_GE(calls, 1u);
        EXPECT_FALSE(Platform::PathExists(folder / L"tree/sub/deeper/big.txt")) << Utf8(name);
        EXPECT_FALSE(Platform::PathExists(folder / L"tree/sub/deeper/big.txt.arkova-part")) << Utf8(name);
        // An empty callback lets the next run go through.
        decoder.SetProgressCallback({});
        EXPECT_EQ(decoder.ExtractAll(folder.Path()), DecodeResult::Ok) << Utf8(name);
    }
}

class NameTest : public ::testing::Test {
protected:
    std::wstring FirstName(std::int32_t codePage) {
        Bit7zDecoder decoder;
        decoder.SetCodePage(codePage);
        EXPECT_EQ(decoder.Open(archive_), DecodeResult::Ok);
        return decoder.ItemCount() > 0 ? decoder.Items()[0].path : std::wstring();
    }
    std::wstring Make(const std::string& name, std::uint16_t flags) {
        ZipWriterEntry entry;
        entry.name = name;
        entry.content = Testing::ToBytes("x");
        entry.flags = flags;
        ZipWriter writer;
        writer.Add(entry);
        archive_ = WriteZip(folder_, writer);
        return archive_;
    }
    ScratchFolder folder_;
    std::wstring archive_;
};

TEST_F(NameTest, UnmarkedNamesAreReadInTheSystemCodePageOrTheChosenOne) {
    const std::string cp949 = "\xC7\xD1\xB1\xDB.txt";  // "한글.txt"
    Make(cp949, 0);
    EXPECT_EQ(FirstName(-1), L"한글.txt");
    EXPECT_EQ(FirstName(0), L"한글.txt");
    EXPECT_EQ(FirstName(949), L"한글.txt");
    EXPECT_EQ(FirstName(932), Platform::MultiByteToWide(cp949, 932));
}

TEST_F(NameTest, Utf8MarkedNamesStayAsTheyAreWhateverTheCodePage) {
    Make("caf\xC3\xA9.txt", 0x800);
    EXPECT_EQ(FirstName(-1), L"café.txt");
    EXPECT_EQ(FirstName(949), L"café.txt");
    Make("\xED\x95\x9C\xEA\xB8\x80.txt", 0x800);
    EXPECT_EQ(FirstName(949), L"한글.txt");
}

TEST_F(NameTest, DecomposedNamesAreComposed) {
    Make("\xE1\x84\x92\xE1\x85\xA1\xE1\x86\xAB.txt", 0x800);
    EXPECT_EQ(FirstName(-1), L"\uD55C.txt");
}

}  // namespace
}  // namespace Arkova
