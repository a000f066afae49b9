// The reader stage's window must hand out exactly the bytes a direct read would, wherever a read falls.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "fastzip/read_window.h"
#include "support/scratch_folder.h"

namespace Arkova::FastZip {
namespace {

TEST(ReadWindowTest, ReadsMatchTheFileAcrossRefillsAndAtItsEnd) {
    Testing::ScratchFolder scratch;
    std::vector<std::uint8_t> content(ReadWindow::kSize * 2 + 1000);
    for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    ASSERT_TRUE(Testing::WriteBytes(scratch / L"data.bin", content));
    ZipFileReader reader;
    ASSERT_TRUE(reader.Open(scratch / L"data.bin"));
    ReadWindow window(reader);
    const std::uint64_t size = content.size();
    // (offset, length): inside one fill, across the window's end, backwards, as large as the window, the last byte.
    const std::pair<std::uint64_t, std::size_t> reads[] = {
        {0, 30},           {30, 1000}, {ReadWindow::kSize - 10, 40}, {5, 5}, {100, ReadWindow::kSize}, {size - 1, 1},
        {size - 300, 300}, {size, 0}};
    for (auto [offset, length] : reads) {
        std::vector<std::uint8_t> got(length);
        ASSERT_TRUE(window.ReadExactAt(offset, got.data(), length)) << offset << "+" << length;
        EXPECT_TRUE(std::equal(got.begin(), got.end(), content.begin() + static_cast<std::ptrdiff_t>(offset)))
            << offset << "+" << length;
    }
    std::uint8_t byte = 0;
    EXPECT_FALSE(window.ReadExactAt(size - 2, &byte, 3)) << "past the end";
    EXPECT_FALSE(window.ReadExactAt(size + 5, &byte, 1));
    EXPECT_TRUE(window.ReadExactAt(0, &byte, 1)) << "a failed read leaves the window usable";
    EXPECT_EQ(byte, content[0]);
}

}  // namespace
}  // namespace Arkova::FastZip
