// Large blocks of memory straight from the system: uninitialised, page-aligned, given back whole when freed. On
// Linux they are backed by huge pages where the system allows it (from 1 MiB up, placed on huge-page boundaries and
// rounded up to whole huge pages), which spares one page fault per 4 KiB when a buffer is filled once; and a freed
// one of those is kept for the next buffer it fits (up to 128 MiB in all, dropped when one fits none or on
// ReleaseKeptBuffers), whose pages then need neither a fault nor clearing.
#pragma once

#include <cstddef>
#include <cstdint>

namespace Arkova::Platform {

class LargeBuffer {
public:
    LargeBuffer() = default;
    ~LargeBuffer() { Free(); }
    LargeBuffer(const LargeBuffer&) = delete;
    LargeBuffer& operator=(const LargeBuffer&) = delete;

    // Replaces what the buffer held with `size` new bytes, not cleared; false (and empty) when the system has not got
    // them. On Linux the memory of a buffer freed earlier may be handed on, already in place.
    bool Allocate(std::size_t size);
    // The same for a buffer that may be filled only in part: only what is written takes memory.
    bool Reserve(std::size_t size);
    void Free();
    std::uint8_t* Data() const { return data_; }
    std::size_t Size() const { return size_; }

private:
    bool Map(std::size_t size, bool reuse);

    std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t mapped_ = 0;  // what the system gave, at least size_
};

// Gives back the memory of freed buffers kept for the next one, for a caller that will ask for none for a while.
void ReleaseKeptBuffers();

#ifndef _WIN32
// Puts the C library's heap on huge pages too, where the system gives them on request (Linux with glibc): on a
// virtual machine a page fault per 4 KiB costs an archive's listing and directory much of a test's time.
// ARKOVA_HUGE_PAGE_HEAP=0, or a GLIBC_TUNABLES of the user's own, keeps the usual heap. Called first thing in main.
void UseHugePageHeap();
#endif

}  // namespace Arkova::Platform
