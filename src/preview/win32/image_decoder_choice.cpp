#include "preview/win32/image_decoder_choice.h"

#include "preview/jpeg_turbo_decoder.h"
#include "preview/win32/wic_decoder.h"

namespace Arkova {

bool CreateImageDecoderForData(std::unique_ptr<IImageDecoder>& slot, const std::uint8_t* data, std::uint64_t length,
                               std::uint32_t maxWidth, std::uint32_t maxHeight) {
    slot.reset();
    if (data == nullptr || length == 0) return false;
    if (length >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF) {
        slot = std::make_unique<JpegTurboDecoder>();
        if (slot->LoadMemory(data, length, maxWidth, maxHeight, false)) return true;
        slot.reset();
    }
    slot = std::make_unique<WicDecoder>();
    return slot->LoadMemory(data, length, maxWidth, maxHeight, false);
}

}  // namespace Arkova
