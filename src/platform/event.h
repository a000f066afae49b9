// A waitable event in the manner of the Win32 kernel object: one thread sets it, another waits for it with a time
// limit. A manual-reset event stays set once set; an auto-reset event is cleared by the wait that sees it. Any thread
// may call any operation; the event must outlive every wait on it.
#pragma once

#include <chrono>

namespace Arkova::Platform {

class Event {
public:
    enum class Reset { Manual, Auto };

    explicit Event(Reset reset);
    ~Event();
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void Set();
    // True when the event is set or becomes set within `limit` (zero: only looks).
    bool Wait(std::chrono::milliseconds limit);
#ifdef _WIN32
    // The event's HANDLE, owned by the event, for waits that also watch window messages.
    void* NativeHandle() const { return handle_; }
#endif

private:
    friend int WaitForEither(Event& first, Event& second, std::chrono::milliseconds limit);
#ifdef _WIN32
    void* handle_;
#else
    // Off Windows every event shares one lock and condition (see posix/event.cpp); set_ is guarded by it.
    bool TakeLocked();
    const Reset reset_;
    bool set_ = false;
#endif
};

// Waits until `first` or `second` is set, at most `limit`: 0 or 1 for the event seen (the first when both are, and
// only that one is consumed), -1 when the time ran out.
int WaitForEither(Event& first, Event& second, std::chrono::milliseconds limit);

}  // namespace Arkova::Platform
