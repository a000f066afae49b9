// The progress window on a console: one line on standard error, redrawn when the job pumps, at most every 100 ms, with
// the per-file bar, the overall bar, the status and the current name. Ctrl+C while it is open works like "취소".
// Nothing is drawn when standard error is not a terminal.
#pragma once

#include <chrono>
#include <string>

#include "cli/console.h"
#include "frontend/progress_dialog.h"

namespace Arkova::Cli {

class ConsoleProgressDialog : public ExtractProgressDialog {
public:
    ConsoleProgressDialog(Console& console, bool drawn);
    ~ConsoleProgressDialog() override;

    bool Open(const std::wstring& title, const std::wstring& destinationToShow,
              const std::wstring& sourceArchive) override;
    void SetCurrentName(const std::wstring& text) override;
    void SetStatusText(const std::wstring& text) override;
    void SetItemProgress(int percent) override;
    void SetOverallProgress(int percent) override;
    void StartItemMarquee() override;
    void StopItemMarquee() override;
    bool IsCancelled() const override;
    void PumpMessages() override;
    void WaitForWorker(JobSignal& signal) override;
    void Finish() override;
    bool IsOpen() const override { return open_; }
    void Close() override;
    void Detach() override { Close(); }
    // A console has nothing to close by hand: the finished line is simply left behind.
    void RunUntilClosed() override { Close(); }

private:
    // Draws the line from the values set since, at most every 100 ms; the jobs pump after each step.
    void Redraw();
    void Erase();

    Console& console_;
    const bool drawn_;
    bool open_ = false;
    bool cancelled_ = false;
    bool marquee_ = false;
    int itemPercent_ = 0;
    int overallPercent_ = 0;
    std::wstring name_;
    std::wstring status_;
    std::size_t shownWidth_ = 0;
    std::chrono::steady_clock::time_point lastDrawn_{};
};

}  // namespace Arkova::Cli
