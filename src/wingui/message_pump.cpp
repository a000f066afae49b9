#include "wingui/message_pump.h"

#include "wingui/modeless_dialogs.h"

namespace Arkova::WinGui {

void DispatchWaitingMessage(MSG& message) {
    if (ModelessDialogs::Translate(message)) return;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
}

bool PumpWaitingMessages() {
    MSG message{};
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        DispatchWaitingMessage(message);
    }
    return true;
}

bool RunUntilClosed(HWND window) {
    MSG message{};
    while (::IsWindow(window)) {
        BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got == -1) return false;
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        DispatchWaitingMessage(message);
    }
    return true;
}

int RunMessageLoop() {
    MSG message{};
    BOOL got = 0;
    while ((got = ::GetMessageW(&message, nullptr, 0, 0)) != 0) {
        if (got == -1) return -1;
        DispatchWaitingMessage(message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace Arkova::WinGui
