#include "extract/wait_for_worker.h"

namespace Arkova {

void ShowWorkerProgress(ExtractProgressDialog& dialog, JobSignal& signal, bool& itemBarActive) {
    if (!itemBarActive && signal.itemPercent > 0) {
        itemBarActive = true;
        dialog.StopItemMarquee();
    }
    if (itemBarActive) dialog.SetItemProgress(static_cast<int>(signal.itemPercent.load()));
    dialog.SetOverallProgress(static_cast<int>(signal.overallPercent.load()));
    std::wstring name = signal.CurrentName();
    if (!name.empty()) dialog.SetCurrentName(name);
}

bool PassOnCancel(ExtractProgressDialog& dialog, JobSignal& signal) {
    if (dialog.IsCancelled()) signal.cancelRequested = true;
    if (!signal.cancelRequested) return false;
    signal.WaitDone(kCancelGrace);
    return true;
}

void WaitForWorkerPolling(ExtractProgressDialog& dialog, JobSignal& signal) {
    bool itemBarActive = false;
    while (!signal.workerDone) {
        switch (signal.Wait(kWorkerWaitSlice)) {
            case JobSignal::WaitResult::Done:
                return;
            case JobSignal::WaitResult::Progress:
                ShowWorkerProgress(dialog, signal, itemBarActive);
                break;
            case JobSignal::WaitResult::TimedOut:
                break;
        }
        // Input is handled after progress reports too, so a worker that reports without pause cannot starve a
        // cancel.
        dialog.PumpMessages();
        if (PassOnCancel(dialog, signal)) return;
    }
}

}  // namespace Arkova
