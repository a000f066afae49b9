#pragma once
// The modeless dialogs of the UI thread, so that the message pump can give them keyboard navigation
// (IsDialogMessageW: Tab, arrows, Enter, Esc). Dialog::CreateModeless adds its dialog and removes it when
// the dialog is destroyed; other modeless dialogs may be added by hand. One list per thread.

#include <windows.h>

namespace Arkova::WinGui::ModelessDialogs {

void Add(HWND dialog);
void Remove(HWND dialog);
bool Contains(HWND dialog);
// Runs IsDialogMessageW for the dialog that the message is for; true when the dialog consumed it.
bool Translate(MSG& message);

}  // namespace Arkova::WinGui::ModelessDialogs
