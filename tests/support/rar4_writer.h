// Writes RAR 4 archives of stored entries for tests, byte by byte: names as raw bytes (e.g. CP949, with no
// Unicode form), hostile names, a damaged CRC, and one file split across a volume set named in the old style
// (name.rar, name.r00, name.r01, ...).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/alz_writer.h"

namespace Arkova::Testing {

class Rar4Writer {
public:
    Rar4Writer();
    // The DOS time is the wall clock, as RAR 4 stores it; `badCrc` stores a CRC that the data does not have.
    Rar4Writer& Stored(const std::string& nameBytes, const std::string& content, bool badCrc = false,
                       std::uint32_t dosDateTime = DosDateTime(2023, 11, 5, 10, 20, 30));
    Rar4Writer& Folder(const std::string& nameBytes);
    Rar4Writer& Finish();

    const Bytes& Data() const { return bytes_; }
    bool WriteTo(const std::wstring& path) const;

    // One stored file split evenly over `volumes` volumes; `firstVolume` ends in ".rar" and the others take
    // ".r00", ".r01", ... in its place. False when a volume cannot be written.
    static bool WriteSplitFile(const std::wstring& firstVolume, const std::string& nameBytes,
                               const std::string& content, unsigned volumes);
    static std::wstring VolumeName(const std::wstring& firstVolume, unsigned volume);

private:
    void AddMainHeader(std::uint16_t flags);
    void AddFileHeader(std::uint16_t flags, const std::string& name, const std::string& part, std::uint64_t size,
                       std::uint32_t crc, std::uint32_t attributes, std::uint32_t dosDateTime);
    void AddEnd(std::uint16_t flags);
    void AddBlock(std::uint8_t type, std::uint16_t flags, const Bytes& fields);

    Bytes bytes_;
};

}  // namespace Arkova::Testing
