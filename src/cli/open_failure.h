#pragma once

#include <memory>
#include <string>

#include "archive/archive_decoder.h"
#include "cli/console.h"

namespace Arkova::Cli {

// Opens the archive for a command, or reports on the console why it cannot be opened and returns null.
std::unique_ptr<IArchiveDecoder> OpenForCommand(const std::wstring& path, Console& console);

}  // namespace Arkova::Cli
