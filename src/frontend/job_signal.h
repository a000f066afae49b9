// What one worker thread and the user-interface thread share while a worker runs: the worker's progress and
// completion, the user's cancel, and the name to show. The done event (manual reset) and the progress event (auto
// reset) are real waitable events, so the Win32 window can wait for them together with its messages.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>

#include "platform/event.h"

namespace Arkova {

class JobSignal {
public:
    enum class WaitResult { Done, Progress, TimedOut };

    // Worker side.
    void ReportProgress();  // sets the progress event
    void MarkDone();        // sets workerDone, then the done event
    void SetCurrentName(const std::wstring& name);

    // User-interface side. Waits until done or a progress report, at most `limit`; a progress report is consumed,
    // and done wins when both are there.
    WaitResult Wait(std::chrono::milliseconds limit);
    // Waits only for the done event.
    bool WaitDone(std::chrono::milliseconds limit);
    // Consumes a waiting progress report without waiting; true when there was one.
    bool TakeProgress();
    std::wstring CurrentName();
#ifdef _WIN32
    // The two event HANDLEs for MsgWaitForMultipleObjects; a wait that reports the progress event consumes it.
    void* DoneEventHandle() const { return doneEvent_.NativeHandle(); }
    void* ProgressEventHandle() const { return progressEvent_.NativeHandle(); }
#endif

    std::atomic<bool> cancelRequested{false};
    std::atomic<bool> workerDone{false};
    std::atomic<std::uint32_t> itemPercent{0};
    std::atomic<std::uint32_t> overallPercent{0};

private:
    Platform::Event doneEvent_{Platform::Event::Reset::Manual};
    Platform::Event progressEvent_{Platform::Event::Reset::Auto};
    std::mutex nameLock_;
    std::wstring currentName_;  // guarded by nameLock_
};

}  // namespace Arkova
