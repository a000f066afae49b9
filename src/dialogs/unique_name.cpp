#include "dialogs/unique_name.h"

#include "platform/file_system.h"

namespace Arkova {

std::wstring MakeUniqueName(const std::wstring& path) {
    std::size_t dot = path.rfind(L'.');
    std::size_t separator = Platform::LastSeparator(path);
    bool hasExtension = dot != std::wstring::npos && (separator == std::wstring::npos || separator < dot);
    std::wstring stem = hasExtension ? path.substr(0, dot) : path;
    std::wstring extension = hasExtension ? path.substr(dot) : std::wstring();
    for (unsigned long long n = 2;; ++n) {
        std::wstring candidate = stem + L" (" + std::to_wstring(n) + L")" + extension;
        if (!Platform::PathExists(candidate)) return candidate;
    }
}

}  // namespace Arkova
