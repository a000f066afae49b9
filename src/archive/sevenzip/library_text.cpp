#include "archive/sevenzip/library_text.h"

namespace Arkova::SevenZip {

std::wstring FromLibraryUnits(const OleChar* units, std::size_t count) {
    if (units == nullptr) return {};
    if constexpr (sizeof(wchar_t) == 2) {
        return std::wstring(units, count);
    } else {
        std::wstring text;
        text.reserve(count);
        for (std::size_t i = 0; i < count; ++i) {
            std::uint32_t unit = static_cast<std::uint32_t>(units[i]) & 0xFFFFu;
            if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < count) {
                std::uint32_t low = static_cast<std::uint32_t>(units[i + 1]) & 0xFFFFu;
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    text += static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                    ++i;
                    continue;
                }
            }
            text += (unit >= 0xD800 && unit <= 0xDFFF) ? static_cast<wchar_t>(0xFFFD) : static_cast<wchar_t>(unit);
        }
        return text;
    }
}

std::wstring ToLibraryUnits(std::wstring_view text) {
    if constexpr (sizeof(wchar_t) == 2) {
        return std::wstring(text);
    } else {
        std::wstring units;
        units.reserve(text.size());
        for (wchar_t c : text) {
            std::uint32_t code = static_cast<std::uint32_t>(c);
            if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
                units += static_cast<wchar_t>(0xFFFD);
            } else if (code >= 0x10000) {
                code -= 0x10000;
                units += static_cast<wchar_t>(0xD800 + (code >> 10));
                units += static_cast<wchar_t>(0xDC00 + (code & 0x3FF));
            } else {
                units += c;
            }
        }
        return units;
    }
}

}  // namespace Arkova::SevenZip
