// Reads a file front to back through a buffer, counting every byte read or skipped. The archive scanners use it
// so that listing an archive of many small headers costs few system calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "archive/volume_set.h"

namespace Arkova {

class SequentialReader {
public:
    explicit SequentialReader(const VolumeSet& file, std::uint64_t start = 0);

    // Reads exactly `length` bytes; false (position unchanged) when the file ends first or a read fails.
    bool Read(void* destination, std::size_t length);
    template <typename T>
    bool ReadLittleEndian(T& value, std::size_t width = sizeof(T)) {
        unsigned char bytes[8] = {};
        if (width > sizeof(bytes) || !Read(bytes, width)) return false;
        std::uint64_t v = 0;
        for (std::size_t i = width; i > 0; --i) v = (v << 8) | bytes[i - 1];
        value = static_cast<T>(v);
        return true;
    }
    // Moves forward without reading, like a relative seek: going past the end is allowed. A length that would wrap
    // around stops at the largest position, so a hostile size can never move the scan backwards.
    void Skip(std::uint64_t length) { position_ = length > UINT64_MAX - position_ ? UINT64_MAX : position_ + length; }
    // Moves to any position, e.g. back over bytes that turned out to belong to what follows.
    void Seek(std::uint64_t position) { position_ = position; }
    std::uint64_t Position() const { return position_; }

private:
    const VolumeSet& file_;
    std::uint64_t position_;
    std::vector<unsigned char> buffer_;
    std::uint64_t bufferStart_ = 0;
    std::size_t bufferLength_ = 0;
};

}  // namespace Arkova
