#include "fastzip/part_buffers.h"

#include <algorithm>

#include "fastzip/output_relay.h"

namespace Arkova::FastZip {

bool PartBuffers::Decode(DeflatePieces& pieces, std::uint64_t endBit, std::size_t left, OutputRelay& relay) {
    Buffer& buffer = buffers_[next_];
    if (!relay.Delivered(buffer.ticket)) return false;
    const std::size_t window = pieces.WindowLength(), before = pieces.Produced();
    const std::size_t most = std::max<std::size_t>(left + window, 1);
    for (;;) {
        const std::size_t wanted = std::min(capacity_, most);
        // One grown for a part far larger than the rest is made smaller again, so that three never hold much more
        // than three such parts.
        const bool fits = buffer.memory.Size() >= wanted && buffer.memory.Size() / 2 <= wanted;
        if (!fits && !buffer.memory.Allocate(wanted)) return false;
        // Never more than the entry has left: a part that would go past its stated size is a failed part, which the
        // decode in one call judges.
        const std::size_t room = std::min(buffer.memory.Size(), most);
        const DeflatePieces::Outcome outcome = pieces.DecodeNextInto(endBit, buffer.memory.Data(), room);
        if (outcome == DeflatePieces::Outcome::Decoded) break;
        if (outcome == DeflatePieces::Outcome::Failed || room >= most) return false;
        capacity_ = std::min(most, 4 * room);
    }
    largest_ = std::max(largest_, window + pieces.Produced() - before);
    capacity_ = std::max(expected_, largest_ + largest_ / 2);
    return true;
}

void PartBuffers::Published(std::uint64_t ticket) {
    buffers_[next_].ticket = ticket;
    next_ = (next_ + 1) % buffers_.size();
}

}  // namespace Arkova::FastZip
