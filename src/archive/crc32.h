#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Arkova {

// CRC-32 (zlib polynomial) of a buffer of any length, continuing from `crc`.
std::uint32_t Crc32(const std::uint8_t* data, std::size_t length, std::uint32_t crc = 0);
inline std::uint32_t Crc32(const std::vector<std::uint8_t>& data) { return Crc32(data.data(), data.size()); }
// The CRC-32 of two pieces joined, from the CRC of each and the length of the second.
std::uint32_t Crc32Combine(std::uint32_t first, std::uint32_t second, std::uint64_t secondLength);

}  // namespace Arkova
