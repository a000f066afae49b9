#include <chrono>

#include "extract/progress_dialog.h"

namespace Arkova {

namespace {

constexpr std::chrono::milliseconds kWaitSlice{100};
constexpr std::chrono::milliseconds kCancelGrace{5000};

}  // namespace

void ExtractProgressDialog::WaitForWorker(JobSignal& signal) {
    while (!signal.workerDone) {
        switch (signal.Wait(kWaitSlice)) {
            case JobSignal::WaitResult::Done:
                return;
            case JobSignal::WaitResult::Progress: {
                // The per-file bar animates until the worker first reports real progress.
                if (!signal.itemBarActive && signal.itemPercent > 0) {
                    signal.itemBarActive = true;
                    StopItemMarquee();
                }
                if (signal.itemBarActive) SetItemProgress(static_cast<int>(signal.itemPercent.load()));
                SetOverallProgress(static_cast<int>(signal.overallPercent.load()));
                std::wstring name = signal.CurrentName();
                if (!name.empty()) SetCurrentName(name);
                break;
            }
            case JobSignal::WaitResult::TimedOut:
                break;
        }
        // Input is handled after progress reports too, so a worker that reports without pause cannot starve a
        // cancel.
        PumpMessages();
        if (IsCancelled()) signal.cancelRequested = true;
        if (signal.cancelRequested) {
            signal.WaitDone(kCancelGrace);
            return;
        }
    }
}

}  // namespace Arkova
