#include "cli/register_command.h"

#include "app/shell_integration.h"
#include "cli/commands.h"

namespace Arkova::Cli {

int RunRegister(Console& console) {
    if (!RegisterShellIntegration()) {
        console.Err(L"Failed to register shell integration.\n");
        return kExitOk;
    }
    console.Out(L"Shell integration registered successfully.\n");
    return kExitOk;
}

int RunUnregister(Console& console) {
    if (UnregisterFileAssociations()) {
        console.Out(L"Shell integration unregistered successfully.\n");
    } else {
        console.Err(L"Failed to unregister shell integration.\n");
    }
    return kExitOk;
}

}  // namespace Arkova::Cli
