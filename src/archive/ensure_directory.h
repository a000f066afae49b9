#pragma once

#include <string>

namespace Arkova {

// Creates a folder and its missing parents. An empty path succeeds; a path that exists succeeds only as a folder.
bool EnsureDirectory(const std::wstring& path);

}  // namespace Arkova
