#include "platform/memory.h"

#include <windows.h>

namespace Arkova::Platform {

bool LargeBuffer::Allocate(std::size_t size) {
    Free();
    void* memory = VirtualAlloc(nullptr, size == 0 ? 1 : size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    if (memory == nullptr) return false;
    data_ = static_cast<std::uint8_t*>(memory);
    size_ = size;
    return true;
}

// Committed pages take memory only once touched, whichever way the buffer was asked for.
bool LargeBuffer::Reserve(std::size_t size) { return Allocate(size); }

void ReleaseKeptBuffers() {}  // nothing is kept

void LargeBuffer::Free() {
    if (data_ != nullptr) VirtualFree(data_, 0, MEM_RELEASE);
    data_ = nullptr;
    size_ = 0;
}

}  // namespace Arkova::Platform
