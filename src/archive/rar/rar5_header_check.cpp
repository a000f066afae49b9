#include "archive/rar/rar5_header_check.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace Arkova::Rar {

namespace {

constexpr std::size_t kMarkerSize = 7;                 // the signature up to its version byte
constexpr std::size_t kSfxSearchSize = 0x200000 - 16;  // how far past the marker the library looks for one
constexpr std::uint64_t kMainHeader = 1;
constexpr std::uint64_t kEncryptionHeader = 4;
constexpr std::uint64_t kHeaderHasExtra = 0x0001;
constexpr std::uint64_t kHeaderHasData = 0x0002;
constexpr std::uint64_t kVolumeNumberPresent = 0x0002;
constexpr std::uint64_t kMetadataRecord = 0x02;
constexpr std::uint64_t kMetadataHasName = 0x01;

enum class Signature { None, Rar14, Rar15, Rar50, Future };

// The library's signature test, byte for byte: the old "RE~^", or "Rar!\x1A\x07" and a version byte.
Signature SignatureAt(const std::uint8_t* data, std::size_t size) {
    if (size < 1 || data[0] != 0x52) return Signature::None;
    if (size >= 4 && data[1] == 0x45 && data[2] == 0x7E && data[3] == 0x5E) return Signature::Rar14;
    if (size < 7 || std::memcmp(data + 1, "ar!\x1A\x07", 5) != 0) return Signature::None;
    if (data[6] == 0) return Signature::Rar15;
    if (data[6] == 1) return Signature::Rar50;
    return data[6] < 5 ? Signature::Future : Signature::None;
}

// Reads RAR 5 numbers the way the library does: a number running past the end, or past 64 bits, reads as 0.
class HeaderReader {
public:
    explicit HeaderReader(const std::vector<std::uint8_t>& bytes, std::size_t position = 0)
        : bytes_(bytes), position_(position) {}

    std::uint64_t Number() {
        std::uint64_t value = 0;
        for (unsigned shift = 0; position_ < bytes_.size() && shift < 64; shift += 7) {
            std::uint8_t byte = bytes_[position_++];
            value += static_cast<std::uint64_t>(byte & 0x7F) << shift;
            if ((byte & 0x80) == 0) return value;
        }
        return 0;
    }
    std::size_t Position() const { return position_; }
    void MoveTo(std::size_t position) { position_ = position; }
    std::size_t Left() const { return bytes_.size() - position_; }

private:
    const std::vector<std::uint8_t>& bytes_;
    std::size_t position_;
};

// The main header's extra records, walked as the library walks them; false for a metadata record whose name is
// there but empty.
bool MainExtraIsSafe(const std::vector<std::uint8_t>& header, std::size_t position, std::uint64_t extraSize) {
    const std::size_t extraStart = header.size() - static_cast<std::size_t>(extraSize);
    if (extraStart < position) return true;
    HeaderReader reader(header, extraStart);
    while (reader.Left() >= 2) {
        const auto fieldSize = static_cast<std::int64_t>(reader.Number());
        if (fieldSize <= 0 || reader.Left() == 0 || fieldSize > static_cast<std::int64_t>(reader.Left())) break;
        const std::size_t next = reader.Position() + static_cast<std::size_t>(fieldSize);
        const std::uint64_t fieldType = reader.Number();
        if (reader.Position() > next) break;  // the type ran past the record
        if (fieldType == kMetadataRecord && (reader.Number() & kMetadataHasName) != 0 && reader.Number() == 0)
            return false;
        reader.MoveTo(next);
    }
    return true;
}

// Where the library would find the RAR 5 marker (after its eighth byte); 0 when it finds none or another format.
std::uint64_t FirstBlockOffset(const ReadAt& read) {
    std::uint8_t marker[kMarkerSize + 1];
    if (read(0, marker, kMarkerSize) != kMarkerSize) return 0;
    std::uint64_t markerAt = 0;
    Signature signature = SignatureAt(marker, kMarkerSize);
    if (signature == Signature::None) {
        // A self-extracting archive: the marker follows the program.
        std::vector<std::uint8_t> buffer(kSfxSearchSize);
        buffer.resize(read(kMarkerSize, buffer.data(), buffer.size()));
        for (std::size_t i = 0; i < buffer.size() && signature == Signature::None; ++i) {
            if (buffer[i] != 0x52) continue;
            signature = SignatureAt(buffer.data() + i, buffer.size() - i);
            // An old-format marker counts only where an "RSFX" tag at offset 28 says the program is one.
            if (signature == Signature::Rar14 && i > 0 && buffer.size() > 31 &&
                std::memcmp(buffer.data() + 28 - kMarkerSize, "RSFX", 4) != 0) {
                signature = Signature::None;
                continue;
            }
            markerAt = kMarkerSize + i;
        }
    }
    if (signature != Signature::Rar50) return 0;
    if (read(markerAt, marker, sizeof(marker)) != sizeof(marker) || marker[kMarkerSize] != 0) return 0;
    return markerAt + sizeof(marker);
}

}  // namespace

bool Rar5HeadersAreSafe(const ReadAt& read) {
    std::uint64_t position = FirstBlockOffset(read);
    if (position == 0) return true;
    std::vector<std::uint8_t> header;
    // Each block: a CRC-32, its header's size in at most three bytes, the header, then its data. The library reads
    // a header even when its CRC is wrong, so the CRC is not looked at; it stops at a block it cannot size.
    for (;;) {
        std::uint8_t start[7];
        if (read(position, start, sizeof(start)) != sizeof(start)) return true;
        std::size_t sizeBytes = 0;
        std::uint64_t blockSize = 0;
        for (std::size_t i = 4; i < sizeof(start); ++i) {
            blockSize |= static_cast<std::uint64_t>(start[i] & 0x7F) << (7 * (i - 4));
            if ((start[i] & 0x80) == 0) {
                sizeBytes = i - 3;
                break;
            }
        }
        if (sizeBytes == 0 || blockSize == 0 || blockSize + sizeBytes + 4 < sizeof(start)) return true;
        header.resize(static_cast<std::size_t>(4 + sizeBytes + blockSize));
        if (read(position, header.data(), header.size()) != header.size()) return true;

        HeaderReader reader(header, 4 + sizeBytes);
        const std::uint64_t type = reader.Number();
        const std::uint64_t flags = reader.Number();
        const std::uint64_t extraSize = (flags & kHeaderHasExtra) != 0 ? reader.Number() : 0;
        if (extraSize >= header.size()) return true;
        const std::uint64_t dataSize = (flags & kHeaderHasData) != 0 ? reader.Number() : 0;
        // Past an encryption header everything is encrypted.
        if (type == kEncryptionHeader) return true;
        if (type == kMainHeader) {
            if ((reader.Number() & kVolumeNumberPresent) != 0) reader.Number();
            if (extraSize != 0 && !MainExtraIsSafe(header, reader.Position(), extraSize)) return false;
        }
        const std::uint64_t next = position + header.size() + dataSize;
        if (next < dataSize || next <= position) return true;
        position = next;
    }
}

}  // namespace Arkova::Rar
