// Feeds arbitrary bytes to the JPEG decoder, unlimited and reduced for a preview pane: every fatal error of the
// library must come back as false (never exit, never touch freed memory), and a success must leave a full buffer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "preview/jpeg_turbo_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Arkova::JpegTurboDecoder decoder;
    for (std::uint32_t limit : {0u, 300u}) {
        if (!decoder.LoadMemory(data, size, limit * 4 / 3, limit, limit == 0)) {
            if (decoder.Pixels() != nullptr) std::abort();
            continue;
        }
        const std::uint8_t* last = decoder.Pixels() + std::size_t{decoder.Height() - 1} * decoder.Stride();
        if (decoder.Stride() != decoder.Width() * 4 || last[decoder.Stride() - 1] != 255) std::abort();
    }
    return 0;
}
