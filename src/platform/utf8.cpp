// UTF-8 <-> wide conversion, written out by hand so that both platforms treat malformed input the same way: each
// invalid byte and each lone surrogate becomes U+FFFD.
#include "platform/text.h"

namespace Arkova::Platform {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void AppendWide(std::wstring& out, char32_t c) {
    if constexpr (sizeof(wchar_t) == 2) {
        if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<wchar_t>(0xD800 + (c >> 10));
            out += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
            return;
        }
    }
    out += static_cast<wchar_t>(c);
}

bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

}  // namespace

std::string WideToUtf8(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = static_cast<char32_t>(text[i]);
        if constexpr (sizeof(wchar_t) == 2) {
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) {
                char32_t low = static_cast<char32_t>(text[i + 1]);
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                    ++i;
                }
            }
        }
        if (IsSurrogate(c) || c > 0x10FFFF) c = kReplacement;
        AppendUtf8(out, c);
    }
    return out;
}

namespace {

// `valid` ends false when any byte had to be replaced.
std::wstring DecodeUtf8(std::string_view bytes, bool& valid) {
    valid = true;
    std::wstring out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        unsigned char lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            out += static_cast<wchar_t>(lead);
            ++i;
            continue;
        }
        std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
        char32_t minimum = length == 4 ? 0x10000 : length == 3 ? 0x800 : 0x80;
        char32_t c = lead & (length == 4 ? 0x07 : length == 3 ? 0x0F : 0x1F);
        bool wellFormed = length != 0 && lead < 0xF5 && i + length <= bytes.size();
        for (std::size_t k = 1; wellFormed && k < length; ++k) {
            unsigned char next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80) wellFormed = false;
            c = (c << 6) | (next & 0x3F);
        }
        if (!wellFormed || c < minimum || c > 0x10FFFF || IsSurrogate(c)) {
            valid = false;
            out += static_cast<wchar_t>(kReplacement);
            ++i;
            continue;
        }
        AppendWide(out, c);
        i += length;
    }
    return out;
}

}  // namespace

std::wstring Utf8ToWide(std::string_view bytes) {
    bool valid = true;
    return DecodeUtf8(bytes, valid);
}

std::optional<std::wstring> Utf8ToWideStrict(std::string_view bytes) {
    bool valid = true;
    std::wstring out = DecodeUtf8(bytes, valid);
    if (!valid) return std::nullopt;
    return out;
}

}  // namespace Arkova::Platform
