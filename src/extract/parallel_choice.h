// Whether the parallel engine can take a job. It reads the ZIP directory itself and inflates only stored and
// deflated entries without encryption; anything else goes entry by entry through the archive context, so that every
// entry the library can read still extracts.
#pragma once

#include <memory>
#include <string>

#include "archive/archive_decoder.h"
#include "archive/archive_format.h"
#include "fastzip/entry_source.h"

namespace Arkova {

// The directory that `opened`, the decoder the archive is open in, read while opening is used instead of reading it
// again, where it read one in the same code page.
//
// The file starts with "PK", and the engine can extract every entry of its directory.
bool EngineCanExtractEntries(const std::wstring& archivePath, const IArchiveDecoder* opened = nullptr);
// Where the engine takes a whole archive's entries from: a ZIP that starts with a plain local header (encryption
// flag clear) and whose every entry the engine can extract, or an ALZ or EGG archive that is one
// file, not solid, unencrypted, each entry one run stored, deflated or in bzip2. Null when the engine cannot take it.
// A ZIP source keeps the directory read here, with names in `codePage` (-1: the system's), for the first run.
std::unique_ptr<FastZip::EntrySource> EngineSourceForArchive(ArchiveFormat format, const std::wstring& archivePath,
                                                             std::int32_t codePage = -1,
                                                             const IArchiveDecoder* opened = nullptr);

}  // namespace Arkova
