// Columns of the console listing.
#pragma once

#include <cstdint>
#include <string>

namespace Arkova::Cli {

// "YYYY-MM-DD hh:mm:ss" of a FILETIME, or blanks of the same width for 0.
std::wstring FormatFileTime(std::uint64_t fileTime);
// Five letters D R H S A, "." where the bit is clear.
std::wstring FormatAttributes(std::uint32_t attributes);
// Right-aligns text in a field of the given width.
std::wstring PadLeft(const std::wstring& text, std::size_t width);

}  // namespace Arkova::Cli
