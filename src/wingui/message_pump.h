#pragma once
// Message loops of the UI thread. Every loop here runs IsDialogMessageW for the registered modeless dialogs
// (modeless_dialogs.h). A WM_QUIT that ends a nested loop is posted again, so the outer loop ends too.

#include <windows.h>

namespace Arkova::WinGui {

// Translates and dispatches one message (or lets a modeless dialog consume it).
void DispatchWaitingMessage(MSG& message);

// Handles every message already waiting, then returns. false when WM_QUIT was among them.
bool PumpWaitingMessages();

// Runs messages until `window` no longer exists (true) or WM_QUIT arrives (false).
bool RunUntilClosed(HWND window);

// The program's main loop: runs until WM_QUIT and returns its exit code.
int RunMessageLoop();

}  // namespace Arkova::WinGui
