#include "fastzip/writer_choice.h"

#include <functional>

namespace Arkova::FastZip {

unsigned WriterForFile(const std::wstring& targetPath, unsigned writers) {
    if (writers < 2) return 0;
    const std::size_t slash = targetPath.find_last_of(L"/\\");
    if (slash == std::wstring::npos) return 0;
    std::wstring key;
    key.reserve(slash + 1);
    for (std::size_t i = 0; i <= slash; ++i) {
        wchar_t c = targetPath[i];
        if (c == L'\\' || c == L'/') {
            while (!key.empty() && (key.back() == L'.' || key.back() == L' ')) key.pop_back();
            key.push_back(L'/');
            continue;
        }
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
        key.push_back(c < 0x80 ? c : L'?');
    }
    return static_cast<unsigned>(std::hash<std::wstring>{}(key) % writers);
}

}  // namespace Arkova::FastZip
