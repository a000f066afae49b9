// JPEG decoding with libjpeg-turbo, reduced by 1/2, 1/4 or 1/8 while decoding when the wanted size allows it:
// the largest reduction that still leaves the image at least as wide or as tall as the limits. Pixels are BGRA
// with alpha 255. A fatal error of the library ends the load with false; the process never exits.
#pragma once

#include "preview/image_decoder.h"

namespace Arkova {

class JpegTurboDecoder : public PixelImageDecoder {
public:
    bool LoadFile(const std::wstring& path, std::uint32_t maxWidth, std::uint32_t maxHeight, bool highQuality) override;
    bool LoadFile(const std::wstring& path) override { return LoadFile(path, 0, 0, false); }
    bool LoadMemory(const std::uint8_t* data, std::uint64_t length, std::uint32_t maxWidth, std::uint32_t maxHeight,
                    bool highQuality) override;
    bool LoadMemory(const std::uint8_t* data, std::uint64_t length) override {
        return LoadMemory(data, length, 0, 0, false);
    }

    // The denominator d of the 1/d reduction for an image of width x height decoded for the limits.
    static unsigned ScaleDenominator(std::uint32_t width, std::uint32_t height, std::uint32_t maxWidth,
                                     std::uint32_t maxHeight);
};

}  // namespace Arkova
