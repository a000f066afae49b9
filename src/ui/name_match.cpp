#include "ui/name_match.h"

namespace Arkova::Ui {

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
        } else if (p < pattern.size() && (pattern[p] == L'?' || FoldCase(pattern[p]) == FoldCase(name[n]))) {
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

}  // namespace Arkova::Ui
