// RAR archives through the library. Debian's builds of it carry the RAR handlers but no RAR decoder: archives must
// list completely, stored entries extract, and compressed entries fail with a message naming the missing decoder,
// never with an empty file.
#include <gtest/gtest.h>

#include <algorithm>

#include "archive/sevenzip/bit7z_decoder.h"
#include "fixtures.h"
#include "platform/file_system.h"
#include "platform/text.h"
#include "support/rar5_writer.h"
#include "support/scratch_folder.h"

namespace Arkova {
namespace {

using Testing::ReadText;
using Testing::ScratchFolder;

class RarTest : public ::testing::Test {
protected:
    void SetUp() override {
        Testing::Rar5Writer rar;
        rar.Folder("docs").Stored("docs/plain.txt", "stored text\n").Packed("docs/packed.txt", std::string(400, 'p'));
        ASSERT_TRUE(rar.Finish().WriteTo(archive_));
        ASSERT_EQ(decoder_.Open(archive_), DecodeResult::Ok) << Platform::WideToUtf8(decoder_.LastErrorText());
    }

    // The library separates with a backslash on Windows and "/" elsewhere.
    const ArchiveItem* Find(const std::wstring& path) const {
        for (const ArchiveItem& item : decoder_.Items()) {
            std::wstring slashed = item.path;
            std::replace(slashed.begin(), slashed.end(), L'\\', L'/');
            if (slashed == path) return &item;
        }
        return nullptr;
    }

    ScratchFolder folder_;
    std::wstring archive_ = folder_ / L"made.rar";
    Bit7zDecoder decoder_;
};

TEST_F(RarTest, ListsEveryEntry) {
    ASSERT_EQ(decoder_.ItemCount(), 3u);
    const ArchiveItem* folder = Find(L"docs");
    const ArchiveItem* plain = Find(L"docs/plain.txt");
    const ArchiveItem* packed = Find(L"docs/packed.txt");
    ASSERT_NE(folder, nullptr);
    ASSERT_NE(plain, nullptr);
    ASSERT_NE(packed, nullptr);
    EXPECT_TRUE(folder->isDirectory);
    EXPECT_EQ(plain->size, 12u);
    EXPECT_EQ(packed->size, 400u);
    EXPECT_EQ(plain->modifiedTime, Testing::kFixtureTime);
    EXPECT_NE(plain->crc, 0u);
    EXPECT_FALSE(plain->method.empty());
}

TEST_F(RarTest, StoredEntriesExtractAndCompressedOnesSayTheDecoderIsMissing) {
    std::vector<std::uint8_t> data;
    ASSERT_EQ(decoder_.ExtractToMemory(Find(L"docs/plain.txt")->index, data), DecodeResult::Ok);
    EXPECT_EQ(std::string(data.begin(), data.end()), "stored text\n");

    EXPECT_EQ(decoder_.ExtractToMemory(Find(L"docs/packed.txt")->index, data), DecodeResult::UnsupportedFormat);
    EXPECT_NE(decoder_.LastErrorText().find(L"RAR decoder"), std::wstring::npos)
        << Platform::WideToUtf8(decoder_.LastErrorText());

    std::wstring target = folder_ / L"packed.txt";
    EXPECT_EQ(decoder_.ExtractToFile(Find(L"docs/packed.txt")->index, target), DecodeResult::UnsupportedFormat);
    EXPECT_FALSE(Platform::PathExists(target));

    std::wstring out = folder_ / L"out";
    EXPECT_EQ(decoder_.ExtractAll(out), DecodeResult::UnsupportedFormat);
    EXPECT_EQ(ReadText(folder_ / L"out/docs/plain.txt"), "stored text\n");
    EXPECT_FALSE(Platform::PathExists(folder_ / L"out/docs/packed.txt"));
}

}  // namespace
}  // namespace Arkova
