// Opens the archive named on the command line through the archive context.
#pragma once

#include <string>

#include "archive/archive_context.h"
#include "cli/console.h"
#include "cli/options.h"

namespace Arkova::Cli {

enum class ArchiveUse { ListOnly, ReadEntries };

// Opens the archive into the context with the options' code page and password. On a terminal without -p it asks
// for the password (three tries) when the archive cannot be listed without one, or when entries are to be read
// and some are encrypted. On failure it says why, naming the archive and the error, and returns false.
bool OpenForCommand(const Options& options, ArchiveUse use, ArchiveContext& context, Console& console);

// The result's name, followed by what the decoder found when it says more (the 7-Zip library adapter explains a
// missing library, an unsupported method such as RAR without its decoder, or a damaged item).
std::wstring FailureText(const ArchiveContext& context, DecodeResult result);

// The file name part of a path.
std::wstring ArchiveName(const std::wstring& path);

}  // namespace Arkova::Cli
