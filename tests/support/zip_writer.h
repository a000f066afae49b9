// Writes ZIP archives byte by byte for tests: stored and deflated entries, data descriptors, local headers that
// disagree with the central directory, ZIP64 records, extended timestamps, hostile names and damaged directories.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "support/alz_writer.h"

namespace Arkova::Testing {

struct ZipWriterEntry {
    std::string name;  // the name bytes as stored
    Bytes content;     // the unpacked data
    std::uint16_t method = 8;
    std::uint16_t flags = 0;
    bool dataDescriptor = false;  // sets flag bit 3, zero sizes in the local header, a descriptor after the data
    bool zip64 = false;           // sizes and offset as 0xFFFFFFFF with the 0x0001 extra field
    std::uint16_t dosDate = (43 << 9) | (11 << 5) | 5;  // 2023-11-05
    std::uint16_t dosTime = (10 << 11) | (20 << 5) | 15;  // 10:20:30
    std::optional<std::int32_t> unixTime;  // an extended-timestamp field (0x5455) in the central record
    std::uint8_t hostOs = 0;
    std::uint32_t externalAttributes = 0;
    // What the headers claim and what follows the local header; by default computed from the above.
    std::optional<std::uint16_t> localMethod;
    std::optional<std::uint32_t> crc;
    std::optional<std::uint64_t> compressedSize;    // both headers
    std::optional<std::uint64_t> uncompressedSize;  // both headers
    std::optional<std::uint64_t> localCompressedSize;
    std::optional<std::uint64_t> localUncompressedSize;
    std::optional<Bytes> storedData;
    Bytes centralExtra;   // appended to the central record's extra field
    std::string comment;  // the central record's comment bytes
};

// An Info-ZIP Unicode Path (0x7075) or Unicode Comment (0x6375) field for a header holding `header`: version 1, the
// CRC-32 of `header` (or `crc` when given), then `utf8`.
Bytes UnicodeExtraField(std::uint16_t id, const std::string& header, const std::string& utf8,
                        std::optional<std::uint32_t> crc = std::nullopt);

struct ZipEnd {
    std::string comment;
    bool zip64 = false;  // a ZIP64 end record and locator, the classic record saturated
    std::optional<std::uint64_t> entryCount;
    std::optional<std::uint64_t> directorySize;
    std::optional<std::uint64_t> directoryOffset;
};

class ZipWriter {
public:
    ZipWriter& Add(const ZipWriterEntry& entry);
    ZipWriter& File(const std::string& name, const std::string& content, std::uint16_t method = 8);
    ZipWriter& Folder(const std::string& name);
    // Appends bytes to the archive as they are, or to the central directory being built.
    ZipWriter& Raw(const Bytes& bytes);
    ZipWriter& RawCentral(const Bytes& bytes);
    // Writes the central directory and the end record(s).
    ZipWriter& Finish(const ZipEnd& end = {});

    const Bytes& Data() const { return bytes_; }
    bool WriteTo(const std::wstring& path) const;

private:
    Bytes bytes_;
    Bytes central_;
    std::uint64_t count_ = 0;
};

// Little-endian appends, for tests that build records of their own.
void PutLe(Bytes& out, std::uint64_t value, unsigned width);

}  // namespace Arkova::Testing
