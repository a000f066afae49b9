#include "archive/alz_decoder.h"

#include <cwctype>
#include <string>

#include "archive/archive_text.h"
#include "archive/dos_time.h"
#include "archive/sequential_reader.h"
#include "platform/file_system.h"
#include "platform/file_time.h"
#include "platform/text.h"

namespace Arkova {

namespace {

constexpr std::uint32_t kArchiveHeaderSignature = 0x015A4C41;  // "ALZ" 01
constexpr std::uint32_t kEntryHeaderSignature = 0x015A4C42;    // "BLZ" 01
constexpr std::uint16_t kMaxNameLength = 4095;
constexpr std::uint64_t kEncryptionHeaderLength = 12;
constexpr std::uint8_t kAttributeFolder = 0x10;
constexpr std::uint8_t kDataDescriptor = 0x08;

}  // namespace

namespace {

std::wstring AlzVolumeName(const std::wstring& first, unsigned number) {
    // .alz, then .a00 to .a99, .b00, ...
    std::wstring name = first.substr(0, first.size() - 3);
    name += static_cast<wchar_t>(L'a' + number / 100);
    name += static_cast<wchar_t>(L'0' + number / 10 % 10);
    name += static_cast<wchar_t>(L'0' + number % 10);
    return name;
}

}  // namespace

void AlzDecoder::AddSplitVolumes(const std::wstring& path) {
    // Every volume but the first starts with an 8-byte header, every one but the last ends with a 16-byte tail.
    constexpr std::uint64_t kVolumeHead = 8;
    constexpr std::uint64_t kVolumeTail = 16;
    constexpr unsigned kMaxVolumes = 2600;
    std::wstring extension = path.size() >= 4 ? path.substr(path.size() - 4) : L"";
    for (wchar_t& c : extension) c = static_cast<wchar_t>(std::towlower(c));
    if (extension != L".alz") return;
    for (unsigned number = 0; number < kMaxVolumes; ++number) {
        std::wstring next = AlzVolumeName(path, number);
        if (!Platform::PathExists(next)) {
            missingVolume_ = next;
            break;
        }
        file_.SetLastTail(kVolumeTail);
        if (!file_.AddVolume(next, kVolumeHead, 0)) break;
    }
    file_.Size(fileSize_);
}

DecodeResult AlzDecoder::Open(const std::wstring& path) {
    DecodeResult opened = OpenArchiveFile(path);
    if (opened != DecodeResult::Ok) return opened;
    AddSplitVolumes(path);
    SequentialReader reader(file_);
    while (fileSize_ > 0) {
        std::uint32_t signature = 0;
        if (!reader.ReadLittleEndian(signature)) break;
        if (signature == kArchiveHeaderSignature) {
            unsigned char ignored[4];
            if (!reader.Read(ignored, sizeof(ignored))) break;
        } else if (signature != kEntryHeaderSignature || !ParseEntry(reader)) {
            break;
        }
        if (reader.Position() >= fileSize_) break;
    }
    scanPosition_ = reader.Position();
    if (Items().empty()) {
        Close();
        return DecodeResult::InvalidArchive;
    }
    return DecodeResult::Ok;
}

bool AlzDecoder::ParseEntry(SequentialReader& reader) {
    std::uint16_t nameLength = 0;
    std::uint8_t attribute = 0;
    std::uint32_t dosDateTime = 0;
    std::uint8_t descriptor = 0;
    std::uint8_t reserved = 0;
    if (!reader.ReadLittleEndian(nameLength) || !reader.ReadLittleEndian(attribute) ||
        !reader.ReadLittleEndian(dosDateTime) || !reader.ReadLittleEndian(descriptor) ||
        !reader.ReadLittleEndian(reserved)) {
        return false;
    }
    const unsigned sizeWidth = descriptor >> 4;
    const bool encrypted = (descriptor & 0x01) != 0;
    std::uint8_t method = 0;
    std::uint32_t crc = 0;
    std::uint64_t packedSize = 0;
    std::uint64_t unpackedSize = 0;
    if (sizeWidth != 0) {
        if (!reader.ReadLittleEndian(method) || !reader.ReadLittleEndian(reserved) || !reader.ReadLittleEndian(crc)) {
            return false;
        }
        if (sizeWidth == 1 || sizeWidth == 2 || sizeWidth == 4 || sizeWidth == 8) {
            if (!reader.ReadLittleEndian(packedSize, sizeWidth) || !reader.ReadLittleEndian(unpackedSize, sizeWidth)) {
                return false;
            }
        }
    }
    // No usable name: the scan goes on from here, where the name would have begun.
    if (nameLength == 0 || nameLength > kMaxNameLength) return true;

    std::string name(nameLength, '\0');
    if (!reader.Read(name.data(), name.size())) return false;
    EntryCipher cipher;
    if (encrypted) {
        cipher.kind = CipherKind::ZipClassic;
        cipher.header.resize(kEncryptionHeaderLength);
        if (!reader.Read(cipher.header.data(), cipher.header.size())) return false;
        // The header decrypts to the CRC's top byte, or with a data descriptor to the time's second byte.
        cipher.checkByte = static_cast<std::uint8_t>((descriptor & kDataDescriptor) ? dosDateTime >> 8 : crc >> 24);
        hasEncryptedItems_ = true;
    }

    ArchiveItem item;
    // Bytes the code page cannot read are escaped, never replaced: the name stays readable and exact.
    item.path = DecodeNameBytes(name, Platform::SystemAnsiCodePage());
    item.size = unpackedSize;
    item.packedSize = packedSize;
    item.crc = crc;
    item.attributes = attribute;
    item.modifiedTime =
        DosDateTimeToTicks(static_cast<std::uint16_t>(dosDateTime >> 16), static_cast<std::uint16_t>(dosDateTime));
    item.isDirectory = (attribute & kAttributeFolder) != 0;
    item.isEncrypted = encrypted;
    // An entry of no data is an empty file (or a folder) and is listed like any other.
    if (!item.path.empty()) {
        AddEntry(std::move(item), reader.Position(), packedSize, method);
        if (encrypted) SetLastEntryCipher(std::move(cipher));
    }
    reader.Skip(packedSize);
    return true;
}

NativeArchiveDecoder::Storage AlzDecoder::StorageOf(std::uint8_t method) const {
    switch (method) {
        case 0:
            return Storage::Stored;
        case 1:
            return Storage::AlzBzip2;
        case 2:
            return Storage::Deflate;
        default:
            return Storage::Unsupported;
    }
}

std::string AlzDecoder::PasswordBytes(const std::wstring& password) const {
    return Platform::WideToMultiByte(password, Platform::SystemAnsiCodePage());
}

std::uint64_t AlzDecoder::FileSystemTime(const ArchiveItem& item) const {
    return item.modifiedTime == 0 ? 0 : Platform::LocalFileTimeToUtc(item.modifiedTime);
}

}  // namespace Arkova
