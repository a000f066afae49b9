#include <windows.h>

#include <string>

#include "platform/debug_output.h"

namespace Arkova::Platform::Detail {

void WriteSystemDebugOutput(std::wstring_view text) { ::OutputDebugStringW(std::wstring(text).c_str()); }

}  // namespace Arkova::Platform::Detail
