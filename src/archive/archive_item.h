// One archive entry as every decoder lists it.
#pragma once

#include <cstdint>
#include <string>

namespace Arkova {

struct ArchiveItem {
    std::wstring path;  // as the archive stores it, "\" or "/" separated
    std::uint64_t size = 0;
    std::uint64_t packedSize = 0;
    std::uint32_t crc = 0;         // CRC-32 of the unpacked data; 0 = none known, not checked
    std::uint32_t attributes = 0;  // Windows attribute bits
    std::uint64_t creationTime = 0;  // FILETIME; 0 = unknown
    std::uint64_t modifiedTime = 0;  // FILETIME; 0 = unknown
    bool isDirectory = false;
    bool isEncrypted = false;
    std::uint32_t index = 0;
    std::wstring method;
    std::wstring comment;
    std::wstring hostOs;
};

}  // namespace Arkova
