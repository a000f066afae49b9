#include "platform/debug_output.h"

#include <mutex>

namespace Arkova::Platform {

namespace {

std::mutex& SinkMutex() {
    static std::mutex mutex;
    return mutex;
}

DebugOutputSink& Sink() {
    static DebugOutputSink sink;
    return sink;
}

}  // namespace

void WriteDebugOutput(std::wstring_view text) {
    {
        std::lock_guard lock(SinkMutex());
        if (Sink()) {
            Sink()(text);
            return;
        }
    }
    Detail::WriteSystemDebugOutput(text);
}

void SetDebugOutputSink(DebugOutputSink sink) {
    std::lock_guard lock(SinkMutex());
    Sink() = std::move(sink);
}

}  // namespace Arkova::Platform
