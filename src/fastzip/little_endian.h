// Little-endian field access for ZIP records. Callers check bounds before reading.
#pragma once

#include <cstddef>
#include <cstdint>

namespace Arkova::FastZip {

inline std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

inline std::uint32_t Le32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline std::uint64_t Le64(const std::uint8_t* p) {
    return static_cast<std::uint64_t>(Le32(p)) | (static_cast<std::uint64_t>(Le32(p + 4)) << 32);
}

inline bool HasSignature(const std::uint8_t* p, std::uint8_t third, std::uint8_t fourth) {
    return p[0] == 0x50 && p[1] == 0x4B && p[2] == third && p[3] == fourth;
}

}  // namespace Arkova::FastZip
