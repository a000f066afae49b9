// Opening through the archive context what the detection tables do not know (LZH, ARJ, CPIO, compress .Z: the
// library's handlers recognise them), tarballs as the tar inside, and compressed streams followed by trailing bytes,
// which are delivered with a warning instead of failing.
#include <gtest/gtest.h>

#include <string>

#include "archive/archive_context.h"
#include "archive/crc32.h"
#include "fixtures.h"
#include "platform/file_system.h"
#include "platform/text.h"
#include "support/scratch_folder.h"

namespace Arkova {
namespace {

using Testing::ScratchFolder;

std::size_t FindPath(const ArchiveContext& context, const std::wstring& path) {
    const auto& items = context.Items();
    for (std::size_t i = 0; i < items.size(); ++i) {
        std::wstring slashed = items[i].path;
        for (wchar_t& c : slashed) {
            if (c == L'\\') c = L'/';
        }
        if (slashed == path) return i;
    }
    return items.size();
}

void ExpectEveryEntryPasses(ArchiveContext& context, const std::wstring& name) {
    std::vector<ItemTestResult> results = context.TestAll();
    EXPECT_FALSE(results.empty()) << Platform::WideToUtf8(name);
    for (const ItemTestResult& result : results) {
        EXPECT_TRUE(result.ok) << Platform::WideToUtf8(name + L": " + result.path);
    }
}

TEST(DetectionTest, FormatsOutsideTheTablesOpenThroughTheLibrary) {
    for (const wchar_t* name : {L"lh6.lzh", L"tree.arj", L"tree.cpio", L"single.txt.Z"}) {
        const std::wstring path = Testing::FixturePath(name);
        if (path.empty()) continue;  // its tool (or the corpus) is missing
        ArchiveContext context;
        ASSERT_EQ(context.OpenArchive(path), DecodeResult::Ok) << Platform::WideToUtf8(name);
        EXPECT_EQ(context.Format(), ArchiveFormat::Unrecognized) << "neither table knows it";
        ASSERT_FALSE(context.Items().empty()) << Platform::WideToUtf8(name);
        ExpectEveryEntryPasses(context, name);
        // The last file entry, written where asked.
        std::uint32_t last = static_cast<std::uint32_t>(context.Items().size());
        while (last > 0 && context.Items()[last - 1].isDirectory) --last;
        ASSERT_GT(last, 0u);
        ScratchFolder folder;
        ASSERT_EQ(context.ExtractItemToFile(last - 1, folder / L"out.bin"), DecodeResult::Ok)
            << Platform::WideToUtf8(name);
        const ArchiveItem& item = context.Items()[last - 1];
        std::vector<std::uint8_t> data = Testing::ReadBytes(folder / L"out.bin");
        if (item.size != 0) {
            EXPECT_EQ(data.size(), item.size) << Platform::WideToUtf8(name);
        }
        if (item.crc != 0) {
            EXPECT_EQ(Crc32(data), item.crc) << Platform::WideToUtf8(name);
        }
    }
}

// The table names the format (gzip, bzip2); the items are the tar's, and every operation reads the compressed
// stream as it goes.
TEST(DetectionTest, TarballsListTheirTarThroughTheContext) {
    for (const wchar_t* name : {L"tree.tar.gz", L"tree.tar.bz2", L"tarball.data"}) {
        ARKOVA_REQUIRE_FIXTURE(path, name);
        ArchiveContext context;
        ASSERT_EQ(context.OpenArchive(path), DecodeResult::Ok) << Platform::WideToUtf8(name);
        std::size_t big = FindPath(context, L"tree/sub/deeper/big.txt");
        ASSERT_LT(big, context.Items().size()) << Platform::WideToUtf8(name);
        EXPECT_LT(FindPath(context, L"tree/a.txt"), context.Items().size());
        ExpectEveryEntryPasses(context, name);

        // Large enough to be written in pieces with progress.
        ScratchFolder folder;
        std::uint64_t lastDone = 0;
        ASSERT_EQ(context.ExtractItemToFile(static_cast<std::uint32_t>(big), folder / L"big.txt",
                                            [&lastDone](std::uint64_t done, std::uint64_t) {
                                                lastDone = done;
                                                return true;
                                            }),
                  DecodeResult::Ok);
        EXPECT_EQ(Testing::ReadText(folder / L"big.txt"), Testing::BigFileText());
        EXPECT_EQ(lastDone, Testing::BigFileText().size());
        // An earlier entry after a later one: the stream starts again from its beginning.
        std::vector<std::uint8_t> alpha;
        ASSERT_EQ(
            context.Decoder()->ExtractToMemory(static_cast<std::uint32_t>(FindPath(context, L"tree/a.txt")), alpha),
            DecodeResult::Ok);
        EXPECT_EQ(std::string(alpha.begin(), alpha.end()), "alpha\n");
    }
}

TEST(DetectionTest, TrailingBytesAfterAGoodStreamAreAWarning) {
    for (const wchar_t* name : {L"trailing.txt.gz", L"trailing.tgz"}) {
        ARKOVA_REQUIRE_FIXTURE(path, name);
        ArchiveContext context;
        ASSERT_EQ(context.OpenArchive(path), DecodeResult::Ok) << Platform::WideToUtf8(name);
        ExpectEveryEntryPasses(context, name);
        ASSERT_FALSE(context.Decoder()->Warnings().empty()) << Platform::WideToUtf8(name);
        EXPECT_NE(context.Decoder()->Warnings().front().find(L"ignored"), std::wstring::npos);

        ScratchFolder folder;
        ASSERT_EQ(context.Decoder()->ExtractAll(folder.Path()), DecodeResult::Ok)
            << Platform::WideToUtf8(context.Decoder()->LastErrorText());
        if (std::wstring(name) == L"trailing.tgz") {
            EXPECT_EQ(Testing::ReadText(folder / L"tree/sub/deeper/big.txt"), Testing::BigFileText());
        } else {
            EXPECT_EQ(Testing::ReadText(folder / L"single.txt"), "alpha\n");
        }
    }
}

}  // namespace
}  // namespace Arkova
