// Image decoding through the Windows imaging component (PNG, GIF, BMP, TIFF, ICO, JPEG XR, and JPEG when
// libjpeg-turbo refuses one). Reduced with the component's scaler when the image is larger than the limits.
// Pixels are premultiplied BGRA. COM must be initialised on the calling thread; the imaging factory is made once
// per process and shared.
#pragma once

#include "preview/image_decoder.h"

namespace Arkova {

class WicDecoder : public PixelImageDecoder {
public:
    bool LoadFile(const std::wstring& path, std::uint32_t maxWidth, std::uint32_t maxHeight, bool highQuality) override;
    bool LoadFile(const std::wstring& path) override { return LoadFile(path, 0, 0, true); }
    bool LoadMemory(const std::uint8_t* data, std::uint64_t length, std::uint32_t maxWidth, std::uint32_t maxHeight,
                    bool highQuality) override;
    bool LoadMemory(const std::uint8_t* data, std::uint64_t length) override {
        return LoadMemory(data, length, 0, 0, true);
    }

private:
    struct Source;
    bool Decode(Source& source, std::uint32_t maxWidth, std::uint32_t maxHeight, bool highQuality);
};

}  // namespace Arkova
