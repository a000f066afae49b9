#include "fastzip/zip_name.h"

#include <cstring>
#include <string_view>

#include "archive/archive_text.h"
#include "archive/crc32.h"
#include "fastzip/little_endian.h"
#include "fastzip/zip_entry.h"
#include "platform/text.h"

namespace Arkova::FastZip {

namespace {

bool IsAscii(const std::uint8_t* bytes, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        if (bytes[i] >= 0x80) return false;
    }
    return true;
}

bool IsSeparator(std::uint8_t c) { return c == '/' || c == '\\'; }

bool StartsWith(const std::uint8_t* bytes, std::size_t length, const char* prefix) {
    std::size_t n = std::strlen(prefix);
    return length >= n && std::memcmp(bytes, prefix, n) == 0;
}

}  // namespace

bool IsMacMetadataName(const std::uint8_t* bytes, std::size_t length) {
    if (length >= 9 && (StartsWith(bytes, length, "__MACOSX/") || StartsWith(bytes, length, "__MACOSX\\"))) {
        return true;
    }
    if (length == 8 && StartsWith(bytes, length, "__MACOSX")) return true;
    if (length == 9 && StartsWith(bytes, length, ".DS_Store")) return true;
    if (length <= 9) return false;
    for (std::size_t i = 0; i + 1 < length; ++i) {
        if (!IsSeparator(bytes[i])) continue;
        const std::uint8_t* rest = bytes + i + 1;
        std::size_t restLength = length - i - 1;
        if (StartsWith(rest, restLength, ".DS_Store") || StartsWith(rest, restLength, "__MACOSX/")) return true;
    }
    return false;
}

std::wstring DecodeZipName(const std::uint8_t* bytes, std::size_t length, std::uint16_t flags, bool macHint,
                           std::int32_t codePage) {
    if (length == 0) return {};
    // Plain ASCII reads the same in every code page and is already in form C.
    if (IsAscii(bytes, length)) return std::wstring(bytes, bytes + length);
    std::string_view view(reinterpret_cast<const char*>(bytes), length);
    if (macHint || (flags & kFlagUtf8Names) != 0) return DecodeNameBytes(view, Platform::kCodePageUtf8);
    return DecodeLegacyName(view, codePage);
}

std::optional<std::wstring> UnicodeFieldText(const std::uint8_t* field, std::size_t fieldLength,
                                             const std::uint8_t* header, std::size_t headerLength) {
    constexpr std::size_t kPrefix = 5;  // version byte, CRC-32
    if (field == nullptr || fieldLength < kPrefix || field[0] != 1) return std::nullopt;
    if (Le32(field + 1) != Crc32(header, headerLength)) return std::nullopt;
    std::string_view text(reinterpret_cast<const char*>(field + kPrefix), fieldLength - kPrefix);
    return DecodeNameBytes(text, Platform::kCodePageUtf8);
}

}  // namespace Arkova::FastZip
