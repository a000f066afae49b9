#include "archive/crc32.h"

#include <zlib.h>

#include <algorithm>
#include <climits>

namespace Arkova {

std::uint32_t Crc32(const std::uint8_t* data, std::size_t length, std::uint32_t crc) {
    uLong value = crc;
    // zlib takes 32-bit lengths.
    while (length > 0) {
        std::size_t piece = std::min<std::size_t>(length, UINT_MAX);
        value = crc32(value, data, static_cast<uInt>(piece));
        data += piece;
        length -= piece;
    }
    return static_cast<std::uint32_t>(value);
}

}  // namespace Arkova
