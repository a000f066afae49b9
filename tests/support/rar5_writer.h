// Writes small RAR 5 archives for tests. No RAR compressor is at hand, so entries are either stored (which the
// 7-Zip library extracts without a RAR decoder) or "packed": they claim a compression method and carry bytes that
// only a RAR decoder would read, which is enough to list them and to see extraction refused.
#pragma once

#include <cstdint>
#include <string>

#include "support/alz_writer.h"

namespace Arkova::Testing {

class Rar5Writer {
public:
    Rar5Writer();
    // Entries carry the modification time as Unix seconds and a CRC-32 of the content.
    Rar5Writer& Stored(const std::string& name, const std::string& content, std::uint32_t unixTime = 1650000000);
    Rar5Writer& Packed(const std::string& name, const std::string& content, std::uint32_t unixTime = 1650000000);
    Rar5Writer& Folder(const std::string& name, std::uint32_t unixTime = 1650000000);
    // Appends another main header, which only a damaged or crafted archive has; `extra` is its extra area (records,
    // each with its size and type).
    Rar5Writer& MainHeader(const Bytes& extra);
    // Appends the end-of-archive header.
    Rar5Writer& Finish();

    const Bytes& Data() const { return bytes_; }
    bool WriteTo(const std::wstring& path) const;

private:
    void AddFile(const std::string& name, const Bytes& content, const Bytes& stored, unsigned method, bool isFolder,
                 std::uint32_t unixTime);
    void AddHeader(const Bytes& body);

    Bytes bytes_;
};

// The archive with its first main header (which must have no extra area) given the extra area `extra`.
Bytes WithMainHeaderExtra(const Bytes& archive, const Bytes& extra);

}  // namespace Arkova::Testing
