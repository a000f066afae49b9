#include "archive/rar/rar4_names.h"

#include <cstdint>
#include <cstring>

#include "archive/sequential_reader.h"
#include "archive/volume_set.h"
#include "platform/file.h"

namespace Arkova::Rar {

namespace {

constexpr unsigned char kMarker[7] = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00};
constexpr std::uint8_t kMainHeader = 0x73;
constexpr std::uint8_t kFileHeader = 0x74;
constexpr std::uint8_t kServiceHeader = 0x7A;
constexpr std::uint8_t kEndHeader = 0x7B;
constexpr std::uint16_t kEncryptedHeaders = 0x0080;
constexpr std::uint16_t kLargeSizes = 0x0100;
constexpr std::uint16_t kUnicodeName = 0x0200;
constexpr std::uint16_t kHasAddedSize = 0x8000;
constexpr std::uint16_t kBaseSize = 7;
constexpr std::uint16_t kFileFixedSize = 25;  // the fields of a file header between the base and the name

struct Block {
    std::uint8_t type = 0;
    std::uint16_t flags = 0;
    std::uint16_t size = 0;
};

}  // namespace

std::vector<StoredName> ReadRar4Names(const std::wstring& volumePath) {
    std::vector<StoredName> names;
    VolumeSet file;
    std::uint64_t fileSize = 0;
    if (!file.Open(volumePath) || !file.Size(fileSize)) return names;
    SequentialReader reader(file);
    unsigned char marker[sizeof(kMarker)];
    if (!reader.Read(marker, sizeof(marker)) || std::memcmp(marker, kMarker, sizeof(kMarker)) != 0) return names;

    while (reader.Position() < fileSize) {
        const std::uint64_t start = reader.Position();
        std::uint16_t crc = 0;
        Block block;
        if (!reader.ReadLittleEndian(crc) || !reader.ReadLittleEndian(block.type) ||
            !reader.ReadLittleEndian(block.flags) || !reader.ReadLittleEndian(block.size) || block.size < kBaseSize) {
            break;
        }
        if (block.type == kMainHeader && (block.flags & kEncryptedHeaders) != 0) return {};
        if (block.type == kEndHeader) break;

        std::uint64_t dataSize = 0;
        if (block.type == kFileHeader || block.type == kServiceHeader) {
            if (block.size < kBaseSize + kFileFixedSize) break;
            std::uint32_t packed = 0;
            unsigned char fixed[kFileFixedSize - 4];
            if (!reader.ReadLittleEndian(packed) || !reader.Read(fixed, sizeof(fixed))) break;
            const std::uint16_t nameSize = static_cast<std::uint16_t>(fixed[15] | (fixed[16] << 8));
            std::uint32_t packedHigh = 0;
            std::uint32_t unpackedHigh = 0;
            std::uint16_t used = kBaseSize + kFileFixedSize;
            if ((block.flags & kLargeSizes) != 0) {
                if (!reader.ReadLittleEndian(packedHigh) || !reader.ReadLittleEndian(unpackedHigh)) break;
                used += 8;
            }
            if (nameSize > block.size - used) break;
            std::string name(nameSize, '\0');
            if (!reader.Read(name.data(), name.size())) break;
            dataSize = (static_cast<std::uint64_t>(packedHigh) << 32) | packed;
            if (block.type == kFileHeader) {
                StoredName stored;
                stored.hasUnicode = (block.flags & kUnicodeName) != 0;
                stored.bytes = name.substr(0, name.find('\0'));
                names.push_back(std::move(stored));
            }
        } else if ((block.flags & kHasAddedSize) != 0) {
            std::uint32_t added = 0;
            if (!reader.ReadLittleEndian(added)) break;
            dataSize = added;
        }
        reader.Seek(start + block.size);
        reader.Skip(dataSize);
    }
    return names;
}

}  // namespace Arkova::Rar
