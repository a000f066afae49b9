// One raw deflate stream decoded in pieces by libdeflate, which only decodes whole streams, so that what one piece
// produced can be checked and written on another processor while the next is decoded. A piece runs from one block
// start to the next. It is fed to libdeflate as a stream of its own, made in place in the compressed data (which
// must be the caller's own copy): a stored block holding the 32 KiB of output before the piece (the window its
// references may reach into), up to three empty blocks that bring the piece's first bit to its place in the byte,
// the piece's own bits, and an empty final block written over the next piece's first bits (put back afterwards).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

struct libdeflate_decompressor;

namespace Arkova::FastZip {

// The first bit position in [fromBit, toBit), even, where a dynamic-Huffman block that is not the last one could
// start: its header, code-length code and both codes are complete and within limits. Only a likely start: such bits
// may also occur inside a block, so a piece that begins there must still decode and its result be checked.
std::optional<std::uint64_t> FindBlockStart(const std::uint8_t* data, std::size_t length, std::uint64_t fromBit,
                                            std::uint64_t toBit);

class DeflatePieces {
public:
    // A piece must begin this far into the data, to leave room for the window block and the empty blocks before it.
    static constexpr std::uint64_t kFirstStartBit = (32768 + 16) * 8;
    // The output a piece rewrites at its front (the window): the caller may hand on only what lies before it.
    static constexpr std::size_t kRewrittenOutput = 32768;
    static constexpr std::uint64_t kToTheEnd = UINT64_MAX;

    DeflatePieces(libdeflate_decompressor* decompressor, std::uint8_t* data, std::size_t length, std::uint8_t* output,
                  std::size_t capacity)
        : decompressor_(decompressor), data_(data), length_(length), output_(output), capacity_(capacity) {}

    // Decodes the next piece: from where the last one ended (bit 0 at first) to `endBit`, a later block start at an
    // even position, or to the final block. False when the bits do not decode that way (damaged data, a start found
    // by chance inside a block, or more output than the capacity); the data is left patched then.
    bool DecodeNext(std::uint64_t endBit);
    // Goes on from a block start at `bit` (at least kFirstStartBit, even), with `produced` bytes of output already in
    // front: the next piece takes the last 32 KiB of them as its window.
    void ResumeAt(std::uint64_t bit, std::size_t produced) {
        nextBit_ = bit;
        produced_ = produced;
    }
    // The output of every piece so far.
    std::size_t Produced() const { return produced_; }

private:
    bool WriteLeadIn(std::uint64_t startBit);

    libdeflate_decompressor* const decompressor_;
    std::uint8_t* const data_;
    const std::size_t length_;
    std::uint8_t* const output_;
    const std::size_t capacity_;
    std::uint64_t nextBit_ = 0;
    std::size_t produced_ = 0;
};

}  // namespace Arkova::FastZip
