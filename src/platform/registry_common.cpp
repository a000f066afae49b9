// The parts of the registry layer that are the same on every platform: typed writes and UTF-16LE strings.
#include "platform/registry.h"

namespace Arkova::Platform {

namespace {

void AppendUnit(std::vector<std::uint8_t>& out, std::uint32_t unit) {
    out.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    out.push_back(static_cast<std::uint8_t>(unit >> 8));
}

}  // namespace

RegistryResult RegistryKey::SetDword(const std::wstring& name, std::uint32_t value) {
    std::uint8_t bytes[4] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                             static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
    return SetValue(name, kRegistryTypeDword, bytes, sizeof bytes);
}

RegistryResult RegistryKey::SetString(const std::wstring& name, std::wstring_view text, std::uint32_t type) {
    std::vector<std::uint8_t> bytes = RegistryStringBytes(text);
    return SetValue(name, type, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
}

std::vector<std::uint8_t> RegistryStringBytes(std::wstring_view text) {
    std::vector<std::uint8_t> out;
    out.reserve((text.size() + 1) * 2);
    for (wchar_t c : text) {
        auto code = static_cast<std::uint32_t>(c);
        if (code >= 0x10000 && code <= 0x10FFFF) {
            code -= 0x10000;
            AppendUnit(out, 0xD800 + (code >> 10));
            AppendUnit(out, 0xDC00 + (code & 0x3FF));
        } else {
            AppendUnit(out, code > 0x10FFFF ? 0xFFFD : code);
        }
    }
    AppendUnit(out, 0);
    return out;
}

std::wstring RegistryStringFromBytes(const std::uint8_t* bytes, std::size_t count) {
    std::wstring text;
    std::size_t units = count / 2;
    for (std::size_t i = 0; i < units; ++i) {
        std::uint32_t unit = bytes[2 * i] | (static_cast<std::uint32_t>(bytes[2 * i + 1]) << 8);
        if (unit == 0) break;
        if constexpr (sizeof(wchar_t) == 4) {
            // Wide text off Windows holds code points: join surrogate pairs, replace lone halves.
            if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units) {
                std::uint32_t low = bytes[2 * i + 2] | (static_cast<std::uint32_t>(bytes[2 * i + 3]) << 8);
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    text += static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                    ++i;
                    continue;
                }
            }
            if (unit >= 0xD800 && unit <= 0xDFFF) unit = 0xFFFD;
        }
        text += static_cast<wchar_t>(unit);
    }
    return text;
}

}  // namespace Arkova::Platform
