// Reads through a window of the archive for the reader stage: entries lie one after another, so one positional
// read fills the window with the local headers and data of many small files, and each of them is copied out of
// it instead of costing two system calls. Reads as large as the window go straight to the file. One thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "fastzip/zip_file_reader.h"

namespace Arkova::FastZip {

class ReadWindow {
public:
    static constexpr std::size_t kSize = 256 << 10;

    explicit ReadWindow(const ZipFileReader& reader) : reader_(reader) {}

    // Exactly `length` bytes at `offset`, or false (a read error, or the end of the file).
    bool ReadExactAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t length);

private:
    const ZipFileReader& reader_;
    std::unique_ptr<std::uint8_t[]> window_;
    std::uint64_t start_ = 0;  // archive offset of window_[0]
    std::size_t filled_ = 0;
};

}  // namespace Arkova::FastZip
