#include "extract/job_signal.h"

namespace Arkova {

void JobSignal::ReportProgress() {
    {
        std::lock_guard<std::mutex> guard(lock_);
        progressEvent_ = true;
    }
    changed_.notify_all();
}

void JobSignal::MarkDone() {
    workerDone = true;
    {
        std::lock_guard<std::mutex> guard(lock_);
        doneEvent_ = true;
    }
    changed_.notify_all();
}

void JobSignal::SetCurrentName(const std::wstring& name) {
    std::lock_guard<std::mutex> guard(nameLock_);
    currentName_ = name;
}

std::wstring JobSignal::CurrentName() {
    std::lock_guard<std::mutex> guard(nameLock_);
    return currentName_;
}

JobSignal::WaitResult JobSignal::Wait(std::chrono::milliseconds limit) {
    std::unique_lock<std::mutex> guard(lock_);
    changed_.wait_for(guard, limit, [this] { return doneEvent_ || progressEvent_; });
    if (doneEvent_) return WaitResult::Done;
    if (progressEvent_) {
        progressEvent_ = false;
        return WaitResult::Progress;
    }
    return WaitResult::TimedOut;
}

bool JobSignal::WaitDone(std::chrono::milliseconds limit) {
    std::unique_lock<std::mutex> guard(lock_);
    return changed_.wait_for(guard, limit, [this] { return doneEvent_; });
}

}  // namespace Arkova
