// Diagnostic text for a developer: the debugger output on Windows (OutputDebugStringW); elsewhere standard error,
// only when ARKOVA_DEBUG_OUTPUT=1. Any thread may write.
#pragma once

#include <functional>
#include <string_view>

namespace Arkova::Platform {

void WriteDebugOutput(std::wstring_view text);

// While a sink is installed, debug output goes to it instead of the system (tests read what was written). An empty
// function restores the system output.
using DebugOutputSink = std::function<void(std::wstring_view)>;
void SetDebugOutputSink(DebugOutputSink sink);

namespace Detail {
void WriteSystemDebugOutput(std::wstring_view text);
}

}  // namespace Arkova::Platform
