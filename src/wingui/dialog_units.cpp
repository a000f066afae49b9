#include "wingui/dialog_units.h"

namespace Arkova::WinGui {

RECT DialogUnitsToPixels(HWND dialog, const RECT& units) {
    RECT pixels = units;
    ::MapDialogRect(dialog, &pixels);
    return pixels;
}

RECT PixelsToDialogUnits(HWND dialog, const RECT& pixels) {
    // The dialog manager scales position and size separately (x by baseX / 4, y by baseY / 8, rounding), so they
    // are turned back separately; with at least a pixel per unit, rounding recovers the template's numbers.
    RECT base{0, 0, 4, 8};
    ::MapDialogRect(dialog, &base);
    if (base.right <= 0 || base.bottom <= 0) return {};
    auto x = [&](LONG value) { return ::MulDiv(value, 4, base.right); };
    auto y = [&](LONG value) { return ::MulDiv(value, 8, base.bottom); };
    LONG left = x(pixels.left);
    LONG top = y(pixels.top);
    return RECT{left, top, left + x(pixels.right - pixels.left), top + y(pixels.bottom - pixels.top)};
}

RECT ItemRectInPixels(HWND dialog, int id) {
    HWND item = ::GetDlgItem(dialog, id);
    RECT bounds{};
    if (item == nullptr || !::GetWindowRect(item, &bounds)) return {};
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&bounds), 2);
    return bounds;
}

RECT ItemRectInDialogUnits(HWND dialog, int id) { return PixelsToDialogUnits(dialog, ItemRectInPixels(dialog, id)); }

}  // namespace Arkova::WinGui
