// One raw deflate stream decoded in pieces by libdeflate, which only decodes whole streams, so that what one piece
// produced can be checked and written on another processor while the next is decoded. A piece runs from one block
// start to the next. It is fed to libdeflate as a stream of its own, made in place in the compressed data (which
// must be the caller's own copy): a stored block holding the 32 KiB of output before the piece (the window its
// references may reach into), up to three empty blocks that bring the piece's first bit to its place in the byte,
// the piece's own bits, and an empty final block written over the next piece's first bits (put back afterwards).
#pragma once

#include <algorithm>
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

    // Pieces decoded one after another into `output`, each over the window at the end of the one before.
    DeflatePieces(libdeflate_decompressor* decompressor, std::uint8_t* data, std::size_t length, std::uint8_t* output,
                  std::size_t capacity)
        : decompressor_(decompressor), data_(data), length_(length), output_(output), capacity_(capacity) {}
    // Pieces each decoded into a buffer of the caller's (DecodeNextInto).
    DeflatePieces(libdeflate_decompressor* decompressor, std::uint8_t* data, std::size_t length)
        : DeflatePieces(decompressor, data, length, nullptr, 0) {}

    enum class Outcome { Decoded, NoRoom, Failed };
    // Decodes the next piece: from where the last one ended (bit 0 at first) to `endBit`, a later block start at an
    // even position, or to the final block. Failed when the bits do not decode that way (damaged data, a start found
    // by chance inside a block) and NoRoom when the output does not fit; the data is left patched then, and the same
    // piece may be decoded again.
    bool DecodeNext(std::uint64_t endBit) {
        const std::size_t from = produced_ - WindowLength();
        return DecodeNextInto(endBit, output_ + from, capacity_ - from) == Outcome::Decoded;
    }
    // The same into `output`, which gets WindowLength() bytes of the window first, then the piece's own output. The
    // last piece's buffer must stay as it is until this is called: the window is taken from its end.
    Outcome DecodeNextInto(std::uint64_t endBit, std::uint8_t* output, std::size_t capacity);
    // What the next piece writes in front of its own output.
    std::size_t WindowLength() const { return nextBit_ == 0 ? 0 : std::min(produced_, kRewrittenOutput); }
    // Goes on from a block start at `bit` (at least kFirstStartBit, even), with `produced` bytes of output already in
    // front: the next piece takes the last 32 KiB of them as its window.
    void ResumeAt(std::uint64_t bit, std::size_t produced) {
        nextBit_ = bit;
        produced_ = produced;
        outputEnd_ = output_ + produced;
    }
    // The output of every piece so far.
    std::size_t Produced() const { return produced_; }
    // The end of the last piece's output, in its buffer, with at least WindowLength() bytes of output before it.
    const std::uint8_t* OutputEnd() const { return outputEnd_; }

private:
    bool WriteLeadIn(std::uint64_t startBit);

    libdeflate_decompressor* const decompressor_;
    std::uint8_t* const data_;
    const std::size_t length_;
    std::uint8_t* const output_;
    const std::size_t capacity_;
    std::uint64_t nextBit_ = 0;
    std::size_t produced_ = 0;
    const std::uint8_t* outputEnd_ = nullptr;
};

}  // namespace Arkova::FastZip
