#include "support/win32/pump_until.h"

#include <windows.h>

#include <algorithm>

#include "wingui/message_pump.h"

namespace Arkova::Testing {

bool PumpUntil(const std::function<bool()>& condition, int limitMs) {
    const ULONGLONG deadline = ::GetTickCount64() + static_cast<ULONGLONG>(limitMs);
    for (;;) {
        WinGui::PumpWaitingMessages();
        if (condition()) return true;
        ULONGLONG now = ::GetTickCount64();
        if (now >= deadline) return false;
        // Wakes for the next message, or after a short while for conditions that no message signals.
        DWORD wait = static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, 20));
        ::MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

}  // namespace Arkova::Testing
