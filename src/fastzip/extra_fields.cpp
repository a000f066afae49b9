#include "fastzip/extra_fields.h"

#include "fastzip/little_endian.h"
#include "platform/file_time.h"

namespace Arkova::FastZip {

namespace {

constexpr std::uint16_t kZip64Field = 0x0001;
constexpr std::uint16_t kNtfsField = 0x000A;
constexpr std::uint16_t kExtendedTimestampField = 0x5455;
constexpr std::uint16_t kOldUnixField = 0x5855;  // Info-ZIP's first Unix field: access and modification times
constexpr std::uint16_t kUnicodePathField = 0x7075;
constexpr std::uint16_t kUnicodeCommentField = 0x6375;

void ReadZip64(const std::uint8_t* p, std::size_t size, bool needUncompressed, bool needCompressed, bool needOffset,
               CentralExtras& extras) {
    std::size_t at = 0;
    auto take = [&](bool need, bool& has, std::uint64_t& value) {
        if (!need || at + 8 > size) return;
        value = Le64(p + at);
        has = true;
        at += 8;
    };
    take(needUncompressed, extras.hasUncompressed, extras.uncompressedSize);
    take(needCompressed, extras.hasCompressed, extras.compressedSize);
    take(needOffset, extras.hasOffset, extras.localHeaderOffset);
}

// Four reserved bytes, then tagged attributes; tag 1 holds modification, access and creation FILETIMEs.
void ReadNtfs(const std::uint8_t* p, std::size_t size, CentralExtras& extras) {
    // Readers differ on a second field, one without all three times, and a zero time.
    extras.unusualTimes = extras.unusualTimes || extras.ntfsModifiedTime != 0 || size < 32 || Le16(p + 4) != 1 ||
                          Le16(p + 6) < 24 || Le64(p + 8) == 0;
    std::size_t at = 4;
    while (at + 4 <= size) {
        std::uint16_t tag = Le16(p + at);
        std::uint16_t tagSize = Le16(p + at + 2);
        at += 4;
        if (tagSize > size - at) return;
        if (tag == 1 && tagSize >= 8) extras.ntfsModifiedTime = Le64(p + at);
        if (tag == 1 && tagSize >= 24) extras.ntfsCreationTime = Le64(p + at + 16);
        at += tagSize;
    }
}

// Signed Unix seconds, as both Unix time fields store them.
void TakeUnixTime(const std::uint8_t* p, CentralExtras& extras) {
    auto seconds = static_cast<std::int32_t>(Le32(p));
    if (seconds < 0) extras.unusualTimes = true;  // some readers take the field as unsigned
    std::int64_t ticks = static_cast<std::int64_t>(seconds) * static_cast<std::int64_t>(Platform::kTicksPerSecond) +
                         static_cast<std::int64_t>(Platform::kUnixEpochTicks);
    if (ticks > 0) extras.unixModifiedTime = static_cast<std::uint64_t>(ticks);
}

// A flags byte, then the modification time when flag bit 0 is set.
void ReadExtendedTimestamp(const std::uint8_t* p, std::size_t size, CentralExtras& extras) {
    if (size >= 5 && (p[0] & 1) != 0) {
        TakeUnixTime(p + 1, extras);
    } else {
        extras.unusualTimes = true;  // readers differ on whether another field's time then applies
    }
}

}  // namespace

CentralExtras ParseCentralExtras(const std::uint8_t* data, std::size_t length, bool needUncompressed,
                                 bool needCompressed, bool needOffset) {
    CentralExtras extras;
    std::size_t at = 0;
    while (at + 4 <= length) {
        std::uint16_t id = Le16(data + at);
        std::uint16_t size = Le16(data + at + 2);
        at += 4;
        if (size > length - at) break;
        const std::uint8_t* field = data + at;
        if (id == kZip64Field) {
            ReadZip64(field, size, needUncompressed, needCompressed, needOffset, extras);
        } else if (id == kNtfsField) {
            ReadNtfs(field, size, extras);
        } else if (id == kExtendedTimestampField) {
            ReadExtendedTimestamp(field, size, extras);
        } else if (id == kOldUnixField && size >= 8 && extras.unixModifiedTime == 0) {
            TakeUnixTime(field + 4, extras);  // the access time, then the modification time
        } else if (id == kUnicodePathField) {
            extras.unicodePath = field;
            extras.unicodePathLength = size;
        } else if (id == kUnicodeCommentField) {
            extras.unicodeComment = field;
            extras.unicodeCommentLength = size;
        }
        at += size;
    }
    return extras;
}

}  // namespace Arkova::FastZip
