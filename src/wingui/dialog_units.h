#pragma once
// Dialog units, the measure of dialog templates, against pixels, by the dialog's own font (MapDialogRect).

#include <windows.h>

namespace Arkova::WinGui {

RECT DialogUnitsToPixels(HWND dialog, const RECT& units);
// Back to dialog units: exact for a control's rectangle as the dialog manager placed it.
RECT PixelsToDialogUnits(HWND dialog, const RECT& pixels);

// Item `id` of the dialog in the dialog's client coordinates: in pixels, or in dialog units as the template
// states it. All zero when there is no such item.
RECT ItemRectInPixels(HWND dialog, int id);
RECT ItemRectInDialogUnits(HWND dialog, int id);

}  // namespace Arkova::WinGui
