#include "platform/event.h"

#include <windows.h>

namespace Arkova::Platform {

namespace {

DWORD Milliseconds(std::chrono::milliseconds limit) {
    if (limit.count() <= 0) return 0;
    // INFINITE is 0xFFFFFFFF: a longer limit waits one millisecond less than forever.
    return limit.count() >= INFINITE ? INFINITE - 1 : static_cast<DWORD>(limit.count());
}

}  // namespace

// An event the system cannot create stays null: it is never set, and waits on it return at once.
Event::Event(Reset reset) : handle_(::CreateEventW(nullptr, reset == Reset::Manual, FALSE, nullptr)) {}

Event::~Event() {
    if (handle_ != nullptr) ::CloseHandle(handle_);
}

void Event::Set() {
    if (handle_ != nullptr) ::SetEvent(handle_);
}

bool Event::Wait(std::chrono::milliseconds limit) {
    return handle_ != nullptr && ::WaitForSingleObject(handle_, Milliseconds(limit)) == WAIT_OBJECT_0;
}

int WaitForEither(Event& first, Event& second, std::chrono::milliseconds limit) {
    if (first.handle_ == nullptr || second.handle_ == nullptr) return -1;
    HANDLE handles[2] = {first.handle_, second.handle_};
    // With both set, the lowest index is reported and only that event is consumed.
    DWORD result = ::WaitForMultipleObjects(2, handles, FALSE, Milliseconds(limit));
    if (result == WAIT_OBJECT_0) return 0;
    if (result == WAIT_OBJECT_0 + 1) return 1;
    return -1;
}

}  // namespace Arkova::Platform
