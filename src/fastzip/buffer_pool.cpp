#include "fastzip/buffer_pool.h"

#include <cstdint>
#include <new>

namespace Arkova::FastZip {

namespace {
constexpr std::align_val_t kAlignment{64};
}

std::size_t BufferPool::Fill(std::size_t count, std::size_t bufferSize) {
    std::lock_guard<std::mutex> guard(lock_);
    bufferSize_ = bufferSize;
    shutDown_ = false;
    try {
        auto block = std::make_unique<Platform::LargeBuffer>();
        if (count > 0 && bufferSize <= SIZE_MAX / count && block->Allocate(count * bufferSize)) {
            for (std::size_t i = 0; i < count; ++i) free_.push_back(block->Data() + i * bufferSize);
            blocks_.push_back(std::move(block));
            held_ += count;
            return held_;
        }
        // Without one block, each buffer on its own.
        owned_.reserve(owned_.size() + count);
        for (std::size_t i = 0; i < count; ++i) {
            void* memory = ::operator new(bufferSize, kAlignment, std::nothrow);
            if (memory == nullptr) continue;
            owned_.push_back(static_cast<std::uint8_t*>(memory));
            free_.push_back(owned_.back());
            ++held_;
        }
    } catch (const std::bad_alloc&) {
        // Keep what was allocated; the caller checks the count.
    }
    return held_;
}

std::uint8_t* BufferPool::Take() {
    std::unique_lock<std::mutex> guard(lock_);
    bufferFree_.wait(guard, [this] { return !free_.empty() || cancel_ || shutDown_; });
    if (free_.empty() || cancel_ || shutDown_) return nullptr;
    std::uint8_t* buffer = free_.front();
    free_.pop_front();
    return buffer;
}

void BufferPool::Return(std::uint8_t* buffer) {
    if (buffer == nullptr) return;
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (shutDown_) return;
        free_.push_back(buffer);
    }
    bufferFree_.notify_one();
}

void BufferPool::WakeAll() {
    { std::lock_guard<std::mutex> guard(lock_); }
    bufferFree_.notify_all();
}

void BufferPool::ShutDown() {
    {
        std::lock_guard<std::mutex> guard(lock_);
        shutDown_ = true;
        free_.clear();
        blocks_.clear();
        for (std::uint8_t* buffer : owned_) ::operator delete(buffer, kAlignment);
        owned_.clear();
        held_ = 0;
    }
    bufferFree_.notify_all();
}

}  // namespace Arkova::FastZip
