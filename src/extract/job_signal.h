// What one worker thread and the user-interface thread share while a worker runs: the worker's progress and
// completion, the user's cancel, and the name to show. The two events are built on one mutex and condition
// variable, so the user-interface thread can wait for either with a time limit.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>

namespace Arkova {

class JobSignal {
public:
    enum class WaitResult { Done, Progress, TimedOut };

    // Worker side.
    void ReportProgress();  // sets the auto-reset progress event
    void MarkDone();        // sets workerDone, then the manual-reset done event
    void SetCurrentName(const std::wstring& name);

    // User-interface side. Waits until done or a progress report, at most `limit`; a progress report is consumed.
    WaitResult Wait(std::chrono::milliseconds limit);
    // Waits only for the done event.
    bool WaitDone(std::chrono::milliseconds limit);
    std::wstring CurrentName();

    std::atomic<bool> cancelRequested{false};
    std::atomic<bool> workerDone{false};
    bool itemBarActive = false;  // user-interface thread only
    std::atomic<std::uint32_t> itemPercent{0};
    std::atomic<std::uint32_t> overallPercent{0};

private:
    std::mutex lock_;
    std::condition_variable changed_;
    bool doneEvent_ = false;
    bool progressEvent_ = false;
    std::wstring currentName_;  // guarded by nameLock_
    std::mutex nameLock_;
};

}  // namespace Arkova
