// The archive context over a real decoder: opening by detected format, chunked extraction with progress and
// cancellation, and CRC tests of single entries and whole archives.
#include <gtest/gtest.h>

#include "archive/archive_context.h"
#include "platform/file_system.h"
#include "support/alz_writer.h"
#include "support/scratch_folder.h"

namespace Arkova {
namespace {

using Testing::AlzEntry;
using Testing::AlzWriter;
using Testing::Bytes;

Bytes Pattern(std::size_t size) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>((i * 131) ^ (i >> 9));
    return bytes;
}

class ArchiveContextTest : public ::testing::Test {
protected:
    void SetUp() override {
        AlzEntry big;
        big.name = "big.bin";
        big.content = Pattern(2 * 1024 * 1024);
        AlzEntry noCrc;
        noCrc.name = "nocrc.txt";
        noCrc.content = Testing::ToBytes("whatever");
        noCrc.crc = 0;
        AlzEntry damaged;
        damaged.name = "damaged.txt";
        damaged.content = Testing::ToBytes("payload");
        damaged.crc = 0xABCDEF01;
        archive_ = folder_ / L"test.alz";
        ASSERT_TRUE(AlzWriter().Folder("dir").Add(big).Add(noCrc).Add(damaged).WriteTo(archive_));
        ASSERT_EQ(context_.OpenArchive(archive_), DecodeResult::Ok);
    }

    Testing::ScratchFolder folder_;
    std::wstring archive_;
    ArchiveContext context_;
};

TEST_F(ArchiveContextTest, OpensByDetectedFormatAndRefusesUnknownFiles) {
    EXPECT_EQ(context_.Format(), ArchiveFormat::Alz);
    EXPECT_EQ(context_.Items().size(), 4u);
    std::wstring unknown = folder_ / L"notes.txt";
    ASSERT_TRUE(Testing::WriteText(unknown, "plain text"));
    EXPECT_EQ(context_.OpenArchive(unknown), DecodeResult::UnsupportedFormat);
    EXPECT_EQ(context_.Decoder(), nullptr);
    EXPECT_TRUE(context_.Items().empty());
}

TEST_F(ArchiveContextTest, LargeEntriesReportProgressIn256KiBPieces) {
    std::vector<std::pair<std::uint64_t, std::uint64_t>> calls;
    std::wstring target = folder_ / L"out/big.bin";
    ASSERT_EQ(context_.ExtractItemToFile(1, target,
                                         [&](std::uint64_t done, std::uint64_t total) {
                                             calls.emplace_back(done, total);
                                             return true;
                                         }),
              DecodeResult::Ok);
    ASSERT_EQ(calls.size(), 9u);
    EXPECT_EQ(calls[0], std::make_pair(std::uint64_t{0}, std::uint64_t{2097152}));
    EXPECT_EQ(calls[1].first, 262144u);
    EXPECT_EQ(calls[8].first, 2097152u);
    EXPECT_EQ(Testing::ReadBytes(target), Pattern(2 * 1024 * 1024));
}

TEST_F(ArchiveContextTest, CancellingALargeEntryKeepsTheExistingFile) {
    std::wstring target = folder_ / L"big.bin";
    ASSERT_TRUE(Testing::WriteText(target, "the user's file"));
    int calls = 0;
    EXPECT_EQ(context_.ExtractItemToFile(1, target, [&](std::uint64_t, std::uint64_t) { return ++calls < 3; }),
              DecodeResult::Cancelled);
    EXPECT_EQ(Testing::ReadText(target), "the user's file");
    EXPECT_EQ(context_.ExtractItemToFile(1, target, [](std::uint64_t, std::uint64_t) { return false; }),
              DecodeResult::Cancelled);
    EXPECT_EQ(Testing::ReadText(target), "the user's file");
}

TEST_F(ArchiveContextTest, SmallEntriesReportStartAndEnd) {
    std::vector<std::uint64_t> done;
    ASSERT_EQ(context_.ExtractItemToFile(2, folder_ / L"n.txt",
                                         [&](std::uint64_t d, std::uint64_t) {
                                             done.push_back(d);
                                             return false;  // ignored for small entries
                                         }),
              DecodeResult::Ok);
    EXPECT_EQ(done, (std::vector<std::uint64_t>{0, 8}));
    EXPECT_EQ(context_.ExtractItemToFile(9, folder_ / L"x"), DecodeResult::FileNotFound);
    ArchiveContext empty;
    EXPECT_EQ(empty.ExtractItemToFile(0, folder_ / L"x"), DecodeResult::InvalidArchive);
}

TEST_F(ArchiveContextTest, TestItemComparesCrcsAndAcceptsAMissingOne) {
    ItemTestResult folder = context_.TestItem(0);
    EXPECT_TRUE(folder.ok);
    EXPECT_EQ(folder.actualCrc, 0u);
    ItemTestResult noCrc = context_.TestItem(2);
    EXPECT_TRUE(noCrc.ok);
    EXPECT_NE(noCrc.actualCrc, 0u);
    ItemTestResult damaged = context_.TestItem(3);
    EXPECT_FALSE(damaged.ok);
    EXPECT_EQ(damaged.error, DecodeResult::CrcMismatch);
    EXPECT_EQ(damaged.expectedCrc, 0xABCDEF01u);
    EXPECT_EQ(damaged.path, L"damaged.txt");
    ItemTestResult outside = context_.TestItem(7);
    EXPECT_EQ(outside.error, DecodeResult::FileNotFound);
    EXPECT_EQ(outside.index, 7u);
    EXPECT_TRUE(outside.path.empty());
    ArchiveContext empty;
    EXPECT_EQ(empty.TestItem(0).error, DecodeResult::InternalError);
}

TEST_F(ArchiveContextTest, TestAllSkipsFoldersAndStopsWhenAsked) {
    std::vector<std::uint32_t> seen;
    std::vector<ItemTestResult> all = context_.TestAll([&](std::uint32_t current, std::uint32_t total, const std::wstring&) {
        EXPECT_EQ(total, 3u);
        seen.push_back(current);
        return true;
    });
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(seen, (std::vector<std::uint32_t>{1, 2, 3}));
    EXPECT_TRUE(all[0].ok);
    EXPECT_FALSE(all[2].ok);
    std::vector<ItemTestResult> stopped =
        context_.TestAll([](std::uint32_t current, std::uint32_t, const std::wstring&) { return current < 2; });
    EXPECT_EQ(stopped.size(), 1u);
}

}  // namespace
}  // namespace Arkova
