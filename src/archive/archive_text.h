// The text conversions of the archive layer: file extensions, UTF-8, normalisation and entry-name decoding.
// Pure functions; any thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace Arkova {

// The text after the last "." anywhere in the path, lower-cased; empty when the path has no ".".
std::wstring FileExtensionLower(std::wstring_view path);

std::string WideToUtf8(std::wstring_view text);
// UTF-8 to wide text, normalised to form C.
std::wstring Utf8ToWide(std::string_view bytes);
// Normalisation form C; text that cannot be normalised comes back unchanged.
std::wstring NormalizeNfc(std::wstring_view text);

// Entry-name bytes to text: with a code page other than -1 and 65001 the bytes are read in that code page, otherwise
// as UTF-8 (DecodeNameBytes); the result is in form C.
std::wstring DecodeItemName(std::string_view bytes, std::int32_t codePage);

// True when the bytes are well-formed UTF-8: no overlong forms, surrogates or values past U+10FFFF.
bool IsStrictUtf8(std::string_view bytes);

// Name bytes of a format that does not say their encoding: read in the code page (-1 or 0: the system ANSI code
// page) when they are valid there, else as UTF-8 when they are well-formed UTF-8 (names stored as they were on
// Linux or macOS), else in the code page with the bytes it cannot read escaped (DecodeNameBytes). In form C.
std::wstring DecodeLegacyName(std::string_view bytes, std::int32_t codePage);

// Name bytes in a code page, in form C, with no byte lost: a byte that does not decode there is written "%XX" (two
// upper-case hex digits), and in a name that needs any such escape every "%" of its own is written "%25", so the
// text maps back to exactly the stored bytes. Names that decode cleanly are left as they are.
std::wstring DecodeNameBytes(std::string_view bytes, std::int32_t codePage);
// The bytes that DecodeNameBytes read from an escaped name, re-encoded in the code page; nothing for a name that
// held no escapes.
std::optional<std::string> EscapedNameBytes(std::wstring_view name, std::int32_t codePage);

}  // namespace Arkova
