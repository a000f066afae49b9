// Which format handler of the library reads an archive: chosen by file extension, or detected (Auto).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archive/sevenzip/library.h"

namespace Arkova::SevenZip {

// The library's one-byte format ids that the extension table uses; Auto lets the library's handlers decide.
inline constexpr std::uint8_t kFormatAuto = 0x00;
inline constexpr std::uint8_t kFormatZip = 0x01;
inline constexpr std::uint8_t kFormatBZip2 = 0x02;
inline constexpr std::uint8_t kFormatSevenZip = 0x07;
inline constexpr std::uint8_t kFormatCab = 0x08;
inline constexpr std::uint8_t kFormatXz = 0x0C;
inline constexpr std::uint8_t kFormatRar5 = 0xCC;
inline constexpr std::uint8_t kFormatWim = 0xE6;
inline constexpr std::uint8_t kFormatIso = 0xE7;
inline constexpr std::uint8_t kFormatTar = 0xEE;
inline constexpr std::uint8_t kFormatGZip = 0xEF;

// The format for a lower-cased extension (without the dot); kFormatAuto for any other.
std::uint8_t FormatForExtension(const std::wstring& extension);

// The bytes at the start of a file that detection compares signatures against (ISO's lies at 32769).
inline constexpr std::size_t kDetectionHeadSize = 40 * 1024;

// Handlers to try for a file that starts with `head`: those with a matching signature first, in the library's
// order, then every other one. Hash-list handlers and those that the library itself opens only by extension are
// left out.
std::vector<const FormatInfo*> DetectionOrder(const Library& library, const std::vector<std::uint8_t>& head);

// Handlers of one compressed stream (gzip, bzip2, xz, ...), whose one item may be a tar.
bool IsSingleStreamFormat(const FormatInfo& format);

// Handlers whose CRC property is not a CRC-32 (LZH stores a CRC-16), so that it cannot be checked as one.
bool CrcIsNotCrc32(const FormatInfo& format);

// Handlers whose item names are byte strings in a legacy code page (the others store Unicode).
bool HasCodePageNames(const FormatInfo& format);
// Handlers that take the "cp" property, the code page for names not marked as UTF-8.
bool TakesCodePageProperty(const FormatInfo& format);

}  // namespace Arkova::SevenZip
