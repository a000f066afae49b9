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

std::uint32_t Crc32Combine(std::uint32_t first, std::uint32_t second, std::uint64_t secondLength) {
    // zlib's length is a long, 32 bits on Windows. Combining with a CRC of 0 only shifts the first CRC, so a long
    // second piece is taken as zero-CRC pieces followed by a short one.
    constexpr std::uint64_t kPiece = std::uint64_t{1} << 30;
    uLong value = first;
    while (secondLength > kPiece) {
        value = crc32_combine(value, 0, static_cast<z_off_t>(kPiece));
        secondLength -= kPiece;
    }
    return static_cast<std::uint32_t>(crc32_combine(value, second, static_cast<z_off_t>(secondLength)));
}

}  // namespace Arkova
