#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Arkova {

// CRC-32 (zlib polynomial) of a buffer of any length, continuing from `crc`.
std::uint32_t Crc32(const std::uint8_t* data, std::size_t length, std::uint32_t crc = 0);
inline std::uint32_t Crc32(const std::vector<std::uint8_t>& data) { return Crc32(data.data(), data.size()); }

}  // namespace Arkova
