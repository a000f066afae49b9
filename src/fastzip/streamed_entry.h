// Inflating (or copying) one entry piece by piece, for entries too large to hold in memory. The data is read with
// positional reads, so this may run beside other readers of the same archive.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "fastzip/zip_entry.h"
#include "fastzip/zip_file_reader.h"

namespace Arkova::FastZip {

class StreamedEntry {
public:
    // `entry` must have its data offset, sizes and method from the local header.
    StreamedEntry(const ZipFileReader& reader, const ZipEntry& entry, std::size_t pieceSize);

    // Hands each piece of output to `sink` (false stops, with `failure` set by the sink or left empty for a cancel).
    // True when the whole entry came out with its stated size and CRC-32; else `failure` says why.
    bool Run(const std::function<bool(const std::uint8_t*, std::size_t)>& sink, std::wstring& failure);

private:
    bool Copy(const std::function<bool(const std::uint8_t*, std::size_t)>& sink, std::wstring& failure);
    bool Inflate(const std::function<bool(const std::uint8_t*, std::size_t)>& sink, std::wstring& failure);
    bool ReadPiece(std::uint8_t* buffer, std::size_t& length, std::wstring& failure);
    bool Deliver(const std::function<bool(const std::uint8_t*, std::size_t)>& sink, const std::uint8_t* data,
                 std::size_t length, std::wstring& failure);

    const ZipFileReader& reader_;
    const ZipEntry& entry_;
    std::size_t pieceSize_;
    std::uint64_t readOffset_ = 0;
    std::uint64_t leftToRead_ = 0;
    std::uint64_t produced_ = 0;
    std::uint32_t crc_ = 0;
};

}  // namespace Arkova::FastZip
