// Whole-entry raw DEFLATE decoding for the native readers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "archive/decode_result.h"

namespace Arkova {

// DEFLATE expands at most 1032 times (258-byte matches in about 2 bits); a claimed size beyond that bound cannot
// be produced by the data, so nothing is allocated for it.
inline constexpr std::uint64_t kMaxDeflateExpansion = 1032;

// Inflates `input` into exactly `expectedSize` bytes. Ok only when the stream ends after exactly that many bytes;
// a stream that ends early, runs long, is damaged, or claims more than its data can produce is DecompressFailed.
// The output grows with the data actually produced, so a false size claim costs no memory.
DecodeResult InflateRaw(const std::uint8_t* input, std::size_t inputLength, std::uint64_t expectedSize,
                        std::vector<std::uint8_t>& output);

}  // namespace Arkova
