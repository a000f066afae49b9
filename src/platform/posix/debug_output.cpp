#include <cstdlib>
#include <cstring>

#include "platform/console.h"
#include "platform/debug_output.h"

namespace Arkova::Platform::Detail {

void WriteSystemDebugOutput(std::wstring_view text) {
    const char* enabled = std::getenv("ARKOVA_DEBUG_OUTPUT");
    if (enabled != nullptr && std::strcmp(enabled, "1") == 0) WriteConsoleText(StandardStream::Error, text);
}

}  // namespace Arkova::Platform::Detail
