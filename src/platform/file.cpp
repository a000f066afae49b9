// The parts of the file classes that do not depend on the operating system.
#include "platform/file.h"

#include <utility>

namespace Arkova::Platform {

InputFile::InputFile(InputFile&& other) noexcept
    : handle_(std::exchange(other.handle_, kInvalidHandle)), overlapped_(std::exchange(other.overlapped_, false)) {}

InputFile& InputFile::operator=(InputFile&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = std::exchange(other.handle_, kInvalidHandle);
        overlapped_ = std::exchange(other.overlapped_, false);
    }
    return *this;
}

bool InputFile::ReadExactAt(std::uint64_t offset, void* buffer, std::size_t length) const {
    std::size_t got = 0;
    return ReadAt(offset, buffer, length, got) && got == length;
}

}  // namespace Arkova::Platform
