#include "fastzip/central_directory.h"

#include <algorithm>
#include <new>
#include <optional>
#include <vector>

#include "archive/dos_time.h"
#include "fastzip/extra_fields.h"
#include "fastzip/little_endian.h"
#include "fastzip/zip_name.h"
#include "platform/file_time.h"

namespace Arkova::FastZip {

namespace {

constexpr std::size_t kEndRecordSize = 22;
constexpr std::size_t kMaxTail = 65535 + kEndRecordSize + 1;
constexpr std::size_t kZip64LocatorSize = 20;
constexpr std::size_t kZip64EndRecordSize = 56;
constexpr std::size_t kCentralRecordSize = 46;

struct DirectoryLocation {
    std::uint64_t entries = 0;
    std::uint64_t size = 0;
    std::uint64_t offset = 0;
    std::uint64_t limit = 0;  // the directory must end at or before this file offset
    bool zip64 = false;
    bool tightEnd = false;  // the end record's comment ends the file, and the ZIP64 records fill the gap before it
};

// Replaces the end record's values by those of a ZIP64 end record, when a valid locator stands before it.
void ApplyZip64(const ZipFileReader& reader, std::uint64_t endRecordOffset, DirectoryLocation& location) {
    if (endRecordOffset < kZip64LocatorSize) return;
    std::uint8_t locator[kZip64LocatorSize];
    if (!reader.ReadExactAt(endRecordOffset - kZip64LocatorSize, locator, sizeof(locator))) return;
    if (!HasSignature(locator, 0x06, 0x07)) return;
    std::uint64_t recordOffset = Le64(locator + 8);
    if (recordOffset > endRecordOffset - kZip64LocatorSize - kZip64EndRecordSize) return;
    std::uint8_t record[kZip64EndRecordSize];
    if (!reader.ReadExactAt(recordOffset, record, sizeof(record)) || !HasSignature(record, 0x06, 0x06)) return;
    location.entries = Le64(record + 32);
    location.size = Le64(record + 40);
    location.offset = Le64(record + 48);
    location.limit = recordOffset;
    location.zip64 = true;
    // The record's own length field counts what follows it (12 bytes in); the locator comes right after.
    location.tightEnd =
        location.tightEnd && recordOffset + 12 + Le64(record + 4) == endRecordOffset - kZip64LocatorSize;
}

constexpr std::uint8_t kHostUnix = 3;
constexpr std::uint8_t kHostMac = 19;

// Hosts whose external attributes hold MS-DOS attribute bits: FAT, OS/2 HPFS, NTFS (10 in PKWARE's numbering, 11 in
// Info-ZIP's) and VFAT.
bool UsesDosAttributes(std::uint8_t host) { return host == 0 || host == 6 || host == 10 || host == 11 || host == 14; }

// A trailing separator marks a folder on every host; so do the DOS folder bit and the Unix folder mode where the
// host keeps them, as other archivers read them.
bool IsFolderEntry(const std::wstring& name, std::uint8_t host, std::uint32_t external) {
    if (!name.empty() && (name.back() == L'/' || name.back() == L'\\')) return true;
    if (UsesDosAttributes(host)) return (external & 0x10u) != 0;
    if (host == kHostUnix || host == kHostMac) return ((external >> 16) & 0170000u) == 0040000u;
    return false;
}

std::uint32_t AttributesOf(std::uint8_t host, std::uint32_t external, bool isDirectory) {
    std::uint32_t attributes = 0;
    if (host == kHostUnix || host == kHostMac) {
        std::uint32_t mode = external >> 16;
        attributes = (mode & 0170000u) == 0040000u ? 0x10u : 0x20u;
        if (mode != 0 && (mode & 0200u) == 0) attributes |= 0x01u;
    } else if (UsesDosAttributes(host)) {
        attributes = external & 0xFFu;
    } else {
        attributes = 0x20u;  // other hosts' bits mean something else
    }
    if (isDirectory) attributes |= 0x10u;
    return attributes;
}

ZipEntry MakeEntry(const std::uint8_t* record, std::size_t available, bool macHint, std::int32_t codePage) {
    std::uint16_t nameLength = Le16(record + 28);
    std::size_t extraLength = std::min<std::size_t>(Le16(record + 30), available - kCentralRecordSize - nameLength);
    std::size_t commentLength =
        std::min<std::size_t>(Le16(record + 32), available - kCentralRecordSize - nameLength - extraLength);
    const std::uint8_t* name = record + kCentralRecordSize;
    const std::uint8_t* comment = name + nameLength + extraLength;
    ZipEntry entry;
    entry.flags = Le16(record + 8);
    entry.method = Le16(record + 10);
    entry.crc32 = Le32(record + 16);
    std::uint32_t compressed = Le32(record + 20);
    std::uint32_t uncompressed = Le32(record + 24);
    std::uint32_t offset = Le32(record + 42);
    CentralExtras extras = ParseCentralExtras(name + nameLength, extraLength, uncompressed == kZip64Marker32,
                                              compressed == kZip64Marker32, offset == kZip64Marker32);
    entry.compressedSize = extras.hasCompressed ? extras.compressedSize : compressed;
    entry.uncompressedSize = extras.hasUncompressed ? extras.uncompressedSize : uncompressed;
    entry.localHeaderOffset = extras.hasOffset ? extras.localHeaderOffset : offset;
    // The Unicode fields win over the header's own bytes, as long as their CRC says they describe those bytes.
    std::optional<std::wstring> unicodeName =
        UnicodeFieldText(extras.unicodePath, extras.unicodePathLength, name, nameLength);
    entry.name =
        unicodeName ? std::move(*unicodeName) : DecodeZipName(name, nameLength, entry.flags, macHint, codePage);
    std::optional<std::wstring> unicodeComment =
        UnicodeFieldText(extras.unicodeComment, extras.unicodeCommentLength, comment, commentLength);
    entry.comment = unicodeComment ? std::move(*unicodeComment)
                                   : DecodeZipName(comment, commentLength, entry.flags, false, codePage);
    std::uint8_t host = record[5];
    std::uint32_t external = Le32(record + 38);
    entry.isDirectory = IsFolderEntry(entry.name, host, external);
    entry.attributes = AttributesOf(host, external, entry.isDirectory);
    entry.host = host;
    entry.externalAttributes = external;
    entry.creationTime = extras.ntfsCreationTime;
    entry.unusualTimes = extras.unusualTimes;
    if (extras.ntfsModifiedTime != 0) {
        entry.modifiedTime = extras.ntfsModifiedTime;
    } else if (extras.unixModifiedTime != 0) {
        entry.modifiedTime = extras.unixModifiedTime;
    } else if (std::uint64_t local = DosDateTimeToTicks(Le16(record + 14), Le16(record + 12)); local != 0) {
        entry.modifiedTime = Platform::LocalFileTimeToUtc(local);
    }
    return entry;
}

// Calls `visit(record, bytesLeft)` for each record in order while it is whole enough to list; returns the position
// where the walk stopped.
template <typename Visit>
std::size_t WalkRecords(const std::vector<std::uint8_t>& directory, Visit visit) {
    std::size_t p = 0;
    while (directory.size() - p >= kCentralRecordSize && HasSignature(directory.data() + p, 0x01, 0x02)) {
        const std::uint8_t* record = directory.data() + p;
        std::size_t available = directory.size() - p;
        std::size_t nameLength = Le16(record + 28);
        if (nameLength > available - kCentralRecordSize) break;
        if (!visit(record, available)) break;
        std::size_t step = kCentralRecordSize + nameLength + Le16(record + 30) + Le16(record + 32);
        if (step > available) return directory.size() + 1;  // the last record runs past the directory
        p += step;
    }
    return p;
}

bool LocateDirectory(ZipArchiveIndex& index, ErrorSlot& errorSlot, DirectoryLocation& location) {
    const ZipFileReader& reader = index.reader;
    std::uint64_t fileSize = reader.FileSize();
    std::size_t tailLength = static_cast<std::size_t>(std::min<std::uint64_t>(fileSize, kMaxTail));
    std::vector<std::uint8_t> tail(tailLength);
    if (!reader.ReadExactAt(fileSize - tailLength, tail.data(), tailLength)) {
        RecordError(errorSlot, L"Failed to read ZIP file");
        return false;
    }
    std::size_t at = FindEndRecord(tail.data(), tailLength);
    if (at == std::string::npos) {
        RecordError(errorSlot, L"Cannot find ZIP central directory");
        return false;
    }
    const std::uint8_t* end = tail.data() + at;
    std::uint64_t endOffset = fileSize - tailLength + at;
    location.entries = Le16(end + 10);
    location.size = Le32(end + 12);
    location.offset = Le32(end + 16);
    location.limit = endOffset;
    // One disk, holding the whole directory: the library warns of any other numbers, even beside ZIP64 records.
    location.tightEnd = Le16(end + 4) == 0 && Le16(end + 6) == 0 && Le16(end + 8) == Le16(end + 10);
    ApplyZip64(reader, endOffset, location);
    location.tightEnd = location.tightEnd && at + kEndRecordSize + Le16(end + 20) == tailLength &&
                        location.offset + location.size == location.limit;
    // The directory is read whole: its claimed size must be bytes that the file really holds.
    if (location.size > location.limit || location.offset > location.limit - location.size) {
        RecordError(errorSlot, L"Central directory lies outside the ZIP file");
        return false;
    }
    return true;
}

}  // namespace

std::size_t FindEndRecord(const std::uint8_t* tail, std::size_t tailLength) {
    if (tailLength < kEndRecordSize) return std::string::npos;
    std::size_t nearest = std::string::npos;
    for (std::size_t i = tailLength - kEndRecordSize + 1; i-- > 0;) {
        if (!HasSignature(tail + i, 0x05, 0x06)) continue;
        if (nearest == std::string::npos) nearest = i;
        // A comment may itself contain the signature bytes; the true record's comment ends the file.
        if (i + kEndRecordSize + Le16(tail + i + 20) == tailLength) return i;
    }
    return nearest;
}

bool ReadCentralDirectory(ZipArchiveIndex& index, ErrorSlot& errorSlot, const std::wstring& archivePath,
                          std::int32_t codePage) {
    index.nameCodePage = codePage;
    return ReadCentralDirectory(index, errorSlot, archivePath);
}

ListedDirectory TakeListing(ZipArchiveIndex& index) {
    ListedDirectory listed;
    listed.entries = std::move(index.entries);
    index.entries.clear();
    listed.announcedEntries = index.announcedEntries;
    listed.directoryComplete = index.directoryComplete;
    listed.tightEnd = index.tightEnd;
    listed.nameCodePage = index.nameCodePage;
    listed.fileSize = index.reader.FileSize();
    return listed;
}

std::optional<ListedDirectory> ListDirectory(const std::wstring& archivePath, std::int32_t codePage) {
    try {
        ZipArchiveIndex index;
        ErrorSlot errors;
        if (!ReadCentralDirectory(index, errors, archivePath, codePage)) return std::nullopt;
        return TakeListing(index);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

bool ReadCentralDirectory(ZipArchiveIndex& index, ErrorSlot& errorSlot, const std::wstring& archivePath) {
    const std::int32_t codePage = index.nameCodePage;
    index.entries.clear();
    index.reader.Close();
    index.totalUncompressed = 0;
    index.announcedEntries = 0;
    index.directoryComplete = false;
    index.tightEnd = false;
    if (!index.reader.Open(archivePath)) {
        RecordError(errorSlot, L"Failed to open ZIP file");
        return false;
    }
    if (index.reader.FileSize() < kEndRecordSize) {
        RecordError(errorSlot, L"Invalid ZIP file");
        return false;
    }
    DirectoryLocation location;
    if (!LocateDirectory(index, errorSlot, location)) return false;
    index.announcedEntries = location.entries;
    index.tightEnd = location.tightEnd;

    std::vector<std::uint8_t> directory;
    try {
        directory.resize(static_cast<std::size_t>(location.size));
        index.entries.reserve(static_cast<std::size_t>(std::min(location.entries, location.size / kCentralRecordSize)));
    } catch (const std::bad_alloc&) {
        RecordError(errorSlot, L"Out of memory for the central directory");
        return false;
    }
    if (!index.reader.ReadExactAt(location.offset, directory.data(), directory.size())) {
        RecordError(errorSlot, L"Failed to read central directory");
        return false;
    }

    bool macHint = false;
    WalkRecords(directory, [&macHint](const std::uint8_t* record, std::size_t) {
        macHint = IsMacMetadataName(record + kCentralRecordSize, Le16(record + 28));
        return !macHint;
    });
    std::uint64_t total = 0;
    std::size_t stop = 0;
    try {
        stop = WalkRecords(directory, [&](const std::uint8_t* record, std::size_t available) {
            index.entries.push_back(MakeEntry(record, available, macHint, codePage));
            total += index.entries.back().uncompressedSize;
            return true;
        });
    } catch (const std::bad_alloc&) {
        index.entries.clear();
        RecordError(errorSlot, L"Out of memory for the central directory");
        return false;
    }
    index.totalUncompressed = total;
    std::uint64_t listed = index.entries.size();
    bool countAgrees = location.zip64 ? listed == location.entries : (listed & 0xFFFF) == location.entries;
    index.directoryComplete = stop == directory.size() && countAgrees;
    return !index.entries.empty();
}

}  // namespace Arkova::FastZip
