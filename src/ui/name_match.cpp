#include "ui/name_match.h"

#include <cwctype>

namespace Arkova::Ui {

namespace {

// ASCII folds without the locale call: names are mostly ASCII and this runs for every comparison of a sort.
inline wchar_t Fold(wchar_t c) {
    if (c < 0x80) return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + (L'a' - L'A')) : c;
    return static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(c)));
}

}  // namespace

bool WildcardMatch(std::wstring_view name, std::wstring_view pattern) {
    if (pattern.empty()) return true;
    if (name.empty()) return pattern == L"*";
    std::size_t n = 0;
    std::size_t p = 0;
    std::size_t restartPattern = std::wstring_view::npos;
    std::size_t restartName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == L'*') {
            restartPattern = ++p;
            restartName = n;
        } else if (p < pattern.size() && (pattern[p] == L'?' || Fold(pattern[p]) == Fold(name[n]))) {
            ++p;
            ++n;
        } else if (restartPattern != std::wstring_view::npos) {
            p = restartPattern;
            n = ++restartName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*') ++p;
    return p == pattern.size();
}

std::wstring SearchPattern(const std::wstring& searchText) {
    if (searchText.find_first_of(L"*?") != std::wstring::npos) return searchText;
    return L"*" + searchText + L"*";
}

int CompareNamesIgnoringCase(std::wstring_view a, std::wstring_view b) {
    std::size_t length = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < length; ++i) {
        wchar_t x = Fold(a[i]);
        wchar_t y = Fold(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

}  // namespace Arkova::Ui
