#include "wingui/modeless_dialogs.h"

#include <algorithm>
#include <vector>

namespace Arkova::WinGui::ModelessDialogs {

namespace {

std::vector<HWND>& Dialogs() {
    thread_local std::vector<HWND> dialogs;
    return dialogs;
}

}  // namespace

void Add(HWND dialog) {
    if (dialog != nullptr && !Contains(dialog)) Dialogs().push_back(dialog);
}

void Remove(HWND dialog) { std::erase(Dialogs(), dialog); }

bool Contains(HWND dialog) { return std::ranges::find(Dialogs(), dialog) != Dialogs().end(); }

bool Translate(MSG& message) {
    if (message.hwnd == nullptr) return false;
    for (HWND dialog : Dialogs()) {
        if ((dialog == message.hwnd || ::IsChild(dialog, message.hwnd)) && ::IsDialogMessageW(dialog, &message)) {
            return true;
        }
    }
    return false;
}

}  // namespace Arkova::WinGui::ModelessDialogs
