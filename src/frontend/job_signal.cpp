#include "frontend/job_signal.h"

namespace Arkova {

void JobSignal::ReportProgress() { progressEvent_.Set(); }

void JobSignal::MarkDone() {
    workerDone = true;
    doneEvent_.Set();
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
    switch (Platform::WaitForEither(doneEvent_, progressEvent_, limit)) {
        case 0:
            return WaitResult::Done;
        case 1:
            return WaitResult::Progress;
        default:
            return WaitResult::TimedOut;
    }
}

bool JobSignal::WaitDone(std::chrono::milliseconds limit) { return doneEvent_.Wait(limit); }

bool JobSignal::TakeProgress() { return progressEvent_.Wait(std::chrono::milliseconds(0)); }

}  // namespace Arkova
