// The bytes of an archive that may be split over several files, read as one: each volume contributes its bytes
// between a head and a tail that the format puts around every piece. Read-only after opening; ReadAt may be called
// from one thread at a time, like the decoder that owns it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/file.h"

namespace Arkova {

class VolumeSet {
public:
    // Opens the first (or only) volume, all of its bytes.
    bool Open(const std::wstring& path);
    // Appends a volume whose first `head` and last `tail` bytes are not part of the archive's stream.
    bool AddVolume(const std::wstring& path, std::uint64_t head, std::uint64_t tail);
    // Changes how many bytes at the end of the volume added last are not part of the stream.
    void SetLastTail(std::uint64_t tail);
    void Close();
    bool IsOpen() const { return !volumes_.empty(); }
    std::size_t VolumeCount() const { return volumes_.size(); }

    // The stream's length.
    bool Size(std::uint64_t& size) const;
    // Like Platform::InputFile: `bytesRead` is short only at the end of the stream.
    bool ReadAt(std::uint64_t offset, void* buffer, std::size_t length, std::size_t& bytesRead) const;
    bool ReadExactAt(std::uint64_t offset, void* buffer, std::size_t length) const;

private:
    struct Volume {
        Platform::InputFile file;
        std::uint64_t fileSize = 0;
        std::uint64_t head = 0;
        std::uint64_t length = 0;  // bytes in the stream
        std::uint64_t start = 0;   // where they begin in the stream
    };
    std::vector<Volume> volumes_;
};

}  // namespace Arkova
