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
};

}  // namespace Arkova::Platform
