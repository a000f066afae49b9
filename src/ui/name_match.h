// Case-folded comparisons of row names: the search filter's wildcard match and the name sort order.
#pragma once

#include <string>
#include <string_view>

namespace Arkova::Ui {

// The glob match of the search box, ignoring case (towlower): "?" is any one character, "*" any run of them. An empty
// pattern matches everything; an empty name only the pattern "*".
bool WildcardMatch(std::wstring_view name, std::wstring_view pattern);

// The pattern a search text stands for: as typed when it holds "*" or "?", else "*" + text + "*".
std::wstring SearchPattern(const std::wstring& searchText);

// Negative, zero or positive, comparing code units after towlower, as _wcsicmp does.
int CompareNamesIgnoringCase(std::wstring_view a, std::wstring_view b);

}  // namespace Arkova::Ui
