// The progress window of an extraction job or an archive test, as the jobs see it. The Win32 window, the console
// and the tests' scripted double implement it. User-interface thread only; every update is a no-op while the
// window is not open.
#pragma once

#include <string>

#include "frontend/job_signal.h"

namespace Arkova {

class ExtractProgressDialog {
public:
    virtual ~ExtractProgressDialog() = default;

    // Shows the window over its owner and disables the owner; false when it cannot be shown (the job then runs
    // without a visible window).
    virtual bool Open(const std::wstring& title, const std::wstring& destinationToShow,
                      const std::wstring& sourceArchive) = 0;
    virtual void SetCurrentName(const std::wstring& text) = 0;
    virtual void SetStatusText(const std::wstring& text) = 0;
    // 0-100 on the per-file bar and its "%d%%" label.
    virtual void SetItemProgress(int percent) = 0;
    // 0-100 on the overall bar and its "%d%%" label.
    virtual void SetOverallProgress(int percent) = 0;
    virtual void StartItemMarquee() = 0;
    virtual void StopItemMarquee() = 0;
    // The user pressed "취소" or closed the window.
    virtual bool IsCancelled() const = 0;
    // Handles whatever input is waiting (window messages, an interrupt from the console).
    virtual void PumpMessages() = 0;
    // Waits for a job's worker while keeping the window alive: updates the bars and the name from the signal (the
    // per-file bar leaves its marquee on the first report above 0 %), and passes a cancel on to the worker within
    // one 100 ms slice; after a cancel it waits at most 5 s more for the done event. Returns when the worker is
    // done or after a cancel; the caller then joins the worker. WaitForWorkerPolling (extract/) is the portable
    // loop.
    virtual void WaitForWorker(JobSignal& signal) = 0;
    // End of a job: title "압축 풀기 완료", "닫기" instead of "취소", and the two completion options (close the
    // window, open the destination folder).
    virtual void Finish() = 0;
    virtual bool IsOpen() const = 0;
    // Re-enables the owner and destroys the window.
    virtual void Close() = 0;
    // Leaves the finished window on screen on its own, keeping the two paths; the job may end.
    virtual void Detach() = 0;
    // The nested loop of a finished job: returns when the user has closed the window.
    virtual void RunUntilClosed() = 0;
};

}  // namespace Arkova
