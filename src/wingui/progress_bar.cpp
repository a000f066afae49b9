#include "wingui/progress_bar.h"

namespace Arkova::WinGui {

bool ProgressBar::Create(const CreateArgs& args) {
    if (!CreateControl(PROGRESS_CLASSW, args, 0)) return false;
    SetRange(args.minimum, args.maximum);
    return true;
}

void ProgressBar::SetRange(int minimum, int maximum) {
    ::SendMessageW(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(minimum), maximum);
}

int ProgressBar::Minimum() const { return static_cast<int>(::SendMessageW(Handle(), PBM_GETRANGE, TRUE, 0)); }

int ProgressBar::Maximum() const { return static_cast<int>(::SendMessageW(Handle(), PBM_GETRANGE, FALSE, 0)); }

void ProgressBar::SetPos(int position) { ::SendMessageW(Handle(), PBM_SETPOS, static_cast<WPARAM>(position), 0); }

int ProgressBar::Pos() const { return static_cast<int>(::SendMessageW(Handle(), PBM_GETPOS, 0, 0)); }

void ProgressBar::SetMarquee(bool on, int intervalMs) {
    LONG_PTR style = ::GetWindowLongPtrW(Handle(), GWL_STYLE);
    if (on) {
        ::SetWindowLongPtrW(Handle(), GWL_STYLE, style | PBS_MARQUEE);
        ::SendMessageW(Handle(), PBM_SETMARQUEE, TRUE, intervalMs);
    } else {
        ::SendMessageW(Handle(), PBM_SETMARQUEE, FALSE, 0);
        ::SetWindowLongPtrW(Handle(), GWL_STYLE, style & ~static_cast<LONG_PTR>(PBS_MARQUEE));
    }
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

bool ProgressBar::IsMarquee() const { return (::GetWindowLongPtrW(Handle(), GWL_STYLE) & PBS_MARQUEE) != 0; }

}  // namespace Arkova::WinGui
