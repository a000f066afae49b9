#include "archive/archive_text.h"

#include <algorithm>
#include <cwctype>

#include "platform/text.h"

namespace Arkova {

std::wstring FileExtensionLower(std::wstring_view path) {
    std::size_t dot = path.rfind(L'.');
    if (dot == std::wstring_view::npos) return {};
    std::wstring extension(path.substr(dot + 1));
    for (wchar_t& c : extension) c = static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(c)));
    return extension;
}

std::string WideToUtf8(std::wstring_view text) { return Platform::WideToUtf8(text); }

std::wstring Utf8ToWide(std::string_view bytes) { return NormalizeNfc(Platform::Utf8ToWide(bytes)); }

namespace {

// Characters below U+0300 (none of them combines or decomposes) and precomposed Hangul syllables are their own NFC
// form; a following jamo that could join a syllable lies outside both ranges. Nearly every name is made of them
// only, and skips the normaliser.
bool IsComposedAlready(std::wstring_view text) {
    return std::all_of(text.begin(), text.end(), [](wchar_t c) { return c < 0x300 || (c >= 0xAC00 && c <= 0xD7A3); });
}

}  // namespace

std::wstring NormalizeNfc(std::wstring_view text) {
    if (IsComposedAlready(text)) return std::wstring(text);
    std::wstring normalized = Platform::NormalizeNfc(text);
    return normalized.empty() ? std::wstring(text) : normalized;
}

std::wstring DecodeItemName(std::string_view bytes, std::int32_t codePage) {
    return DecodeNameBytes(bytes, codePage == -1 ? Platform::kCodePageUtf8 : codePage);
}

namespace {

constexpr std::size_t kLongestCharacter = 4;  // bytes, in UTF-8 and GB18030

void AppendEscape(std::wstring& out, unsigned char byte) {
    static const wchar_t kDigits[] = L"0123456789ABCDEF";
    out += L'%';
    out += kDigits[byte >> 4];
    out += kDigits[byte & 0xF];
}

int HexValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

}  // namespace

bool IsStrictUtf8(std::string_view text) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t length = text.size();
    std::size_t i = 0;
    while (i < length) {
        unsigned char lead = bytes[i];
        if (lead < 0x80) {
            ++i;
            continue;
        }
        std::size_t extra = 0;
        char32_t c = 0;
        char32_t minimum = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1, c = lead & 0x1Fu, minimum = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2, c = lead & 0x0Fu, minimum = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3, c = lead & 0x07u, minimum = 0x10000;
        } else {
            return false;
        }
        if (length - i <= extra) return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            unsigned char next = bytes[i + k];
            if ((next & 0xC0) != 0x80) return false;
            c = (c << 6) | (next & 0x3Fu);
        }
        if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
        i += extra + 1;
    }
    return true;
}

std::wstring DecodeLegacyName(std::string_view bytes, std::int32_t codePage) {
    const std::int32_t namePage = codePage > 0 ? codePage : Platform::SystemAnsiCodePage();
    if (!Platform::MultiByteToWideStrict(bytes, namePage).has_value() && IsStrictUtf8(bytes)) {
        return DecodeNameBytes(bytes, Platform::kCodePageUtf8);
    }
    return DecodeNameBytes(bytes, namePage);
}

std::wstring DecodeNameBytes(std::string_view bytes, std::int32_t codePage) {
    if (bytes.empty()) return {};
    if (std::optional<std::wstring> whole = Platform::MultiByteToWideStrict(bytes, codePage)) {
        return NormalizeNfc(*whole);
    }
    // Character by character: the shortest run of bytes that decodes is one character; a byte that starts none is
    // escaped, and decoding goes on after it.
    std::wstring out;
    std::size_t at = 0;
    while (at < bytes.size()) {
        std::optional<std::wstring> character;
        std::size_t length = 1;
        for (; length <= kLongestCharacter && at + length <= bytes.size(); ++length) {
            character = Platform::MultiByteToWideStrict(bytes.substr(at, length), codePage);
            if (character) break;
        }
        if (character && !character->empty()) {
            out += *character == L"%" ? std::wstring(L"%25") : *character;
            at += length;
        } else {
            AppendEscape(out, static_cast<unsigned char>(bytes[at]));
            ++at;
        }
    }
    return NormalizeNfc(out);
}

std::optional<std::string> EscapedNameBytes(std::wstring_view name, std::int32_t codePage) {
    std::string bytes;
    std::wstring run;
    bool escaped = false;
    auto flush = [&] {
        bytes += Platform::WideToMultiByte(run, codePage);
        run.clear();
    };
    for (std::size_t i = 0; i < name.size(); ++i) {
        int high = i + 2 < name.size() ? HexValue(name[i + 1]) : -1;
        int low = high >= 0 ? HexValue(name[i + 2]) : -1;
        if (name[i] != L'%' || low < 0) {
            run += name[i];
            continue;
        }
        flush();
        bytes += static_cast<char>(high * 16 + low);
        escaped = true;
        i += 2;
    }
    if (!escaped) return std::nullopt;
    flush();
    return bytes;
}

}  // namespace Arkova
