#include "platform/text.h"

#include <windows.h>

namespace Arkova::Platform {

bool IsCodePageAvailable(int codePage) { return codePage > 0 && ::IsValidCodePage(static_cast<UINT>(codePage)); }

std::wstring MultiByteToWide(std::string_view bytes, int codePage) {
    if (bytes.empty()) return {};
    if (codePage == kCodePageUtf8) return Utf8ToWide(bytes);
    UINT cp = IsCodePageAvailable(codePage) ? static_cast<UINT>(codePage) : CP_ACP;
    int length = ::MultiByteToWideChar(cp, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (length <= 0) return {};
    std::wstring out(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(cp, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), length);
    return out;
}

std::optional<std::wstring> MultiByteToWideStrict(std::string_view bytes, int codePage) {
    if (bytes.empty()) return std::wstring();
    if (codePage == kCodePageUtf8) return Utf8ToWideStrict(bytes);
    if (!IsCodePageAvailable(codePage)) return std::nullopt;
    UINT cp = static_cast<UINT>(codePage);
    int size = static_cast<int>(bytes.size());
    int length = ::MultiByteToWideChar(cp, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (length <= 0) return std::nullopt;
    std::wstring out(static_cast<std::size_t>(length), L'\0');
    if (::MultiByteToWideChar(cp, MB_ERR_INVALID_CHARS, bytes.data(), size, out.data(), length) != length) {
        return std::nullopt;
    }
    return out;
}

std::string WideToMultiByte(std::wstring_view text, int codePage) {
    if (text.empty()) return {};
    if (codePage == kCodePageUtf8) return WideToUtf8(text);
    UINT cp = IsCodePageAvailable(codePage) ? static_cast<UINT>(codePage) : CP_ACP;
    int length = ::WideCharToMultiByte(cp, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    if (length <= 0) return {};
    std::string out(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(cp, 0, text.data(), static_cast<int>(text.size()), out.data(), length, nullptr, nullptr);
    return out;
}

int SystemAnsiCodePage() { return static_cast<int>(::GetACP()); }

std::wstring NormalizeNfc(std::wstring_view text) {
    if (text.empty()) return {};
    int length = ::NormalizeString(NormalizationC, text.data(), static_cast<int>(text.size()), nullptr, 0);
    // The first answer is an estimate; retry with the size the call asks for.
    for (int attempt = 0; length > 0 && attempt < 4; ++attempt) {
        std::wstring out(static_cast<std::size_t>(length), L'\0');
        int written = ::NormalizeString(NormalizationC, text.data(), static_cast<int>(text.size()), out.data(), length);
        if (written > 0) {
            out.resize(static_cast<std::size_t>(written));
            return out;
        }
        if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
        length = -written;
    }
    return std::wstring(text);
}

bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    return a.empty() || ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                               static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace Arkova::Platform
