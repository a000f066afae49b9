#include "support/rar4_writer.h"

#include <zlib.h>

#include "support/scratch_folder.h"

namespace Arkova::Testing {

namespace {

constexpr std::uint8_t kMarker[] = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00};
constexpr std::uint8_t kMainType = 0x73;
constexpr std::uint8_t kFileType = 0x74;
constexpr std::uint8_t kEndType = 0x7B;
constexpr std::uint16_t kVolume = 0x0001;
constexpr std::uint16_t kFirstVolume = 0x0100;
constexpr std::uint16_t kSplitBefore = 0x0001;
constexpr std::uint16_t kSplitAfter = 0x0002;
constexpr std::uint16_t kFolder = 0x00E0;
constexpr std::uint16_t kLongBlock = 0x8000;
constexpr std::uint16_t kNextVolume = 0x0001;
constexpr std::uint8_t kHostWindows = 2;
constexpr std::uint8_t kStored = 0x30;

void PutLe(Bytes& out, std::uint64_t value, int width) {
    for (int i = 0; i < width; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::uint32_t Crc(const void* data, std::size_t length) {
    return static_cast<std::uint32_t>(crc32(0, static_cast<const Bytef*>(data), static_cast<uInt>(length)));
}

}  // namespace

Rar4Writer::Rar4Writer() { AddMainHeader(0); }

// The header CRC is the low half of the CRC-32 of everything after it.
void Rar4Writer::AddBlock(std::uint8_t type, std::uint16_t flags, const Bytes& fields) {
    Bytes header;
    header.push_back(type);
    PutLe(header, flags, 2);
    PutLe(header, 2 + header.size() + 2 + fields.size(), 2);
    header.insert(header.end(), fields.begin(), fields.end());
    PutLe(bytes_, Crc(header.data(), header.size()) & 0xFFFF, 2);
    bytes_.insert(bytes_.end(), header.begin(), header.end());
}

void Rar4Writer::AddMainHeader(std::uint16_t flags) {
    bytes_.assign(std::begin(kMarker), std::end(kMarker));
    AddBlock(kMainType, flags, Bytes(6, 0));
}

void Rar4Writer::AddFileHeader(std::uint16_t flags, const std::string& name, const std::string& part,
                               std::uint64_t size, std::uint32_t crc, std::uint32_t attributes,
                               std::uint32_t dosDateTime) {
    Bytes fields;
    PutLe(fields, part.size(), 4);
    PutLe(fields, size, 4);
    fields.push_back(kHostWindows);
    PutLe(fields, crc, 4);
    PutLe(fields, dosDateTime, 4);
    fields.push_back(20);  // version needed: 2.0
    fields.push_back(kStored);
    PutLe(fields, name.size(), 2);
    PutLe(fields, attributes, 4);
    fields.insert(fields.end(), name.begin(), name.end());
    AddBlock(kFileType, static_cast<std::uint16_t>(flags | kLongBlock), fields);
    bytes_.insert(bytes_.end(), part.begin(), part.end());
}

void Rar4Writer::AddEnd(std::uint16_t flags) { AddBlock(kEndType, flags, {}); }

Rar4Writer& Rar4Writer::Stored(const std::string& nameBytes, const std::string& content, bool badCrc,
                               std::uint32_t dosDateTime) {
    std::uint32_t crc = Crc(content.data(), content.size());
    AddFileHeader(0, nameBytes, content, content.size(), badCrc ? crc ^ 0x5A5A5A5A : crc, 0x20, dosDateTime);
    return *this;
}

Rar4Writer& Rar4Writer::Folder(const std::string& nameBytes) {
    AddFileHeader(kFolder, nameBytes, "", 0, 0, 0x10, DosDateTime(2023, 11, 5, 10, 20, 30));
    return *this;
}

Rar4Writer& Rar4Writer::Finish() {
    AddEnd(0);
    return *this;
}

bool Rar4Writer::WriteTo(const std::wstring& path) const { return WriteBytes(path, bytes_); }

std::wstring Rar4Writer::VolumeName(const std::wstring& firstVolume, unsigned volume) {
    if (volume == 0) return firstVolume;
    std::wstring number = std::to_wstring(volume - 1);
    if (number.size() < 2) number.insert(0, 1, L'0');
    return firstVolume.substr(0, firstVolume.size() - 2) + number;
}

// Each piece but the last stores the CRC of its own bytes; the last stores the whole file's.
bool Rar4Writer::WriteSplitFile(const std::wstring& firstVolume, const std::string& nameBytes,
                                const std::string& content, unsigned volumes) {
    const std::size_t piece = (content.size() + volumes - 1) / volumes;
    for (unsigned v = 0; v < volumes; ++v) {
        Rar4Writer writer;
        writer.AddMainHeader(static_cast<std::uint16_t>(kVolume | (v == 0 ? kFirstVolume : 0)));
        const bool last = v + 1 == volumes;
        std::string part = content.substr(std::min(content.size(), v * piece), piece);
        std::uint16_t flags = static_cast<std::uint16_t>((v > 0 ? kSplitBefore : 0) | (last ? 0 : kSplitAfter));
        std::uint32_t crc = last ? Crc(content.data(), content.size()) : Crc(part.data(), part.size());
        writer.AddFileHeader(flags, nameBytes, part, content.size(), crc, 0x20, DosDateTime(2023, 11, 5, 10, 20, 30));
        writer.AddEnd(last ? 0 : kNextVolume);
        if (!writer.WriteTo(VolumeName(firstVolume, v))) return false;
    }
    return true;
}

}  // namespace Arkova::Testing
