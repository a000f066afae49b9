// Case-folded comparisons of row names: the search filter's wildcard match and the name sort order.
#pragma once

#include <cwctype>
#include <string>
#include <string_view>

namespace Arkova::Ui {

// The glob match of the search box, ignoring case (towlower): "?" is any one character, "*" any run of them. An empty
// pattern matches everything; an empty name only the pattern "*".
bool WildcardMatch(std::wstring_view name, std::wstring_view pattern);

// The pattern a search text stands for: as typed when it holds "*" or "?", else "*" + text + "*".
std::wstring SearchPattern(const std::wstring& searchText);

// towlower, with ASCII folded without the locale call: names are mostly ASCII and this runs for every comparison of
// a sort.
inline wchar_t FoldCase(wchar_t c) {
    if (c < 0x80) return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + (L'a' - L'A')) : c;
    return static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(c)));
}

// Negative, zero or positive, comparing code units after towlower, as _wcsicmp does.
inline int CompareNamesIgnoringCase(std::wstring_view a, std::wstring_view b) {
    std::size_t length = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < length; ++i) {
        if (a[i] == b[i]) continue;
        wchar_t x = FoldCase(a[i]);
        wchar_t y = FoldCase(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

}  // namespace Arkova::Ui
