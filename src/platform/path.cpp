// Path helpers that are the same on every platform apart from the separator set.
#include "platform/file_system.h"

namespace Arkova::Platform {

bool IsPathSeparator(wchar_t c) {
#ifdef _WIN32
    return c == L'\\' || c == L'/';
#else
    return c == L'/';
#endif
}

std::size_t LastSeparator(const std::wstring& path) {
    for (std::size_t i = path.size(); i > 0; --i) {
        if (IsPathSeparator(path[i - 1])) return i - 1;
    }
    return std::wstring::npos;
}

std::wstring JoinPath(const std::wstring& folder, const std::wstring& relative) {
    if (folder.empty()) return relative;
    if (relative.empty()) return folder;
    std::wstring joined = folder;
    if (!IsPathSeparator(joined.back())) joined += kPathSeparator;
    std::size_t start = 0;
    while (start < relative.size() && IsPathSeparator(relative[start])) ++start;
    joined.append(relative, start, std::wstring::npos);
    return joined;
}

}  // namespace Arkova::Platform
