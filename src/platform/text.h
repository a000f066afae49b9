// Text conversion between the program's wide strings and byte encodings.
// Invalid input never fails: undecodable bytes become U+FFFD, unencodable characters the code page's default.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace Arkova::Platform {

inline constexpr int kCodePageUtf8 = 65001;

std::string WideToUtf8(std::wstring_view text);
std::wstring Utf8ToWide(std::string_view bytes);

// Decodes bytes in a Windows code page (949, 932, 936, 950, 874, 1250-1257, 65001 ...).
std::wstring MultiByteToWide(std::string_view bytes, int codePage);
// The same, but nothing when any byte sequence is not valid in the code page (or the code page is unavailable).
std::optional<std::wstring> MultiByteToWideStrict(std::string_view bytes, int codePage);
std::optional<std::wstring> Utf8ToWideStrict(std::string_view bytes);
std::string WideToMultiByte(std::wstring_view text, int codePage);
bool IsCodePageAvailable(int codePage);

// The code page that Windows calls the system ANSI code page. Off Windows: 949, unless ARKOVA_ACP names another or
// the locale's language clearly implies one.
int SystemAnsiCodePage();

// Unicode normalisation form C (composed Hangul syllables, accented letters).
std::wstring NormalizeNfc(std::wstring_view text);

// Equal apart from letter case, compared code unit by code unit through the upper-case fold (as Windows compares
// file names).
bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b);

}  // namespace Arkova::Platform
