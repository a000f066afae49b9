#include "platform/memory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <malloc.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

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

namespace {

// Huge-page mappings given back, kept for the next buffer they fit: their pages are in place, where a new
// mapping's are each found and zeroed on first touch, which on a virtual machine costs as much as decoding into them.
// A buffer that fits none drops them all first, and so does ReleaseKeptBuffers, so that what is kept waits only for a
// buffer that is coming.
class MappingCache {
public:
    // A kept mapping of `length` bytes (whole huge pages), its length in `mapped`; null when none fits.
    void* Take(std::size_t length, std::size_t& mapped) {
        std::lock_guard<std::mutex> guard(lock_);
        auto best = kept_.end();
        for (auto it = kept_.begin(); it != kept_.end(); ++it) {
            if (it->second >= length && (best == kept_.end() || it->second < best->second)) best = it;
        }
        if (best == kept_.end()) {
            DropAllLocked();
            return nullptr;
        }
        void* memory = best->first;
        held_ -= best->second;
        // Whole huge pages beyond what is asked for go back: a smaller buffer must not hold a larger one's memory.
        if (best->second > length) munmap(static_cast<std::uint8_t*>(memory) + length, best->second - length);
        mapped = length;
        kept_.erase(best);
        return memory;
    }

    // False when the mapping is not kept: the caller unmaps it.
    bool Keep(void* memory, std::size_t mapped) {
        std::lock_guard<std::mutex> guard(lock_);
        if (held_ + mapped > kMostHeld) return false;
        kept_.emplace_back(memory, mapped);
        held_ += mapped;
        return true;
    }

    void DropAll() {
        std::lock_guard<std::mutex> guard(lock_);
        DropAllLocked();
    }

private:
    static constexpr std::size_t kMostHeld = std::size_t{128} << 20;

    void DropAllLocked() {
        for (const auto& [memory, mapped] : kept_) munmap(memory, mapped);
        kept_.clear();
        held_ = 0;
    }

    std::mutex lock_;
    std::vector<std::pair<void*, std::size_t>> kept_;
    std::size_t held_ = 0;
};

MappingCache& Cache() {
    static MappingCache* cache = new MappingCache;  // never destroyed: buffers may be freed during exit
    return *cache;
}

}  // namespace

void ReleaseKeptBuffers() { Cache().DropAll(); }

bool LargeBuffer::Allocate(std::size_t size) { return Map(size, true); }

bool LargeBuffer::Reserve(std::size_t size) { return Map(size, false); }

bool LargeBuffer::Map(std::size_t size, bool reuse) {
    Free();
    // A mapping of zero bytes is refused; one byte stands in for it. From half a huge page up the mapping is whole
    // huge pages: one fault and one zeroed page per 2 MiB costs far less than 512 faults.
    std::size_t length = size == 0 ? 1 : size;
    const bool huge = length >= kHugePage / 2 && length <= SIZE_MAX - 2 * kHugePage;
    if (huge) length = (length + kHugePage - 1) & ~(kHugePage - 1);
    // A reserved buffer takes no kept one (their pages are all in place), so it drops them as one that fits none.
    if (huge && !reuse) Cache().DropAll();
    std::size_t keptLength = 0;
    if (void* kept = huge && reuse ? Cache().Take(length, keptLength) : nullptr) {
        data_ = static_cast<std::uint8_t*>(kept);
        size_ = size;
        mapped_ = keptLength;
        return true;
    }
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
    if (data_ != nullptr && !(mapped_ >= kHugePage && Cache().Keep(data_, mapped_))) munmap(data_, mapped_);
    data_ = nullptr;
    size_ = 0;
    mapped_ = 0;
}

}  // namespace Arkova::Platform
