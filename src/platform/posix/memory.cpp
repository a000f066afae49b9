#include "platform/memory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <malloc.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

namespace Arkova::Platform {

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;  // x86-64's and 4 KiB-page arm64's

// A mapping of `length` bytes starting on a huge-page boundary: a huge page can back only an aligned 2 MiB, so an
// unaligned buffer of a few MiB would get few of them or none.
void* MapOnHugePageBoundary(std::size_t length) {
    void* raw = mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) return MAP_FAILED;
    auto start = reinterpret_cast<std::uintptr_t>(raw);
    std::uintptr_t aligned = (start + kHugePage - 1) & ~(std::uintptr_t{kHugePage} - 1);
    if (aligned > start) munmap(raw, aligned - start);
    std::size_t tail = start + kHugePage - aligned;
    if (tail > 0) munmap(reinterpret_cast<void*>(aligned + length), tail);
    return reinterpret_cast<void*>(aligned);
}

}  // namespace

bool LargeBuffer::Allocate(std::size_t size) {
    Free();
    // A mapping of zero bytes is refused; one byte stands in for it. From half a huge page up the mapping is whole
    // huge pages: one fault and one zeroed page per 2 MiB costs far less than 512 faults.
    std::size_t length = size == 0 ? 1 : size;
    const bool huge = length >= kHugePage / 2 && length <= SIZE_MAX - 2 * kHugePage;
    if (huge) length = (length + kHugePage - 1) & ~(kHugePage - 1);
    void* memory = huge ? MapOnHugePageBoundary(length)
                        : mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED) return false;
#ifdef MADV_HUGEPAGE
    madvise(memory, length, MADV_HUGEPAGE);  // a hint; without it the buffer still works
#endif
    data_ = static_cast<std::uint8_t*>(memory);
    size_ = size;
    mapped_ = length;
    return true;
}

namespace {

// "[madvise]" selected: huge pages for the memory that asks for them. Under "[always]" the heap has them already.
bool HugePagesOnRequest() {
    std::ifstream setting("/sys/kernel/mm/transparent_hugepage/enabled");
    std::string modes;
    return std::getline(setting, modes) && modes.find("[madvise]") != std::string::npos;
}

}  // namespace

void UseHugePageHeap() {
#if defined(__linux__) && defined(__GLIBC__)
    const char* choice = std::getenv("ARKOVA_HUGE_PAGE_HEAP");
    if ((choice != nullptr && std::string(choice) == "0") || std::getenv("GLIBC_TUNABLES") != nullptr ||
        !HugePagesOnRequest()) {
        return;
    }
    // Freed memory is kept and blocks up to 32 MiB come from the heap, so that they are reused where they were
    // touched instead of mapped and faulted in again. The heap grows by 64 MiB at a time, and that first growth is
    // marked for huge pages: memory added to the heap later would not inherit the mark.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    mallopt(M_TOP_PAD, 64 << 20);
    // More than the heap's small start holds, so that it grows now, by the pad.
    void* probe = std::malloc(kHugePage);
    if (probe == nullptr) return;
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    auto from = reinterpret_cast<std::uintptr_t>(probe) & ~(page - 1);
    auto to = reinterpret_cast<std::uintptr_t>(sbrk(0));
    // Only where the block came from the heap's end (another allocator, as under a sanitizer, maps its own).
    if (to > from && to - from <= (std::size_t{80} << 20)) {
        madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
    }
    std::free(probe);
#endif
}

void LargeBuffer::Free() {
    if (data_ != nullptr) munmap(data_, mapped_);
    data_ = nullptr;
    size_ = 0;
    mapped_ = 0;
}

}  // namespace Arkova::Platform
