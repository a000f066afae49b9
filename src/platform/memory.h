// Large blocks of memory straight from the system: uninitialised, page-aligned, given back whole when freed. On
// Linux they are backed by huge pages where the system allows it, which spares one page fault per 4 KiB when a
// buffer of tens of megabytes is filled once.
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

    // Replaces what the buffer held with `size` new bytes; false (and empty) when the system has not got them.
    bool Allocate(std::size_t size);
    void Free();
    std::uint8_t* Data() const { return data_; }
    std::size_t Size() const { return size_; }

private:
    std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t mapped_ = 0;  // what the system gave, at least size_
};

#ifndef _WIN32
// Puts the C library's heap on huge pages too, where the system gives them on request (Linux with glibc): on a
// virtual machine a page fault per 4 KiB costs an archive's listing and directory about a quarter of a test's time.
// glibc takes that setting only when a process starts, so this starts the program again with it, once
// (ARKOVA_HUGE_PAGE_HEAP marks the new process; set beforehand, it keeps the usual heap, as does a GLIBC_TUNABLES of
// the user's own). Returns where no restart was made. Called first thing in main, with main's arguments.
void RestartWithHugePageHeap(char** argv);
#endif

}  // namespace Arkova::Platform
