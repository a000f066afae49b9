#include "archive/ensure_directory.h"

#include "platform/file_system.h"

namespace Arkova {

bool EnsureDirectory(const std::wstring& path) {
    if (path.empty()) return true;
    if (Platform::PathExists(path)) return Platform::IsDirectory(path);
    std::size_t separator = Platform::LastSeparator(path);
    if (separator != std::wstring::npos && !EnsureDirectory(path.substr(0, separator))) return false;
    return Platform::MakeDirectory(path) && Platform::IsDirectory(path);
}

}  // namespace Arkova
