// The extra fields of a central record that the engine uses: ZIP64 sizes and offset, modification times, and the
// Unicode forms of the name and comment.
#pragma once

#include <cstddef>
#include <cstdint>

namespace Arkova::FastZip {

inline constexpr std::uint32_t kZip64Marker32 = 0xFFFFFFFFu;

struct CentralExtras {
    // ZIP64 values, present only for the fields that the record set to 0xFFFFFFFF.
    bool hasUncompressed = false, hasCompressed = false, hasOffset = false;
    std::uint64_t uncompressedSize = 0, compressedSize = 0, localHeaderOffset = 0;
    // FILETIME ticks, UTC, from the NTFS field (0x000A), else the extended timestamp (0x5455) or the older Unix
    // field (0x5855); 0 when absent.
    std::uint64_t ntfsModifiedTime = 0;
    std::uint64_t ntfsCreationTime = 0;
    // A time field that other readers take differently: a repeated or short NTFS field or a zero time in it, a
    // negative Unix time, an extended timestamp without the modification time.
    bool unusualTimes = false;
    std::uint64_t unixModifiedTime = 0;
    // The Info-ZIP Unicode Path (0x7075) and Unicode Comment (0x6375) fields' data, inside the block; null when
    // absent. Whether they apply is UnicodeFieldText's check.
    const std::uint8_t* unicodePath = nullptr;
    std::size_t unicodePathLength = 0;
    const std::uint8_t* unicodeComment = nullptr;
    std::size_t unicodeCommentLength = 0;
};

// Walks the extra-field block; malformed or truncated fields are ignored, never read past `length`.
// `needUncompressed` etc. say which central fields held the ZIP64 marker, and so which values the 0x0001 field holds.
CentralExtras ParseCentralExtras(const std::uint8_t* data, std::size_t length, bool needUncompressed,
                                 bool needCompressed, bool needOffset);

}  // namespace Arkova::FastZip
