// Decoders that turn an image file or an image held in memory into 32-bit pixels: blue, green, red, alpha bytes,
// rows top to bottom without padding (stride = width x 4). A decoder is empty after creation or Reset and holds
// the pixels of its last successful load; a failed load leaves it empty. One thread at a time per decoder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Arkova {

class IImageDecoder {
public:
    virtual ~IImageDecoder() = default;

    // Limits of 0 mean no limit; a decoder may reduce the image while decoding so that it is about that size.
    virtual bool LoadFile(const std::wstring& path, std::uint32_t maxWidth, std::uint32_t maxHeight,
                          bool highQuality) = 0;
    virtual bool LoadFile(const std::wstring& path) = 0;
    virtual bool LoadMemory(const std::uint8_t* data, std::uint64_t length, std::uint32_t maxWidth,
                            std::uint32_t maxHeight, bool highQuality) = 0;
    virtual bool LoadMemory(const std::uint8_t* data, std::uint64_t length) = 0;
    // The decoded (possibly reduced) size.
    virtual std::uint32_t Width() const = 0;
    virtual std::uint32_t Height() const = 0;
    // The size as stored; the decoded size while that is unknown.
    virtual std::uint32_t SourceWidth() const = 0;
    virtual std::uint32_t SourceHeight() const = 0;
    // The first pixel; null while empty. Owned by the decoder until the next load or Reset.
    virtual const std::uint8_t* Pixels() const = 0;
    virtual std::uint32_t Stride() const = 0;
    virtual std::uint64_t ReservedQuery() const = 0;
    virtual void Reset() = 0;
};

// The state both decoders keep, and the accessors over it.
class PixelImageDecoder : public IImageDecoder {
public:
    std::uint32_t Width() const override { return width_; }
    std::uint32_t Height() const override { return height_; }
    std::uint32_t SourceWidth() const override { return sourceWidth_ != 0 ? sourceWidth_ : width_; }
    std::uint32_t SourceHeight() const override { return sourceHeight_ != 0 ? sourceHeight_ : height_; }
    const std::uint8_t* Pixels() const override { return pixels_.empty() ? nullptr : pixels_.data(); }
    std::uint32_t Stride() const override { return stride_; }
    std::uint64_t ReservedQuery() const override { return 0; }
    void Reset() override;

protected:
    // Sizes the buffer for width x height pixels; false when that cannot be allocated.
    bool AllocatePixels(std::uint32_t width, std::uint32_t height);

    std::vector<std::uint8_t> pixels_;
    std::uint32_t width_ = 0;
    std::uint32_t height_ = 0;
    std::uint32_t stride_ = 0;
    std::uint32_t sourceWidth_ = 0;
    std::uint32_t sourceHeight_ = 0;
};

// Reads a whole file for LoadFile; false when it cannot be opened or read, or is empty.
bool ReadWholeFile(const std::wstring& path, std::vector<std::uint8_t>& bytes);

}  // namespace Arkova
