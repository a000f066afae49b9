#include "platform/memory.h"

#include <sys/mman.h>

namespace Arkova::Platform {

bool LargeBuffer::Allocate(std::size_t size) {
    Free();
    // A mapping of zero bytes is refused; one byte stands in for it.
    std::size_t length = size == 0 ? 1 : size;
    void* memory = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED) return false;
#ifdef MADV_HUGEPAGE
    madvise(memory, length, MADV_HUGEPAGE);  // a hint; without it the buffer still works
#endif
    data_ = static_cast<std::uint8_t*>(memory);
    size_ = size;
    return true;
}

void LargeBuffer::Free() {
    if (data_ != nullptr) munmap(data_, size_ == 0 ? 1 : size_);
    data_ = nullptr;
    size_ = 0;
}

}  // namespace Arkova::Platform
