// Whole-archive ZIP extraction in arkova-cli through the parallel engine.
#pragma once

#include <string>

#include "cli/console.h"
#include "cli/options.h"

namespace Arkova::Cli {

// The file starts like a ZIP archive (a local header, or the end record of an empty archive).
bool IsZipArchive(const std::wstring& path);

// Extracts the whole archive with the parallel engine into a hidden folder inside the destination, then moves each
// result into place, asking about existing files as the options say; the hidden folder is always removed. Archives
// with encrypted entries or methods other than stored and deflate, and --sequential, go to the entry-by-entry
// extraction instead.
int RunZipExtract(const Options& options, Console& console);

}  // namespace Arkova::Cli
