#include "archive/browser_path.h"

namespace Arkova {

std::wstring_view BrowserPathView(std::wstring_view entryPath, std::wstring& scratch) {
    std::wstring_view path = entryPath;
    if (path.find(L'\\') != std::wstring_view::npos) {
        scratch.assign(path);
        for (wchar_t& c : scratch) {
            if (c == L'\\') c = L'/';
        }
        path = scratch;
    }
    while (!path.empty() && path.back() == L'/') path.remove_suffix(1);
    return path;
}

std::wstring BrowserPath(const std::wstring& entryPath) {
    std::wstring scratch;
    return std::wstring(BrowserPathView(entryPath, scratch));
}

}  // namespace Arkova
