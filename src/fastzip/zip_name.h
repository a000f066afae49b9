// Entry names: which encoding they are in, and their decoding to wide text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace Arkova::FastZip {

// True when the bytes are well-formed UTF-8: no overlong forms, surrogates or values past U+10FFFF.
bool IsStrictUtf8(const std::uint8_t* bytes, std::size_t length);

// Names that macOS's archiver adds ("__MACOSX/...", ".DS_Store", ".../.DS_Store"). Such an archive stores UTF-8 names
// without setting flag bit 11, so one of them makes every name of the archive decode as UTF-8.
bool IsMacMetadataName(const std::uint8_t* bytes, std::size_t length);

// UTF-8 when flag bit 11 or the Mac hint says so (or the bytes are not valid UTF-8 and the code page gives nothing),
// else the system ANSI code page; the result is in Unicode form C.
std::wstring DecodeZipName(const std::uint8_t* bytes, std::size_t length, std::uint16_t flags, bool macHint);

}  // namespace Arkova::FastZip
