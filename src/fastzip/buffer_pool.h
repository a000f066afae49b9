// A fixed set of equal, 64-byte aligned buffers. The pool owns every buffer it allocated; Take lends one out and
// Return gives it back. Any thread may call any operation. The buffers of one Fill are cut from one block of memory
// from the system (huge pages on Linux), which spares a page fault per 4 KiB the first time each is filled.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/memory.h"

namespace Arkova::FastZip {

class BufferPool {
public:
    // `cancel` ends every wait in Take; the owner calls WakeAll after setting it.
    explicit BufferPool(const std::atomic<bool>& cancel) : cancel_(cancel) {}
    ~BufferPool() { ShutDown(); }
    BufferPool(const BufferPool&) = delete;
    BufferPool& operator=(const BufferPool&) = delete;

    // Allocates up to `count` buffers of `bufferSize` bytes; a buffer whose allocation fails is left out. Returns how
    // many the pool holds.
    std::size_t Fill(std::size_t count, std::size_t bufferSize);
    std::size_t BufferSize() const { return bufferSize_; }

    // Waits for a free buffer; null when the engine was cancelled or the pool shut down.
    std::uint8_t* Take();
    void Return(std::uint8_t* buffer);
    void WakeAll();
    // Ends all waits and frees every buffer, lent out or not.
    void ShutDown();

private:
    const std::atomic<bool>& cancel_;
    std::size_t bufferSize_ = 0;
    std::vector<std::unique_ptr<Platform::LargeBuffer>> blocks_;
    std::vector<std::uint8_t*> owned_;  // allocated one by one, where no block could be had
    std::size_t held_ = 0;
    std::deque<std::uint8_t*> free_;
    std::mutex lock_;
    std::condition_variable bufferFree_;
    bool shutDown_ = false;
};

}  // namespace Arkova::FastZip
