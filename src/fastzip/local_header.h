// The 30-byte local file header that stands before each entry's data.
#pragma once

#include <cstddef>
#include <cstdint>

#include "fastzip/zip_entry.h"

namespace Arkova::FastZip {

inline constexpr std::size_t kLocalHeaderSize = 30;

// Checks the signature and updates the entry from the header: `dataOffset`, the method, and the sizes unless the
// header defers them to a data descriptor (flag bit 3) or to its ZIP64 field. False for a wrong signature or a data
// offset that would overflow.
bool ApplyLocalHeader(const std::uint8_t* header, ZipEntry& entry);

}  // namespace Arkova::FastZip
