#include "cli/register_command.h"

#include "app/shell_integration.h"
#include "cli/commands.h"
#include "platform/shell_notify.h"

namespace Arkova::Cli {

int RunRegister(Console& console) {
    if (!RegisterProgId()) {
        console.Err(L"Failed to register shell integration.\n");
        return kExitOk;
    }
    // An extension whose open-with list cannot be written still leaves the others registered.
    for (const std::wstring& extension : RegistrableExtensions()) AddOpenWithProgId(extension);
    Platform::NotifyAssociationsChanged();
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
