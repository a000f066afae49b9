#include "platform/event.h"

#include <condition_variable>
#include <mutex>

namespace Arkova::Platform {

namespace {

// One lock and one condition for all events: a thread can then wait for either of two events with one time limit.
// A process has only a few events at a time, so the shared wake-ups cost nothing measurable.
std::mutex& EventLock() {
    static std::mutex lock;
    return lock;
}

std::condition_variable& EventChanged() {
    static std::condition_variable changed;
    return changed;
}

}  // namespace

Event::Event(Reset reset) : reset_(reset) {}

Event::~Event() = default;

bool Event::TakeLocked() {
    if (!set_) return false;
    if (reset_ == Reset::Auto) set_ = false;
    return true;
}

void Event::Set() {
    {
        std::lock_guard<std::mutex> guard(EventLock());
        set_ = true;
    }
    EventChanged().notify_all();
}

bool Event::Wait(std::chrono::milliseconds limit) {
    std::unique_lock<std::mutex> guard(EventLock());
    EventChanged().wait_for(guard, limit, [this] { return set_; });
    return TakeLocked();
}

int WaitForEither(Event& first, Event& second, std::chrono::milliseconds limit) {
    std::unique_lock<std::mutex> guard(EventLock());
    EventChanged().wait_for(guard, limit, [&] { return first.set_ || second.set_; });
    if (first.TakeLocked()) return 0;
    if (second.TakeLocked()) return 1;
    return -1;
}

}  // namespace Arkova::Platform
