// The library's strings hold UTF-16 code units, one per wchar_t even where wchar_t has 32 bits: these turn them into
// the program's wide text and back.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "archive/sevenzip/com.h"

namespace Arkova::SevenZip {

// Joins surrogate pairs where wchar_t is 32-bit; a lone surrogate becomes U+FFFD.
std::wstring FromLibraryUnits(const OleChar* units, std::size_t count);
// Splits characters above U+FFFF into surrogate pairs where wchar_t is 32-bit.
std::wstring ToLibraryUnits(std::wstring_view text);

}  // namespace Arkova::SevenZip
