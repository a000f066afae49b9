// Archives made by the format's own creating program, not by our writer.
#include <gtest/gtest.h>

#include "archive/alz_decoder.h"
#include "archive/crc32.h"
#include "support/samples.h"
#include "support/scratch_folder.h"

namespace Arkova {
namespace {

TEST(AlzSamplesTest, DeflatedEntryMatchesItsCrc) {
    ARKOVA_REQUIRE_SAMPLE(path, L"test.alz");
    AlzDecoder decoder;
    ASSERT_EQ(decoder.Open(path), DecodeResult::Ok);
    ASSERT_EQ(decoder.ItemCount(), 1u);
    const ArchiveItem& item = decoder.Items()[0];
    EXPECT_EQ(item.path, L"test.txt");
    EXPECT_EQ(item.size, 30u);
    EXPECT_EQ(item.method, L"Deflate");
    std::vector<std::uint8_t> data;
    ASSERT_EQ(decoder.ExtractToMemory(0, data), DecodeResult::Ok);
    EXPECT_EQ(Crc32(data), item.crc);
    EXPECT_EQ(std::string(data.begin(), data.end()), "Hello there my name is Andrew.");
}

TEST(AlzSamplesTest, ForwardSlashPathExtractsIntoItsFolder) {
    ARKOVA_REQUIRE_SAMPLE(path, L"t.alz");
    AlzDecoder decoder;
    ASSERT_EQ(decoder.Open(path), DecodeResult::Ok);
    ASSERT_EQ(decoder.ItemCount(), 1u);
    EXPECT_EQ(decoder.Items()[0].path, L"t/t.txt");
    Testing::ScratchFolder folder;
    ASSERT_EQ(decoder.ExtractAll(folder.Path()), DecodeResult::Ok);
    std::string text = Testing::ReadText(folder / L"t/t.txt");
    EXPECT_EQ(text.size(), 2u);
    EXPECT_EQ(Crc32(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), decoder.Items()[0].crc);
}

}  // namespace
}  // namespace Arkova
