#include "cli/progress_line.h"

namespace Arkova::Cli {

namespace {
constexpr std::size_t kMaxWidth = 78;
}

void ProgressLine::Show(std::uint64_t done, std::uint64_t total, const std::wstring& name, int namePercent) {
    if (!enabled_) return;
    std::uint64_t percent = total == 0 ? 100 : done * 100 / total;
    std::wstring text = std::to_wstring(percent) + L"% " + std::to_wstring(done) + L"/" + std::to_wstring(total) + L" ";
    if (namePercent >= 0) text += L"[" + std::to_wstring(namePercent) + L"%] ";
    std::size_t room = kMaxWidth > text.size() ? kMaxWidth - text.size() : 0;
    // Keep the end of a long name: it says which file it is.
    text += name.size() <= room ? name : L"..." + name.substr(name.size() - room + 3);
    std::wstring line = L"\r" + text;
    if (text.size() < shownWidth_) line += std::wstring(shownWidth_ - text.size(), L' ');
    shownWidth_ = text.size();
    console_.Err(line);
}

void ProgressLine::Clear() {
    if (!enabled_ || shownWidth_ == 0) return;
    console_.Err(L"\r" + std::wstring(shownWidth_, L' ') + L"\r");
    shownWidth_ = 0;
}

}  // namespace Arkova::Cli
