// Whole-run decoders for the native readers' other methods: bzip2 (EGG method 2), the bzip2 variant of ALZ
// (method 1) and LZMA (EGG method 4). Each decodes `input` into exactly `expectedSize` bytes: Ok only when the data
// yields exactly that many, DecompressFailed otherwise. The output grows with the data actually produced, so a false
// size claim costs no memory. Stateless; any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "archive/decode_result.h"

namespace Arkova {

// A standard bzip2 stream ("BZh" header, block and stream CRCs checked by libbz2).
DecodeResult DecodeBzip2(const std::uint8_t* input, std::size_t inputLength, std::uint64_t expectedSize,
                         std::vector<std::uint8_t>& output);

// ALZ's bzip2: the stream header is gone, each block starts with "DLZ" 01 instead of the 48-bit block magic and
// carries no block CRC and no randomisation bit, and "DLZ" 02 ends the stream without a stream CRC (block size 9).
// Each block is rewritten as a one-block standard stream for libbz2; the entry's own CRC-32 is what checks the data.
DecodeResult DecodeAlzBzip2(const std::uint8_t* input, std::size_t inputLength, std::uint64_t expectedSize,
                            std::vector<std::uint8_t>& output);

// EGG's LZMA: a 2-byte encoder version, a 2-byte properties length, the LZMA1 properties (5 bytes), then the raw
// LZMA1 stream, with or without an end marker.
DecodeResult DecodeEggLzma(const std::uint8_t* input, std::size_t inputLength, std::uint64_t expectedSize,
                           std::vector<std::uint8_t>& output);

}  // namespace Arkova
