#include "archive/archive_text.h"

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

std::wstring NormalizeNfc(std::wstring_view text) {
    if (text.empty()) return {};
    std::wstring normalized = Platform::NormalizeNfc(text);
    return normalized.empty() ? std::wstring(text) : normalized;
}

std::wstring DecodeItemName(std::string_view bytes, std::int32_t codePage) {
    if (bytes.empty()) return {};
    if (codePage != -1 && codePage != Platform::kCodePageUtf8) {
        std::wstring decoded = Platform::MultiByteToWide(bytes, codePage);
        if (!decoded.empty()) return NormalizeNfc(decoded);
    }
    return Utf8ToWide(bytes);
}

}  // namespace Arkova
