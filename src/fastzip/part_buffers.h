// The buffers that a large entry's parts are decoded into in turn, while the parts before them are delivered through
// the entry's relay: a buffer is used again once its part has been delivered, so that the entry's output never takes
// memory of the entry's size, and what the helper writes out was decoded moments before. A part that does not fit its
// buffer is decoded again into one four times as large (at most what the entry has left), and later parts get room for
// half as much again as the largest so far.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "fastzip/deflate_pieces.h"
#include "platform/memory.h"

namespace Arkova::FastZip {

class OutputRelay;

class PartBuffers {
public:
    // Parts are expected to give about `expected` bytes each.
    explicit PartBuffers(std::size_t expected)
        : expected_(expected + DeflatePieces::kRewrittenOutput), capacity_(expected_) {}

    // Decodes the next piece of `pieces`, up to `endBit`, into the next buffer, once `relay` has delivered what that
    // buffer held; `left` is the most output the entry may still have. False when the relay stopped, memory ran out,
    // or the piece did not decode, also with room for all that is left.
    bool Decode(DeflatePieces& pieces, std::uint64_t endBit, std::size_t left, OutputRelay& relay);
    // The relay's ticket for the part just decoded: its buffer is used again once that is delivered.
    void Published(std::uint64_t ticket);
    // The ticket of the part before the one just decoded (0 when none).
    std::uint64_t PreviousTicket() const { return buffers_[(next_ + buffers_.size() - 2) % buffers_.size()].ticket; }

private:
    struct Buffer {
        Platform::LargeBuffer memory;
        std::uint64_t ticket = 0;
    };

    // One part being decoded, one being delivered, one waiting: the decode never waits for a single delivery.
    std::array<Buffer, 3> buffers_;
    std::size_t next_ = 0;
    const std::size_t expected_;
    std::size_t largest_ = 0;  // the most a part has taken, its window included
    std::size_t capacity_;     // what the next buffer gets
};

}  // namespace Arkova::FastZip
