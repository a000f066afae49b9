// Writes ALZ archives byte by byte for tests: every header variant, including ones no real archiver makes
// (odd size widths, lying sizes, empty and over-long names, truncation).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace Arkova::Testing {

using Bytes = std::vector<std::uint8_t>;

Bytes ToBytes(const std::string& text);
// Raw DEFLATE (no zlib header), as ALZ, EGG and ZIP store it.
Bytes DeflateRaw(const Bytes& data, int level = 6);

// DOS date and time packed as ALZ stores them: date in the high half.
constexpr std::uint32_t DosDateTime(unsigned year, unsigned month, unsigned day, unsigned hour, unsigned minute,
                                    unsigned second) {
    std::uint32_t date = ((year - 1980) << 9) | (month << 5) | day;
    std::uint32_t time = (hour << 11) | (minute << 5) | (second / 2);
    return (date << 16) | time;
}

struct AlzEntry {
    std::string name;  // the name bytes as stored (e.g. CP949)
    Bytes content;     // the unpacked data
    std::uint8_t attribute = 0x20;
    std::uint32_t dosDateTime = DosDateTime(2023, 11, 5, 10, 20, 30);
    bool encrypted = false;
    std::string password;     // with `encrypted`: the data really is encrypted with it (otherwise a dummy header)
    unsigned sizeWidth = 4;   // W: 0 .. 15
    std::uint8_t method = 2;  // 0 stored, 1 ALZ's bzip2, 2 deflate; anything else is written as given
    // What the header claims and what follows it; by default computed from `content` and `method`.
    std::optional<std::uint32_t> crc;
    std::optional<std::uint64_t> packedSize;
    std::optional<std::uint64_t> unpackedSize;
    std::optional<std::uint16_t> nameLength;
    std::optional<Bytes> storedData;
};

class AlzWriter {
public:
    AlzWriter& ArchiveHeader();
    AlzWriter& Add(const AlzEntry& entry);
    AlzWriter& File(const std::string& name, const std::string& content, std::uint8_t method = 2);
    AlzWriter& Folder(const std::string& name);
    // Appends bytes as they are (a damaged tail, an unknown signature).
    AlzWriter& Raw(const Bytes& bytes);

    const Bytes& Data() const { return bytes_; }
    bool WriteTo(const std::wstring& path) const;

private:
    void Put(std::uint64_t value, unsigned width);
    Bytes bytes_;
};

}  // namespace Arkova::Testing
