#include "support/rar5_writer.h"

#include <zlib.h>

#include "support/scratch_folder.h"

namespace Arkova::Testing {

namespace {

constexpr std::uint8_t kSignature[] = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x01, 0x00};
constexpr unsigned kMainHeader = 1;
constexpr unsigned kFileHeader = 2;
constexpr unsigned kEndHeader = 5;
constexpr unsigned kHeaderHasExtra = 0x0001;
constexpr unsigned kHeaderHasData = 0x0002;
constexpr unsigned kFileIsFolder = 0x0001;
constexpr unsigned kFileHasTime = 0x0002;
constexpr unsigned kFileHasCrc = 0x0004;
constexpr unsigned kHostWindows = 0;

// RAR 5 numbers are little-endian groups of seven bits, the high bit saying that another group follows.
void PutVint(Bytes& out, std::uint64_t value) {
    do {
        std::uint8_t group = value & 0x7F;
        value >>= 7;
        out.push_back(static_cast<std::uint8_t>(group | (value != 0 ? 0x80 : 0)));
    } while (value != 0);
}

void PutLe32(Bytes& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

std::uint32_t Crc(const Bytes& data) {
    return static_cast<std::uint32_t>(crc32(0, data.data(), static_cast<uInt>(data.size())));
}

}  // namespace

Rar5Writer::Rar5Writer() {
    bytes_.assign(std::begin(kSignature), std::end(kSignature));
    MainHeader({});
}

Rar5Writer& Rar5Writer::MainHeader(const Bytes& extra) {
    Bytes body;
    PutVint(body, kMainHeader);
    PutVint(body, extra.empty() ? 0 : kHeaderHasExtra);
    if (!extra.empty()) PutVint(body, extra.size());
    PutVint(body, 0);  // archive flags: one volume, not solid
    body.insert(body.end(), extra.begin(), extra.end());
    AddHeader(body);
    return *this;
}

// The header CRC covers the size field and the header itself.
void Rar5Writer::AddHeader(const Bytes& body) {
    Bytes sized;
    PutVint(sized, body.size());
    sized.insert(sized.end(), body.begin(), body.end());
    PutLe32(bytes_, Crc(sized));
    bytes_.insert(bytes_.end(), sized.begin(), sized.end());
}

void Rar5Writer::AddFile(const std::string& name, const Bytes& content, const Bytes& stored, unsigned method,
                         bool isFolder, std::uint32_t unixTime) {
    Bytes body;
    PutVint(body, kFileHeader);
    PutVint(body, isFolder ? 0 : kHeaderHasData);
    if (!isFolder) PutVint(body, stored.size());
    PutVint(body, (isFolder ? kFileIsFolder : kFileHasCrc) | kFileHasTime);
    PutVint(body, content.size());
    PutVint(body, isFolder ? 0x10 : 0x20);  // Windows attributes
    PutLe32(body, unixTime);
    if (!isFolder) PutLe32(body, Crc(content));
    PutVint(body, method << 7);  // algorithm version 0, not solid, smallest dictionary
    PutVint(body, kHostWindows);
    PutVint(body, name.size());
    body.insert(body.end(), name.begin(), name.end());
    AddHeader(body);
    bytes_.insert(bytes_.end(), stored.begin(), stored.end());
}

Rar5Writer& Rar5Writer::Stored(const std::string& name, const std::string& content, std::uint32_t unixTime) {
    Bytes data = ToBytes(content);
    AddFile(name, data, data, 0, false, unixTime);
    return *this;
}

Rar5Writer& Rar5Writer::Packed(const std::string& name, const std::string& content, std::uint32_t unixTime) {
    // Method 3 ("normal"); the bytes stand where the compressed stream would be.
    Bytes data = ToBytes(content);
    Bytes stored(data.size() / 2 + 8, 0x5A);
    AddFile(name, data, stored, 3, false, unixTime);
    return *this;
}

Rar5Writer& Rar5Writer::Folder(const std::string& name, std::uint32_t unixTime) {
    AddFile(name, {}, {}, 0, true, unixTime);
    return *this;
}

Rar5Writer& Rar5Writer::Finish() {
    Bytes body;
    PutVint(body, kEndHeader);
    PutVint(body, 0);  // header flags
    PutVint(body, 0);  // end flags: the last volume
    AddHeader(body);
    return *this;
}

Bytes WithMainHeaderExtra(const Bytes& archive, const Bytes& extra) {
    std::size_t at = sizeof(kSignature) + 4;
    std::size_t bodySize = 0;
    for (unsigned shift = 0;; shift += 7) {
        bodySize |= static_cast<std::size_t>(archive.at(at) & 0x7F) << shift;
        if ((archive.at(at++) & 0x80) == 0) break;
    }
    // The body starts with its type and flags, one byte each in a main header without extra area.
    Bytes body(archive.begin() + static_cast<std::ptrdiff_t>(at),
               archive.begin() + static_cast<std::ptrdiff_t>(at + bodySize));
    body[1] |= kHeaderHasExtra;
    Bytes size;
    PutVint(size, extra.size());
    body.insert(body.begin() + 2, size.begin(), size.end());
    body.insert(body.end(), extra.begin(), extra.end());
    Bytes sized;
    PutVint(sized, body.size());
    sized.insert(sized.end(), body.begin(), body.end());
    Bytes result(archive.begin(), archive.begin() + sizeof(kSignature));
    PutLe32(result, Crc(sized));
    result.insert(result.end(), sized.begin(), sized.end());
    result.insert(result.end(), archive.begin() + static_cast<std::ptrdiff_t>(at + bodySize), archive.end());
    return result;
}

bool Rar5Writer::WriteTo(const std::wstring& path) const { return WriteBytes(path, bytes_); }

}  // namespace Arkova::Testing
