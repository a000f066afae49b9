#include "fastzip/memory_budget.h"

namespace Arkova::FastZip {

bool MemoryBudget::Reserve(std::uint64_t bytes) {
    if (bytes > total_) return false;
    std::unique_lock<std::mutex> guard(lock_);
    released_.wait(guard, [&] { return cancel_ || total_ - held_ >= bytes; });
    if (cancel_) return false;
    held_ += bytes;
    return true;
}

bool MemoryBudget::TryReserve(std::uint64_t bytes) {
    std::lock_guard<std::mutex> guard(lock_);
    if (cancel_ || bytes > total_ - held_) return false;
    held_ += bytes;
    return true;
}

void MemoryBudget::Release(std::uint64_t bytes) {
    {
        std::lock_guard<std::mutex> guard(lock_);
        held_ -= bytes < held_ ? bytes : held_;
    }
    released_.notify_all();
}

void MemoryBudget::WakeAll() {
    { std::lock_guard<std::mutex> guard(lock_); }
    released_.notify_all();
}

}  // namespace Arkova::FastZip
