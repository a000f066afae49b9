#include "app/recent_folders.h"

#include <algorithm>

#include "app/settings.h"
#include "platform/file_system.h"

namespace Arkova {

std::wstring RecentFolderValueName(std::size_t index) { return L"RecentFolder" + std::to_wstring(index); }

std::vector<std::wstring> LoadRecentFolders() {
    std::vector<std::wstring> folders;
    for (std::size_t i = 0; i < kMaxRecentFolders; ++i) {
        std::wstring folder;
        if (ReadString(RecentFolderValueName(i), folder) && !folder.empty() && Platform::IsDirectory(folder)) {
            folders.push_back(folder);
        }
    }
    return folders;
}

void AddRecentFolder(std::vector<std::wstring>& folders, const std::wstring& folder) {
    if (folder.empty()) return;
    auto existing = std::find(folders.begin(), folders.end(), folder);
    if (existing != folders.end()) folders.erase(existing);
    folders.insert(folders.begin(), folder);
    if (folders.size() > kMaxRecentFolders) folders.resize(kMaxRecentFolders);
    for (std::size_t i = 0; i < kMaxRecentFolders; ++i) {
        if (i < folders.size()) {
            WriteString(RecentFolderValueName(i), folders[i]);
        } else {
            DeleteSetting(RecentFolderValueName(i));
        }
    }
}

}  // namespace Arkova
