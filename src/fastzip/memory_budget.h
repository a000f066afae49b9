// A count of bytes that workers may hold at once for entries decoded whole. Reserve waits until enough is free, so
// the sum of what is held never exceeds the total; any thread may call any operation.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace Arkova::FastZip {

class MemoryBudget {
public:
    // `cancel` ends every wait in Reserve; the owner calls WakeAll after setting it.
    MemoryBudget(std::uint64_t total, const std::atomic<bool>& cancel) : total_(total), cancel_(cancel) {}

    // Waits until `bytes` are free and takes them; false at once when `bytes` exceed the total, and false after a
    // cancel.
    bool Reserve(std::uint64_t bytes);
    // Takes `bytes` only if they are free now.
    bool TryReserve(std::uint64_t bytes);
    void Release(std::uint64_t bytes);
    void WakeAll();

    // Reserves on construction; what it got goes back when it is destroyed.
    class Lease {
    public:
        Lease(MemoryBudget& budget, std::uint64_t bytes)
            : budget_(budget), bytes_(bytes), held_(budget.Reserve(bytes)) {}
        ~Lease() {
            if (held_) budget_.Release(bytes_);
        }
        Lease(const Lease&) = delete;
        Lease& operator=(const Lease&) = delete;
        bool Held() const { return held_; }

    private:
        MemoryBudget& budget_;
        const std::uint64_t bytes_;
        const bool held_;
    };

private:
    const std::uint64_t total_;
    const std::atomic<bool>& cancel_;
    std::uint64_t held_ = 0;
    std::mutex lock_;
    std::condition_variable released_;
};

}  // namespace Arkova::FastZip
