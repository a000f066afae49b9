#include "cli/console_progress_dialog.h"

#include "extract/wait_for_worker.h"

namespace Arkova::Cli {

namespace {

constexpr std::size_t kBarWidth = 10;
constexpr std::size_t kLineWidth = 78;
constexpr std::chrono::milliseconds kRedrawInterval{100};

std::wstring Bar(int percent) {
    std::size_t filled = static_cast<std::size_t>(percent < 0 ? 0 : percent > 100 ? 100 : percent) * kBarWidth / 100;
    return L"[" + std::wstring(filled, L'#') + std::wstring(kBarWidth - filled, L'-') + L"]";
}

std::wstring PercentText(int percent) {
    std::wstring text = std::to_wstring(percent) + L"%";
    return std::wstring(text.size() < 4 ? 4 - text.size() : 0, L' ') + text;
}

}  // namespace

ConsoleProgressDialog::ConsoleProgressDialog(Console& console, bool drawn)
    : console_(console), drawn_(drawn && console.ErrorIsTerminal()) {}

ConsoleProgressDialog::~ConsoleProgressDialog() { Close(); }

bool ConsoleProgressDialog::Open(const std::wstring&, const std::wstring&, const std::wstring&) {
    open_ = true;
    cancelled_ = false;
    console_.CatchInterrupts(true);
    return true;
}

void ConsoleProgressDialog::SetCurrentName(const std::wstring& text) { name_ = text; }

void ConsoleProgressDialog::SetStatusText(const std::wstring& text) { status_ = text; }

void ConsoleProgressDialog::SetItemProgress(int percent) { itemPercent_ = percent; }

void ConsoleProgressDialog::SetOverallProgress(int percent) { overallPercent_ = percent; }

void ConsoleProgressDialog::StartItemMarquee() { marquee_ = true; }

void ConsoleProgressDialog::StopItemMarquee() {
    marquee_ = false;
    itemPercent_ = 0;
}

bool ConsoleProgressDialog::IsCancelled() const { return cancelled_; }

void ConsoleProgressDialog::PumpMessages() {
    if (open_ && console_.Interrupted()) cancelled_ = true;
    Redraw();
}

void ConsoleProgressDialog::WaitForWorker(JobSignal& signal) { WaitForWorkerPolling(*this, signal); }

void ConsoleProgressDialog::Finish() {}

void ConsoleProgressDialog::Close() {
    if (!open_) return;
    if (console_.Interrupted()) cancelled_ = true;
    Erase();
    console_.CatchInterrupts(false);
    open_ = false;
}

void ConsoleProgressDialog::Redraw() {
    if (!drawn_ || !open_) return;
    auto now = std::chrono::steady_clock::now();
    if (now - lastDrawn_ < kRedrawInterval) return;
    lastDrawn_ = now;
    std::wstring text = (marquee_ ? L"[~~~~~~~~~~]  ..." : Bar(itemPercent_) + PercentText(itemPercent_)) + L"  " +
                        Bar(overallPercent_) + PercentText(overallPercent_) + L"  ";
    if (!status_.empty()) text += status_ + L"  ";
    std::size_t room = kLineWidth > text.size() ? kLineWidth - text.size() : 0;
    // The end of a long name says which file it is.
    text += name_.size() <= room ? name_ : L"..." + name_.substr(name_.size() - room + (room >= 3 ? 3 : room));
    std::wstring line = L"\r" + text;
    if (text.size() < shownWidth_) line += std::wstring(shownWidth_ - text.size(), L' ');
    shownWidth_ = text.size();
    console_.Err(line);
}

void ConsoleProgressDialog::Erase() {
    if (!drawn_ || shownWidth_ == 0) return;
    console_.Err(L"\r" + std::wstring(shownWidth_, L' ') + L"\r");
    shownWidth_ = 0;
}

}  // namespace Arkova::Cli
