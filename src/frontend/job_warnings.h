// The decoder's warnings as the Win32 front end words them at the end of a job, in Korean around the decoder's own
// text.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace Arkova {

// Each warning on a line of its own after "경고: "; at most kShownWarnings of them, then how many more there were.
std::wstring WarningsMessageKorean(const std::vector<std::wstring>& warnings);

inline constexpr std::size_t kShownWarnings = 10;

}  // namespace Arkova
