// The text conversions of the archive layer: file extensions, UTF-8, normalisation and entry-name decoding.
// Pure functions; any thread.
#pragma once

#include <cstdint>
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

// Entry-name bytes to text: with a code page other than -1 and 65001 the bytes are read in that code page (when that
// gives any text at all), otherwise as UTF-8; both results are normalised to form C.
std::wstring DecodeItemName(std::string_view bytes, std::int32_t codePage);

}  // namespace Arkova
