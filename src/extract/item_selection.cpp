// Turning the user's chosen rows and items into entries to extract.
#include <algorithm>
#include <unordered_set>

#include "archive/entry_path.h"
#include "extract/extraction_job.h"
#include "frontend/texts.h"

namespace Arkova {

namespace {

bool StartsWith(const std::wstring& text, const std::wstring& prefix) {
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

// The entries below a folder item: every entry whose browser path is longer than "folder/" and starts with it.
template <typename Visit>
void ForEachFileBelow(const DragItem& folder, const std::vector<ArchiveItem>& entries, Visit visit) {
    const std::wstring prefix = folder.fullPath + L"/";
    for (const ArchiveItem& entry : entries) {
        if (entry.isDirectory) continue;
        std::wstring path = BrowserPath(entry.path);
        if (path.size() > prefix.size() && StartsWith(path, prefix)) visit(entry, path);
    }
}

// Archive paths are placed relative to the folder being browsed.
std::wstring RelativeToBrowsedFolder(const std::wstring& path, const std::wstring& currentFolder) {
    if (currentFolder.empty()) return path;
    const std::wstring prefix = currentFolder + L"/";
    return StartsWith(path, prefix) ? path.substr(prefix.size()) : path;
}

// The output path, or empty when the path would leave the destination.
std::wstring TargetFor(const std::wstring& path, const std::wstring& currentFolder, const std::wstring& destination) {
    std::wstring target;
    if (!SafeOutputPath(destination, RelativeToBrowsedFolder(path, currentFolder), target)) return {};
    return target;
}

}  // namespace

std::vector<ItemJob> BuildItemJobs(const std::vector<DragItem>& items, const std::vector<ArchiveItem>& entries,
                                   const std::wstring& currentFolder, const std::wstring& destination) {
    std::vector<ItemJob> jobs;
    for (const DragItem& item : items) {
        if (!item.isFolder) {
            jobs.push_back({item.itemIndex, TargetFor(item.fullPath, currentFolder, destination), item.name});
            continue;
        }
        ForEachFileBelow(item, entries, [&](const ArchiveItem& entry, const std::wstring& path) {
            jobs.push_back({entry.index, TargetFor(path, currentFolder, destination), FileNamePart(path)});
        });
    }
    return jobs;
}

std::vector<FolderJob> BuildFolderJobs(const std::vector<DragItem>& items, const std::vector<ArchiveItem>& entries,
                                       const std::wstring& currentFolder, const std::wstring& destination,
                                       const std::function<std::uint64_t(const ArchiveItem&)>& timeOf) {
    std::vector<FolderJob> folders;
    std::unordered_set<std::wstring> seen;
    auto add = [&](const std::wstring& path, std::uint64_t time) {
        if (seen.insert(path).second) folders.push_back({path, TargetFor(path, currentFolder, destination), time});
    };
    for (const DragItem& item : items) {
        if (!item.isFolder) continue;
        const std::wstring prefix = item.fullPath + L"/";
        std::uint64_t ownTime = 0;
        for (const ArchiveItem& entry : entries) {
            if (entry.isDirectory && BrowserPath(entry.path) == item.fullPath) ownTime = timeOf(entry);
        }
        add(item.fullPath, ownTime);
        for (const ArchiveItem& entry : entries) {
            if (!entry.isDirectory) continue;
            std::wstring path = BrowserPath(entry.path);
            if (path.size() > prefix.size() && StartsWith(path, prefix)) add(path, timeOf(entry));
        }
    }
    return folders;
}

std::vector<std::uint32_t> BuildItemPositions(const std::vector<DragItem>& items,
                                              const std::vector<ArchiveItem>& entries) {
    std::vector<std::uint32_t> positions;
    positions.reserve(items.size() * 10);
    std::unordered_set<std::uint32_t> seen;
    auto add = [&](std::uint32_t position) {
        if (seen.insert(position).second) positions.push_back(position);
    };
    for (const DragItem& item : items) {
        if (!item.isFolder) {
            add(item.itemIndex);
            continue;
        }
        ForEachFileBelow(item, entries, [&](const ArchiveItem& entry, const std::wstring&) { add(entry.index); });
    }
    return positions;
}

std::vector<DragItem> BuildSelectionItems(const std::vector<SelectedRow>& rows, const std::vector<ArchiveItem>& entries,
                                          const std::wstring& currentFolder) {
    std::vector<DragItem> items;
    for (const SelectedRow& row : rows) {
        DragItem item;
        item.name = row.name;
        item.isFolder = row.typeText == kTextFolder;
        item.fullPath = currentFolder.empty() ? row.name : currentFolder + L"/" + row.name;
        if (!item.isFolder) {
            auto match = std::find_if(entries.begin(), entries.end(), [&](const ArchiveItem& entry) {
                return BrowserPath(entry.path) == item.fullPath;
            });
            // A row that names no entry would otherwise extract whatever entry 0 is.
            if (match == entries.end()) continue;
            item.itemIndex = match->index;
        }
        items.push_back(std::move(item));
    }
    return items;
}

}  // namespace Arkova
