#include "fastzip/error_slot.h"

namespace Arkova::FastZip {

void RecordError(ErrorSlot& errorSlot, const std::wstring& message) noexcept {
    std::lock_guard<std::mutex> guard(errorSlot.lock);
    if (!errorSlot.text.empty()) return;
    try {
        errorSlot.text = message.empty() ? std::wstring(L"Unknown error") : message;
    } catch (...) {
        // Out of memory while copying the text: the run still fails through its cancel flag.
    }
}

std::wstring ErrorTextOf(const ErrorSlot& errorSlot) {
    std::lock_guard<std::mutex> guard(errorSlot.lock);
    return errorSlot.text;
}

void ClearErrors(ErrorSlot& errorSlot) {
    std::lock_guard<std::mutex> guard(errorSlot.lock);
    errorSlot.text.clear();
}

}  // namespace Arkova::FastZip
