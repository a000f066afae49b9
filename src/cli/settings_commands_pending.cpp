// Placeholders until the settings store lands: the commands say they are not available.
#include "cli/commands.h"

namespace Arkova::Cli {

int RunConfig(const std::vector<std::wstring>&, Console& console) {
    console.Err(L"arkova-cli: settings are not available in this build\n");
    return kExitUsageOrOpen;
}

int RunRegister(Console& console) {
    console.Out(L"Failed to register shell integration.\n");
    return kExitOk;
}

int RunUnregister(Console& console) {
    console.Out(L"Failed to unregister shell integration.\n");
    return kExitOk;
}

}  // namespace Arkova::Cli
