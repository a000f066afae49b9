// arkova-cli /register and /unregister: the file association of the archive extensions, as the Windows program's
// own switches write it. Both print their result and end with exit status 0, successful or not.
#pragma once

#include "cli/console.h"

namespace Arkova::Cli {

int RunRegister(Console& console);
int RunUnregister(Console& console);

}  // namespace Arkova::Cli
