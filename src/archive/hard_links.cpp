#include "archive/hard_links.h"

#include <algorithm>
#include <unordered_map>

#include "archive/browser_path.h"

namespace Arkova {

namespace {

// Link targets are written as archivers store member names, sometimes with "./" or "/" in front.
std::wstring LinkKey(const std::wstring& path) {
    std::wstring key = BrowserPath(path);
    std::size_t start = 0;
    for (;;) {
        if (key.compare(start, 2, L"./") == 0) {
            start += 2;
        } else if (key.compare(start, 1, L"/") == 0) {
            start += 1;
        } else {
            break;
        }
    }
    return key.substr(start);
}

}  // namespace

std::vector<DataSource> ResolveHardLinks(std::vector<ArchiveItem>& items,
                                         const std::vector<std::optional<std::wstring>>& linkTargets) {
    std::vector<DataSource> sources(items.size());
    // Most archives hold no links at all: then no name needs indexing.
    if (std::none_of(linkTargets.begin(), linkTargets.end(), [](const auto& target) { return target.has_value(); })) {
        return sources;
    }
    std::unordered_map<std::wstring, std::uint32_t> lastFileNamed;
    for (std::uint32_t i = 0; i < items.size(); ++i) {
        ArchiveItem& item = items[i];
        if (i < linkTargets.size() && linkTargets[i].has_value() && !item.isDirectory) {
            DataSource& source = sources[i];
            source.isLink = true;
            source.target = *linkTargets[i];
            auto found = lastFileNamed.find(LinkKey(source.target));
            if (found != lastFileNamed.end()) {
                const std::uint32_t named = found->second;
                source.position = sources[named].isLink ? sources[named].position : std::optional(named);
            }
            if (source.position && item.size == 0) item.size = items[*source.position].size;
            if (source.position && item.crc == 0) item.crc = items[*source.position].crc;
        }
        if (!item.isDirectory) lastFileNamed[LinkKey(item.path)] = i;
    }
    return sources;
}

std::wstring UnresolvedLinkText(const DataSource& source) {
    return L"hard link to '" + source.target + L"', which is not a file stored before it in the archive";
}

}  // namespace Arkova
