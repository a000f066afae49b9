// The central directory as the engine sees it.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "fastzip/zip_file_reader.h"

namespace Arkova::FastZip {

inline constexpr std::uint16_t kFlagEncrypted = 0x0001;
inline constexpr std::uint16_t kFlagDataDescriptor = 0x0008;
inline constexpr std::uint16_t kFlagUtf8Names = 0x0800;

inline constexpr std::uint16_t kMethodStored = 0;
inline constexpr std::uint16_t kMethodDeflate = 8;
inline constexpr std::uint16_t kMethodBzip2 = 12;
// Not a ZIP method: ALZ's bzip2 variant, which only the ALZ source lists (a ZIP entry claiming it is refused).
inline constexpr std::uint16_t kMethodAlzBzip2 = 0xA12B;

// One central-directory record. Sizes and the offset are 64-bit so that ZIP64 values fit.
struct ZipEntry {
    std::wstring name;        // as stored, "/" or "\" separated, decoded to wide text
    std::wstring targetPath;  // full output path, set by the engine
    std::uint64_t localHeaderOffset = 0;
    std::uint64_t dataOffset = 0;  // set by the engine from the local header
    std::uint64_t compressedSize = 0;
    std::uint64_t uncompressedSize = 0;
    std::uint16_t method = 0;
    std::uint16_t flags = 0;
    std::uint32_t crc32 = 0;
    std::uint32_t attributes = 0;    // Windows attribute bits, from the external attributes
    std::uint64_t modifiedTime = 0;  // FILETIME ticks, UTC; 0 when the archive gives none
    std::uint64_t creationTime = 0;  // FILETIME ticks, UTC, from the NTFS field only; 0 when absent
    bool unusualTimes = false;       // see CentralExtras
    std::uint8_t host = 0;           // the high byte of "version made by"
    std::uint32_t externalAttributes = 0;  // as stored: their meaning depends on the host
    // A trailing separator, or the folder bit of a host that keeps DOS attributes or Unix modes.
    bool isDirectory = false;
    std::wstring comment;  // the entry's comment, decoded as the name is
    bool crcKnown = true;  // false: the archive stores no CRC for the entry (ALZ and EGG write 0), none is checked
};

struct ZipArchiveIndex {
    ZipFileReader reader;
    std::vector<ZipEntry> entries;
    std::atomic<std::uint64_t> totalUncompressed{0};
    // What the end record announced, and whether every byte of the directory was a readable record. A directory
    // that ends early lists the records before the damage.
    std::uint64_t announcedEntries = 0;
    bool directoryComplete = false;
    // The end record ends the file and the directory runs up to it (through the ZIP64 records): nothing in the
    // archive's tail belongs to no record.
    bool tightEnd = false;
    // The code page of names not marked as UTF-8: -1 or 0 the system ANSI code page; else the one the user chose.
    std::int32_t nameCodePage = -1;
};

// What a read of the directory found, without the open file: a later run in the same code page starts from it.
struct ListedDirectory {
    std::vector<ZipEntry> entries;
    std::uint64_t announcedEntries = 0;
    bool directoryComplete = false;
    bool tightEnd = false;
    std::int32_t nameCodePage = -1;
    std::uint64_t fileSize = 0;  // of the archive when it was read: a changed size means it must be read again
};

}  // namespace Arkova::FastZip
