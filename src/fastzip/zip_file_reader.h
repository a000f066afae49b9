// Positional reader of the archive file. ReadAt may be called from several threads at once: every read carries its
// own offset, so no file position is shared.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/file.h"

namespace Arkova::FastZip {

class ZipFileReader {
public:
    bool Open(const std::wstring& path);
    void Close();
    bool IsOpen() const { return file_.IsOpen(); }
    std::uint64_t FileSize() const { return fileSize_; }

    // Up to `length` bytes at `offset`; fewer only at the end of the file.
    bool ReadAt(std::uint64_t offset, void* buffer, std::size_t length, std::size_t& bytesRead) const;
    // Exactly `length` bytes, or false.
    bool ReadExactAt(std::uint64_t offset, void* buffer, std::size_t length) const;

private:
    Platform::InputFile file_;
    std::uint64_t fileSize_ = 0;
};

}  // namespace Arkova::FastZip
