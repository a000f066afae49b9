// Guards the JPEG decoder: the reduction chosen for the preview's limits, the decoded size and pixel layout, the
// image names taken as images, and that damaged data ends a load with false instead of ending the process.
#include "preview/jpeg_turbo_decoder.h"

#include <gtest/gtest.h>

#include "preview/image_name.h"
#include "support/jpeg_writer.h"
#include "support/scratch_folder.h"

namespace Arkova {
namespace {

using Testing::MakeSolidJpeg;
using Testing::Rgb;

struct ScaleCase {
    int width;
    int height;
    std::uint32_t decodedWidth;
    std::uint32_t decodedHeight;
};

TEST(JpegTurboDecoderTest, ReducesWhileDecodingByTheLargestStepThatStillFillsTheLimits) {
    for (const ScaleCase& scale : {ScaleCase{4000, 3000, 500, 375}, ScaleCase{1000, 750, 500, 375},
                                   ScaleCase{600, 450, 600, 450}, ScaleCase{200, 100, 200, 100}}) {
        SCOPED_TRACE(std::to_string(scale.width) + "x" + std::to_string(scale.height));
        std::vector<std::uint8_t> jpeg = MakeSolidJpeg(scale.width, scale.height, {200, 100, 50}, 75);
        JpegTurboDecoder decoder;
        ASSERT_TRUE(decoder.LoadMemory(jpeg.data(), jpeg.size(), 400, 300, false));
        EXPECT_EQ(decoder.Width(), scale.decodedWidth);
        EXPECT_EQ(decoder.Height(), scale.decodedHeight);
        EXPECT_EQ(decoder.Stride(), scale.decodedWidth * 4);
        EXPECT_EQ(decoder.SourceWidth(), static_cast<std::uint32_t>(scale.width));
        EXPECT_EQ(decoder.SourceHeight(), static_cast<std::uint32_t>(scale.height));
    }
    // Only the wider or the taller side needs to reach its limit; no limit means full size.
    EXPECT_EQ(JpegTurboDecoder::ScaleDenominator(4000, 100, 400, 300), 8u);
    EXPECT_EQ(JpegTurboDecoder::ScaleDenominator(100, 2400, 400, 300), 8u);
    EXPECT_EQ(JpegTurboDecoder::ScaleDenominator(4000, 3000, 0, 300), 1u);
    EXPECT_EQ(JpegTurboDecoder::ScaleDenominator(797, 597, 400, 300), 1u);
    EXPECT_EQ(JpegTurboDecoder::ScaleDenominator(799, 597, 400, 300), 2u);
}

TEST(JpegTurboDecoderTest, DeliversOpaqueBgraRowsTopToBottomFromMemoryAndFiles) {
    // Red above, blue below: the rows' order and the bytes' order both show.
    std::vector<std::uint8_t> jpeg = Testing::MakeJpeg(
        64, 32,
        [](int, int y) {
            return y < 16 ? Rgb{250, 0, 0} : Rgb{0, 0, 250};
        },
        95);
    Testing::ScratchFolder folder;
    const std::wstring path = folder / L"사진.jpg";
    ASSERT_TRUE(Testing::WriteBytes(path, jpeg));
    for (bool fromFile : {false, true}) {
        for (bool highQuality : {false, true}) {
            SCOPED_TRACE(testing::Message() << "file " << fromFile << ", high quality " << highQuality);
            JpegTurboDecoder decoder;
            ASSERT_TRUE(fromFile ? decoder.LoadFile(path, 0, 0, highQuality)
                                 : decoder.LoadMemory(jpeg.data(), jpeg.size(), 0, 0, highQuality));
            ASSERT_EQ(decoder.Width(), 64u);
            ASSERT_EQ(decoder.Height(), 32u);
            const std::uint8_t* top = decoder.Pixels() + 4 * decoder.Stride() + 8 * 4;
            const std::uint8_t* bottom = decoder.Pixels() + 28 * decoder.Stride() + 8 * 4;
            EXPECT_NEAR(top[2], 250, 6);  // red
            EXPECT_NEAR(top[0], 0, 6);
            EXPECT_NEAR(bottom[0], 250, 6);  // blue
            EXPECT_NEAR(bottom[2], 0, 6);
            EXPECT_EQ(top[3], 255);
            EXPECT_EQ(bottom[3], 255);
        }
    }
    JpegTurboDecoder decoder;
    EXPECT_FALSE(decoder.LoadFile(folder / L"없음.jpg"));
    ASSERT_TRUE(Testing::WriteBytes(folder / L"empty.jpg", {}));
    EXPECT_FALSE(decoder.LoadFile(folder / L"empty.jpg"));
}

TEST(JpegTurboDecoderTest, DamagedDataFailsAndLeavesTheDecoderEmpty) {
    const std::vector<std::uint8_t> good = MakeSolidJpeg(256, 256, {10, 200, 30});
    JpegTurboDecoder decoder;
    ASSERT_TRUE(decoder.LoadMemory(good.data(), good.size()));

    std::vector<std::uint8_t> headerOnly(good.begin(), good.begin() + 20);
    std::vector<std::uint8_t> noFrame = {0xFF, 0xD8, 0xFF, 0xD9};
    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13};
    // A start-of-frame that claims zero width.
    std::vector<std::uint8_t> zeroWidth = good;
    for (std::size_t i = 0; i + 8 < zeroWidth.size(); ++i) {
        if (zeroWidth[i] == 0xFF && zeroWidth[i + 1] == 0xC0) {
            zeroWidth[i + 7] = 0;
            zeroWidth[i + 8] = 0;
            break;
        }
    }
    // A start-of-frame that claims 60000 x 60000 pixels for a few hundred bytes of data.
    std::vector<std::uint8_t> huge = good;
    for (std::size_t i = 0; i + 8 < huge.size(); ++i) {
        if (huge[i] == 0xFF && huge[i + 1] == 0xC0) {
            huge[i + 5] = huge[i + 7] = 0xEA;
            huge[i + 6] = huge[i + 8] = 0x60;
            break;
        }
    }
    for (const auto& bad : {headerOnly, noFrame, png, zeroWidth, huge}) {
        EXPECT_FALSE(decoder.LoadMemory(bad.data(), bad.size(), 400, 300, false));
        EXPECT_EQ(decoder.Pixels(), nullptr);
        EXPECT_EQ(decoder.Width(), 0u);
        EXPECT_EQ(decoder.Stride(), 0u);
    }
    EXPECT_FALSE(decoder.LoadMemory(nullptr, 10));
    EXPECT_FALSE(decoder.LoadMemory(good.data(), 0));

    // Data cut off after the header decodes what is there (the library fills the rest) rather than failing hard.
    std::vector<std::uint8_t> truncated(good.begin(), good.begin() + static_cast<long>(good.size() / 2));
    EXPECT_TRUE(decoder.LoadMemory(truncated.data(), truncated.size()));
    EXPECT_EQ(decoder.Width(), 256u);

    decoder.Reset();
    EXPECT_EQ(decoder.Pixels(), nullptr);
    EXPECT_EQ(decoder.SourceWidth(), 0u);
    EXPECT_EQ(decoder.ReservedQuery(), 0u);
}

TEST(ImageNameTest, TakesTheImageExtensionsInAnyCase) {
    for (const wchar_t* name : {L"photo.JPG", L"a.png", L"b.jpeg", L"c.Bmp", L"d.gif", L"e.tiff", L"f.TIF", L"g.ico",
                                L"h.wdp", L"i.hdp", L"j.jxr", L"사진.Jpg", L"archive.zip.png"}) {
        EXPECT_TRUE(IsImageFileName(name)) << name;
    }
    for (const wchar_t* name : {L"photo.webp", L"photo", L"", L"png", L"jpg.", L"a.jpg.txt", L".jpgx", L"a.ＪＰＧ"}) {
        EXPECT_FALSE(IsImageFileName(name)) << name;
    }
}

}  // namespace
}  // namespace Arkova
