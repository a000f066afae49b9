// The user-interface side of a job's worker, as every progress window waits: in slices of at most 100 ms, showing
// each progress report, handling input between waits, and after a cancel waiting at most 5 s more for the done
// event. The Win32 window waits on the events and its messages together and shares the steps below; the console
// and the tests' scripted double use the polling loop as it is. User-interface thread only.
#pragma once

#include <chrono>

#include "frontend/progress_dialog.h"

namespace Arkova {

inline constexpr std::chrono::milliseconds kWorkerWaitSlice{100};
inline constexpr std::chrono::milliseconds kCancelGrace{5000};

// Shows one progress report: the per-file bar animates until the first report above 0 % (`itemBarActive`, the
// wait's own memory, then turns on and the marquee stops), the overall bar, and the current name when set.
void ShowWorkerProgress(ExtractProgressDialog& dialog, JobSignal& signal, bool& itemBarActive);
// After input was handled: a cancel of the window reaches the worker, which then gets the grace period to finish.
// True when the wait is over.
bool PassOnCancel(ExtractProgressDialog& dialog, JobSignal& signal);
// The whole wait, polling the signal in 100 ms slices and pumping input between them.
void WaitForWorkerPolling(ExtractProgressDialog& dialog, JobSignal& signal);

}  // namespace Arkova
