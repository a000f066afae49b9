// Positional reads must not depend on a shared file position, and a new file must replace an old one whole.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/file.h"
#include "support/scratch_folder.h"

namespace Arkova::Platform {
namespace {

using Testing::ScratchFolder;

TEST(InputFileTest, ReadsAtOffsetsAndStopsShortOnlyAtTheEnd) {
    ScratchFolder folder;
    std::wstring path = folder / L"data.bin";
    std::vector<std::uint8_t> bytes(100000);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7);
    ASSERT_TRUE(Testing::WriteBytes(path, bytes));

    InputFile file;
    ASSERT_TRUE(file.Open(path));
    std::uint64_t size = 0;
    ASSERT_TRUE(file.Size(size));
    EXPECT_EQ(size, bytes.size());

    std::uint8_t chunk[16];
    ASSERT_TRUE(file.ReadExactAt(99984, chunk, sizeof(chunk)));
    EXPECT_EQ(chunk[0], bytes[99984]);
    std::size_t got = 0;
    ASSERT_TRUE(file.ReadAt(99990, chunk, sizeof(chunk), got));
    EXPECT_EQ(got, 10u);
    EXPECT_FALSE(file.ReadExactAt(99990, chunk, sizeof(chunk)));
    ASSERT_TRUE(file.ReadAt(200000, chunk, sizeof(chunk), got));
    EXPECT_EQ(got, 0u);
}

TEST(InputFileTest, ConcurrentReadersSeeTheirOwnOffsets) {
    ScratchFolder folder;
    std::wstring path = folder / L"data.bin";
    std::vector<std::uint8_t> bytes(1 << 20);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i >> 12);
    ASSERT_TRUE(Testing::WriteBytes(path, bytes));
    InputFile file;
    ASSERT_TRUE(file.Open(path));

    std::vector<int> mismatches(4, 0);
    std::vector<std::thread> readers;
    for (int t = 0; t < 4; ++t) {
        readers.emplace_back([&, t] {
            std::uint8_t block[4096];
            for (int round = 0; round < 64; ++round) {
                std::uint64_t page = static_cast<std::uint64_t>((round * 4 + t) % 256);
                if (!file.ReadExactAt(page * 4096, block, sizeof(block)) || block[0] != page || block[4095] != page) {
                    ++mismatches[t];
                }
            }
        });
    }
    for (std::thread& reader : readers) reader.join();
    EXPECT_EQ(mismatches, std::vector<int>(4, 0));
}

TEST(InputFileTest, OpenFailsForMissingFilesAndFolders) {
    ScratchFolder folder;
    InputFile file;
    EXPECT_FALSE(file.Open(folder / L"missing.bin"));
    EXPECT_FALSE(file.IsOpen());
}

TEST(InputFileTest, SeveralReadersMayHoldTheFileAtOnce) {
    ScratchFolder folder;
    std::wstring path = folder / L"shared.txt";
    ASSERT_TRUE(Testing::WriteText(path, "shared"));
    InputFile first;
    InputFile second;
    ASSERT_TRUE(first.Open(path));
    EXPECT_TRUE(second.Open(path));
    char c = 0;
    EXPECT_TRUE(second.ReadExactAt(5, &c, 1));
    EXPECT_EQ(c, 'd');
}

TEST(OutputFileTest, CreateReplacesAnExistingFileAndStampsItsTime) {
    ScratchFolder folder;
    std::wstring path = folder / L"out.txt";
    ASSERT_TRUE(Testing::WriteText(path, "a much longer old content"));
    OutputFile file;
    ASSERT_TRUE(file.Create(path));
    // Room reserved beyond what is written is not part of the file, and room reserved below it cuts nothing.
    file.Reserve(1024 * 1024);
    ASSERT_TRUE(file.Write("new", 3));
    file.Reserve(2);
    // 2020-01-02 03:04:05 UTC
    const std::uint64_t stamp = 132224078450000000ULL;
    ASSERT_TRUE(file.SetModifiedTime(stamp));
    ASSERT_TRUE(file.Close());
    EXPECT_EQ(Testing::ReadText(path), "new");
}

TEST(OutputFileTest, WritesAtAnOffsetFromAnotherThreadLeaveTheWritesInOrderWhereTheyBelong) {
    ScratchFolder folder;
    std::wstring path = folder / L"out.bin";
    std::vector<std::uint8_t> expected(3 << 20);
    for (std::size_t i = 0; i < expected.size(); ++i) expected[i] = static_cast<std::uint8_t>(i * 13 + i / 4096);
    const std::size_t ahead = expected.size() - (1 << 20);
    OutputFile file;
    ASSERT_TRUE(file.Create(path));
    // The end is written first, past the end of the file, while the front goes on in order.
    bool placed = false;
    std::thread placer([&] { placed = file.WriteAt(ahead, expected.data() + ahead, expected.size() - ahead); });
    bool written = true;
    for (std::size_t at = 0; at < ahead && written; at += 64 << 10) {
        written = file.Write(expected.data() + at, 64 << 10);
    }
    placer.join();
    EXPECT_TRUE(written);
    EXPECT_TRUE(placed);
    ASSERT_TRUE(file.Close());
    EXPECT_TRUE(Testing::ReadBytes(path) == expected);
}

}  // namespace
}  // namespace Arkova::Platform
