// arkova-cli config [NAME [VALUE]]: shows every setting with its value (or default), one setting, or stores one.
#pragma once

#include <string>
#include <vector>

#include "cli/console.h"

namespace Arkova::Cli {

// `arguments` are those after "config". Exit status: 0 done, 1 the store could not be written, 2 usage (unknown
// name, a value of the wrong kind, too many arguments).
int RunConfig(const std::vector<std::wstring>& arguments, Console& console);

}  // namespace Arkova::Cli
