#pragma once
// Painting through a memory bitmap that is copied to the window in one go, so controls that redraw as the pointer
// moves never flicker; and the two fills every owner-drawn control uses.

#include "wingui/gdi_handles.h"

namespace Arkova::WinGui {

class BufferedPaint {
public:
    BufferedPaint(HDC target, const RECT& area)
        : target_(target), area_(area), memory_(::CreateCompatibleDC(target)),
          bitmap_(::CreateCompatibleBitmap(target, area.right - area.left, area.bottom - area.top)),
          selected_(memory_.Get(), bitmap_.Get()) {}
    BufferedPaint(const BufferedPaint&) = delete;
    BufferedPaint& operator=(const BufferedPaint&) = delete;
    ~BufferedPaint() {
        ::BitBlt(target_, area_.left, area_.top, area_.right - area_.left, area_.bottom - area_.top, memory_.Get(), 0,
                 0, SRCCOPY);
    }
    // Draw here, in the target's coordinates shifted so that `area` starts at 0, 0.
    HDC Dc() const { return memory_.Get(); }

private:
    HDC target_;
    RECT area_;
    MemoryDc memory_;
    Bitmap bitmap_;
    SelectedObject selected_;
};

inline void FillSolid(HDC dc, const RECT& rect, COLORREF colour) {
    Brush brush(::CreateSolidBrush(colour));
    ::FillRect(dc, &rect, brush.Get());
}

// A one-pixel frame just inside `rect`.
inline void FrameSolid(HDC dc, const RECT& rect, COLORREF colour) {
    Brush brush(::CreateSolidBrush(colour));
    ::FrameRect(dc, &rect, brush.Get());
}

}  // namespace Arkova::WinGui
