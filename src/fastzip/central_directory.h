// Reading the central directory: the end record (and its ZIP64 form), then every record in directory order.
// Runs on the engine's controlling thread before any other engine thread starts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "fastzip/error_slot.h"
#include "fastzip/zip_entry.h"

namespace Arkova::FastZip {

// Opens the archive into `index.reader` (it stays open after success) and lists its entries. True exactly when at
// least one entry was listed; the failures to open, read or locate the directory record an error text. Names and
// comments not in UTF-8 are read in `index.nameCodePage`, which the read keeps.
bool ReadCentralDirectory(ZipArchiveIndex& index, ErrorSlot& errorSlot, const std::wstring& archivePath);
// The same, in `codePage` (-1 or 0: the system ANSI code page), which becomes `index.nameCodePage`.
bool ReadCentralDirectory(ZipArchiveIndex& index, ErrorSlot& errorSlot, const std::wstring& archivePath,
                          std::int32_t codePage);

// Reads the directory as above and keeps what it found; empty when the read fails.
std::optional<ListedDirectory> ListDirectory(const std::wstring& archivePath, std::int32_t codePage);
// Takes the entries out of a read index.
ListedDirectory TakeListing(ZipArchiveIndex& index);

// Position in `tail` of the end record: the last signature whose comment length reaches the end of the file, else
// the last signature at all; npos when there is none. `tail` holds the file's last bytes.
std::size_t FindEndRecord(const std::uint8_t* tail, std::size_t tailLength);

}  // namespace Arkova::FastZip
