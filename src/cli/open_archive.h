// Opens the archive named on the command line through the archive context.
#pragma once

#include <string>

#include "archive/archive_context.h"
#include "cli/console.h"
#include "cli/options.h"

namespace Arkova::Cli {

// Opens the archive into the context; on failure reports on the console why (naming the archive and the error)
// and returns false.
bool OpenForCommand(const Options& options, ArchiveContext& context, Console& console);

}  // namespace Arkova::Cli
