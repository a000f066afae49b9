#include "preview/jpeg_turbo_decoder.h"

#include <csetjmp>
#include <cstdio>
#include <limits>

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

namespace Arkova {

namespace {

// The library's standard error manager, except that a fatal error returns to the load instead of exiting, and
// warnings are not printed.
struct ErrorManager {
    jpeg_error_mgr base{};
    std::jmp_buf exit{};
};

[[noreturn]] void ExitToLoad(j_common_ptr info) {
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    std::longjmp(manager->exit, 1);
}

void IgnoreMessage(j_common_ptr) {}

// A header may claim any size; the data behind it limits what a real picture can be. Even a flat colour costs a
// baseline JPEG a few bits per 8 x 8 block, so more than this many pixels per byte of data is a claim, not a
// picture; small pictures always pass.
constexpr std::uint64_t kMaxPixelsPerByte = 2048;
constexpr std::uint64_t kAlwaysAllowedPixels = std::uint64_t{1} << 22;

bool PlausibleSize(std::uint64_t width, std::uint64_t height, std::uint64_t length) {
    const std::uint64_t pixels = width * height;
    return pixels <= kAlwaysAllowedPixels || pixels / kMaxPixelsPerByte <= length;
}

std::uint32_t CeilDiv(std::uint32_t value, unsigned divisor) { return (value + divisor - 1) / divisor; }

}  // namespace

unsigned JpegTurboDecoder::ScaleDenominator(std::uint32_t width, std::uint32_t height, std::uint32_t maxWidth,
                                            std::uint32_t maxHeight) {
    if (maxWidth == 0 || maxHeight == 0) return 1;
    for (unsigned denominator : {8u, 4u, 2u}) {
        if (CeilDiv(width, denominator) >= maxWidth || CeilDiv(height, denominator) >= maxHeight) return denominator;
    }
    return 1;
}

bool JpegTurboDecoder::LoadFile(const std::wstring& path, std::uint32_t maxWidth, std::uint32_t maxHeight,
                                bool highQuality) {
    Reset();
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(path, bytes)) return false;
    return LoadMemory(bytes.data(), bytes.size(), maxWidth, maxHeight, highQuality);
}

// Nothing with a destructor lives in this function's frame: a fatal error longjmps out of the library calls, and
// the decompressor is destroyed on that path as on the normal one.
bool JpegTurboDecoder::LoadMemory(const std::uint8_t* data, std::uint64_t length, std::uint32_t maxWidth,
                                  std::uint32_t maxHeight, bool highQuality) {
    if (data == nullptr || length == 0) return false;
    Reset();
    if (length > std::numeric_limits<unsigned long>::max()) return false;

    jpeg_decompress_struct info{};
    ErrorManager errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = ExitToLoad;
    errors.base.output_message = IgnoreMessage;
    if (setjmp(errors.exit) != 0) {
        jpeg_destroy_decompress(&info);
        Reset();
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(length));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    if (!PlausibleSize(info.image_width, info.image_height, length)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    sourceWidth_ = info.image_width;
    sourceHeight_ = info.image_height;
    info.scale_num = 1;
    info.scale_denom = ScaleDenominator(info.image_width, info.image_height, maxWidth, maxHeight);
    info.out_color_space = JCS_RGB;
    info.dct_method = highQuality ? JDCT_ISLOW : JDCT_IFAST;
    info.do_fancy_upsampling = highQuality ? TRUE : FALSE;
    info.do_block_smoothing = highQuality ? TRUE : FALSE;
    info.quantize_colors = FALSE;

    jpeg_start_decompress(&info);
    if (info.output_components != 3 || !AllocatePixels(info.output_width, info.output_height)) {
        jpeg_destroy_decompress(&info);
        Reset();
        return false;
    }
    JSAMPARRAY row =
        (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE, info.output_width * 3, 1);
    while (info.output_scanline < info.output_height) {
        std::uint8_t* out = pixels_.data() + std::size_t{info.output_scanline} * stride_;
        if (jpeg_read_scanlines(&info, row, 1) != 1) break;
        const JSAMPLE* in = row[0];
        for (JDIMENSION x = 0; x < info.output_width; ++x, in += 3, out += 4) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
            out[3] = 255;
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

}  // namespace Arkova
