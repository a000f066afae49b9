#include "preview/image_decoder.h"

#include <limits>
#include <new>

#include "platform/file.h"

namespace Arkova {

void PixelImageDecoder::Reset() {
    std::vector<std::uint8_t>().swap(pixels_);
    width_ = height_ = stride_ = sourceWidth_ = sourceHeight_ = 0;
}

bool PixelImageDecoder::AllocatePixels(std::uint32_t width, std::uint32_t height) {
    const std::uint64_t stride = std::uint64_t{width} * 4;
    // A gigabyte of pixels is more than any preview or thumbnail needs; larger claims are refused, not attempted.
    constexpr std::uint64_t kMaxPixels = std::uint64_t{1} << 28;
    if (width == 0 || height == 0 || std::uint64_t{width} * height > kMaxPixels) return false;
    try {
        pixels_.assign(static_cast<std::size_t>(stride * height), 0);
    } catch (const std::bad_alloc&) {
        Reset();
        return false;
    }
    width_ = width;
    height_ = height;
    stride_ = static_cast<std::uint32_t>(stride);
    return true;
}

bool ReadWholeFile(const std::wstring& path, std::vector<std::uint8_t>& bytes) {
    Platform::InputFile file;
    std::uint64_t size = 0;
    if (!file.Open(path) || !file.Size(size) || size == 0) return false;
    if (size > std::numeric_limits<std::size_t>::max() / 2) return false;
    try {
        bytes.resize(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
        return false;
    }
    return file.ReadExactAt(0, bytes.data(), bytes.size());
}

}  // namespace Arkova
