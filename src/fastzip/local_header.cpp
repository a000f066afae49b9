#include "fastzip/local_header.h"

#include "fastzip/extra_fields.h"
#include "fastzip/little_endian.h"

namespace Arkova::FastZip {

bool ApplyLocalHeader(const std::uint8_t* header, ZipEntry& entry) {
    if (!HasSignature(header, 0x03, 0x04)) return false;
    std::uint64_t variable = static_cast<std::uint64_t>(Le16(header + 26)) + Le16(header + 28);
    if (entry.localHeaderOffset > UINT64_MAX - kLocalHeaderSize - variable) return false;
    entry.dataOffset = entry.localHeaderOffset + kLocalHeaderSize + variable;
    std::uint16_t flags = Le16(header + 6);
    std::uint32_t compressed = Le32(header + 18);
    std::uint32_t uncompressed = Le32(header + 22);
    // The central sizes (with their ZIP64 values) stay when the local ones are deferred or marked as ZIP64.
    bool deferred =
        (flags & kFlagDataDescriptor) != 0 || compressed == kZip64Marker32 || uncompressed == kZip64Marker32;
    if (!deferred) {
        entry.compressedSize = compressed;
        entry.uncompressedSize = uncompressed;
    }
    entry.method = Le16(header + 8);
    return true;
}

}  // namespace Arkova::FastZip
