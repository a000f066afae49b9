#include "platform/memory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

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

namespace {

// "[madvise]" selected: huge pages for the memory that asks for them. Under "[always]" the heap has them already.
bool HugePagesOnRequest() {
    std::ifstream setting("/sys/kernel/mm/transparent_hugepage/enabled");
    std::string modes;
    return std::getline(setting, modes) && modes.find("[madvise]") != std::string::npos;
}

}  // namespace

void RestartWithHugePageHeap(char** argv) {
#if defined(__linux__) && defined(__GLIBC__)
    static constexpr char kMarker[] = "ARKOVA_HUGE_PAGE_HEAP";
    if (std::getenv(kMarker) != nullptr || std::getenv("GLIBC_TUNABLES") != nullptr || !HugePagesOnRequest()) return;
    // Freed memory is kept and blocks up to 32 MiB come from the heap, so that they too are on huge pages once
    // touched instead of new mappings faulted in again.
    if (setenv(kMarker, "1", 1) != 0 ||
        setenv("GLIBC_TUNABLES",
               "glibc.malloc.hugetlb=1:glibc.malloc.trim_threshold=268435456:glibc.malloc.mmap_threshold=33554432",
               1) != 0) {
        return;
    }
    execv("/proc/self/exe", argv);
    unsetenv("GLIBC_TUNABLES");  // the restart failed: go on as started
#else
    (void)argv;
#endif
}

void LargeBuffer::Free() {
    if (data_ != nullptr) munmap(data_, size_ == 0 ? 1 : size_);
    data_ = nullptr;
    size_ = 0;
}

}  // namespace Arkova::Platform
