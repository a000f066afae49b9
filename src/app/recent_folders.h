// The recent destination folders: values "RecentFolder0" (most recent) to "RecentFolder19" of the settings key.
// Callers are on the user-interface thread.
#pragma once

#include <string>
#include <vector>

namespace Arkova {

inline constexpr std::size_t kMaxRecentFolders = 20;

// The value name for a list position: "RecentFolder" and the decimal index.
std::wstring RecentFolderValueName(std::size_t index);

// The stored folders that still exist as folders, in index order. Entries that fail are skipped, not removed.
std::vector<std::wstring> LoadRecentFolders();

// Moves `folder` to the front of `folders` (exact comparison), keeps at most 20 and stores the whole list, deleting
// the values of positions the list no longer fills. An empty folder changes nothing.
void AddRecentFolder(std::vector<std::wstring>& folders, const std::wstring& folder);

}  // namespace Arkova
