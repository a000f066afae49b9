// Hard links and file copies inside an archive: an entry that stores no data of its own but names an earlier entry
// whose data it has. Links are never created on disk, so such an entry is extracted as a copy of that data.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "archive/archive_item.h"

namespace Arkova {

// Where one entry's data comes from.
struct DataSource {
    bool isLink = false;                    // the entry names another entry's data
    std::optional<std::uint32_t> position;  // for a link: the entry holding the data; none when it cannot be found
    std::wstring target;                    // for a link: the path it names, as the archive stores it
};

// Resolves the links among `items` (`linkTargets[i]` is the path entry i links to, none for an ordinary entry). A
// link names the last file entry of that path before it, and takes that entry's own source, so a chain of links ends
// at data; a link to a path that has no file entry before it (missing, later, itself) has no source. Links only
// look back, so there are no cycles. Links listed with size 0 or no CRC take their source's.
std::vector<DataSource> ResolveHardLinks(std::vector<ArchiveItem>& items,
                                         const std::vector<std::optional<std::wstring>>& linkTargets);

// Why a link without a source cannot be extracted, in English.
std::wstring UnresolvedLinkText(const DataSource& source);

}  // namespace Arkova
