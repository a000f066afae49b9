#include "archive/sevenzip/zip_listing.h"

#include <string>

#include "fastzip/little_endian.h"

namespace Arkova::SevenZip {

namespace {

constexpr std::size_t kLocalHeaderSize = 30;
constexpr std::uint8_t kHostFat = 0;
constexpr std::uint8_t kHostUnix = 3;
constexpr std::uint8_t kHostNtfs = 11;  // Info-ZIP's number, which the library follows
constexpr std::uint16_t kUnsupportedFlags = 0x0001 | 0x0040 | 0x2000;  // encryption, strong and of the directory
constexpr std::uint32_t kFolderAttribute = 0x10;
constexpr std::uint32_t kUnixExtension = 0x8000;  // the library's mark that the high half holds a Unix mode

bool IsPlainEntry(const FastZip::ZipEntry& entry) {
    if ((entry.flags & kUnsupportedFlags) != 0) return false;
    if (entry.method != FastZip::kMethodStored && entry.method != FastZip::kMethodDeflate) return false;
    // Deflate's fourth level has a name of the library's own choosing; such archives are left to it.
    if (entry.method == FastZip::kMethodDeflate && ((entry.flags >> 1) & 3) == 3) return false;
    if (entry.host != kHostFat && entry.host != kHostUnix && entry.host != kHostNtfs) return false;
    // Times that the library would show differently, or none where it may show one (a date no calendar has).
    if (entry.unusualTimes || entry.modifiedTime == 0) return false;
    return !entry.name.empty() && entry.name.find_first_not_of(L"/\\") != std::wstring::npos;
}

// The library reads the first local header too, and lists the archive from the local headers, with a warning, when
// it disagrees with the directory.
bool AgreesWithLocalHeader(const FastZip::ZipEntry& first, const std::uint8_t* header, std::size_t length) {
    if (length < kLocalHeaderSize || !FastZip::HasSignature(header, 0x03, 0x04)) return false;
    const std::uint16_t flags = FastZip::Le16(header + 6);
    if (FastZip::Le16(header + 8) != first.method || (flags & 0x0006) != (first.flags & 0x0006)) return false;
    if ((flags & FastZip::kFlagDataDescriptor) != 0) return true;  // the local fields hold zeros then
    return FastZip::Le32(header + 14) == first.crc32 && FastZip::Le32(header + 18) == first.compressedSize &&
           FastZip::Le32(header + 22) == first.uncompressedSize;
}

// The method and the compression level that the writer noted in the flags.
std::wstring MethodText(const FastZip::ZipEntry& entry) {
    const unsigned level = (entry.flags >> 1) & 3;
    if (entry.method == FastZip::kMethodStored) return level == 0 ? L"Store" : L"Store:v" + std::to_wstring(level);
    static const wchar_t* const kDeflateLevels[] = {L"", L":Maximum", L":Fast"};
    return std::wstring(L"Deflate") + kDeflateLevels[level];
}

std::uint32_t LibraryAttributes(const FastZip::ZipEntry& entry) {
    std::uint32_t attributes = 0;
    if (entry.host == kHostUnix) {
        attributes = (entry.externalAttributes & 0xFFFF0000u) | kUnixExtension;
    } else {
        attributes = entry.externalAttributes;
    }
    if (entry.isDirectory) attributes |= kFolderAttribute;
    return attributes;
}

const wchar_t* HostText(std::uint8_t host) {
    switch (host) {
        case kHostFat:
            return L"FAT";
        case kHostUnix:
            return L"Unix";
        default:
            return L"NTFS";
    }
}

}  // namespace

std::optional<std::vector<ArchiveItem>> ListPlainZip(const FastZip::ListedDirectory& directory,
                                                     const std::uint8_t* firstLocalHeader, std::size_t length) {
    const std::vector<FastZip::ZipEntry>& entries = directory.entries;
    if (!directory.directoryComplete || !directory.tightEnd || entries.empty()) return std::nullopt;
    if (entries.front().localHeaderOffset != 0 || !AgreesWithLocalHeader(entries.front(), firstLocalHeader, length)) {
        return std::nullopt;
    }
    for (const FastZip::ZipEntry& entry : entries) {
        if (!IsPlainEntry(entry)) return std::nullopt;
    }
    std::vector<ArchiveItem> items(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const FastZip::ZipEntry& entry = entries[i];
        ArchiveItem& item = items[i];
        std::wstring_view name = entry.name;
        while (name.back() == L'/' || name.back() == L'\\') name.remove_suffix(1);
        item.path = name;
        item.size = entry.uncompressedSize;
        item.packedSize = entry.compressedSize;
        item.crc = entry.crc32;
        item.attributes = LibraryAttributes(entry);
        item.creationTime = entry.creationTime;
        item.modifiedTime = entry.modifiedTime;
        item.isDirectory = entry.isDirectory;
        item.index = static_cast<std::uint32_t>(i);
        item.method = MethodText(entry);
        item.comment = entry.comment;
        item.hostOs = HostText(entry.host);
    }
    return items;
}

}  // namespace Arkova::SevenZip
