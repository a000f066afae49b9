#pragma once

#include <string>

namespace Arkova {

// The first free variant "stem (n).ext" of a path, n = 2, 3, ...; the path itself is never returned. A dot in a
// folder name is not an extension.
std::wstring MakeUniqueName(const std::wstring& path);

}  // namespace Arkova
