#include "archive/sequential_reader.h"

#include <algorithm>
#include <cstring>

namespace Arkova {

namespace {
constexpr std::size_t kBufferSize = 64 * 1024;
}

SequentialReader::SequentialReader(const VolumeSet& file, std::uint64_t start)
    : file_(file), position_(start), buffer_(kBufferSize) {}

bool SequentialReader::Read(void* destination, std::size_t length) {
    auto* out = static_cast<unsigned char*>(destination);
    std::uint64_t position = position_;
    std::size_t copied = 0;
    while (copied < length) {
        bool inBuffer = position >= bufferStart_ && position < bufferStart_ + bufferLength_;
        if (!inBuffer) {
            std::size_t got = 0;
            if (length - copied >= kBufferSize) {
                // A large read bypasses the buffer.
                if (!file_.ReadAt(position, out + copied, length - copied, got) || got != length - copied) {
                    return false;
                }
                copied = length;
                position += got;
                break;
            }
            if (!file_.ReadAt(position, buffer_.data(), kBufferSize, got) || got == 0) return false;
            bufferStart_ = position;
            bufferLength_ = got;
        }
        std::size_t offset = static_cast<std::size_t>(position - bufferStart_);
        std::size_t take = std::min(bufferLength_ - offset, length - copied);
        std::memcpy(out + copied, buffer_.data() + offset, take);
        copied += take;
        position += take;
    }
    position_ = position;
    return true;
}

}  // namespace Arkova
