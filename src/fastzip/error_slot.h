// The first error of an engine run, shared by all of its threads.
#pragma once

#include <mutex>
#include <string>

namespace Arkova::FastZip {

struct ErrorSlot {
    std::wstring text;
    mutable std::mutex lock;
};

// Keeps `message` when no error was recorded yet; later errors are dropped. Any thread may call it.
void RecordError(ErrorSlot& errorSlot, const std::wstring& message) noexcept;
std::wstring ErrorTextOf(const ErrorSlot& errorSlot);
void ClearErrors(ErrorSlot& errorSlot);

}  // namespace Arkova::FastZip
