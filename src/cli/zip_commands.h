// The ZIP commands of arkova-cli: listing from the central directory, and extraction through the parallel engine.
#pragma once

#include <string>

#include "cli/console.h"
#include "cli/options.h"

namespace Arkova::Cli {

// The file starts like a ZIP archive (a local header, or the end record of an empty archive).
bool IsZipArchive(const std::wstring& path);

int RunZipList(const Options& options, Console& console);

// Extracts the whole archive with the parallel engine into a hidden folder inside the destination, then moves each
// result into place, asking about existing files as the options say; the hidden folder is always removed. Archives
// whose first entry is encrypted, and --sequential, go to the entry-by-entry extraction instead.
int RunZipExtract(const Options& options, Console& console);

}  // namespace Arkova::Cli
