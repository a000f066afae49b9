// The listing of a plain ZIP made from our own read of its central directory, item for item as the 7-Zip library
// lists it, so that opening such an archive needs neither the library nor its second read of the directory. Plain
// means: the directory was read whole and ends the file, the first entry starts it (its local header agreeing), and
// every entry is stored or deflated, unencrypted, from a host whose attributes the library reads (FAT, Unix, NTFS),
// with time fields that every reader takes alike. Anything else is the library's to list.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "archive/archive_item.h"
#include "fastzip/zip_entry.h"

namespace Arkova::SevenZip {

// `firstLocalHeader` holds the archive's first bytes (at least the 30 of a local header, else it is not plain).
std::optional<std::vector<ArchiveItem>> ListPlainZip(const FastZip::ListedDirectory& directory,
                                                     const std::uint8_t* firstLocalHeader, std::size_t length);

}  // namespace Arkova::SevenZip
