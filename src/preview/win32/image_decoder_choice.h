// The preview's choice of decoder for an entry's bytes: libjpeg-turbo for data that starts like a JPEG, the
// imaging component for everything else and for JPEGs the library refuses. COM must be initialised on the thread.
#pragma once

#include <cstdint>
#include <memory>

#include "preview/image_decoder.h"

namespace Arkova {

// Replaces the decoder in `slot` with the one that decoded the data at about maxWidth x maxHeight; false when
// neither could (the slot then holds an empty decoder).
bool CreateImageDecoderForData(std::unique_ptr<IImageDecoder>& slot, const std::uint8_t* data, std::uint64_t length,
                               std::uint32_t maxWidth, std::uint32_t maxHeight);

}  // namespace Arkova
