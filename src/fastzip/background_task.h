// One piece of work run on a thread of its own while its owner goes on, on any processor (an engine worker is
// pinned to one, and a thread it starts would be too). Wait, or the destructor, joins it.
#pragma once

#include <functional>
#include <thread>

namespace Arkova::FastZip {

class BackgroundTask {
public:
    BackgroundTask() = default;
    ~BackgroundTask() { Wait(); }
    BackgroundTask(const BackgroundTask&) = delete;
    BackgroundTask& operator=(const BackgroundTask&) = delete;

    // Starts `work` after waiting for any earlier work. Where no thread can be had, the work runs at once, here.
    void Start(std::function<void()> work);
    // Returns once the work is done; at once when there is none.
    void Wait();

private:
    std::thread thread_;
};

}  // namespace Arkova::FastZip
