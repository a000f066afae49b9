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
        if (buffer.memory.Size() < wanted && !buffer.memory.Allocate(wanted)) return false;
        const DeflatePieces::Outcome outcome =
            pieces.DecodeNextInto(endBit, buffer.memory.Data(), buffer.memory.Size());
        if (outcome == DeflatePieces::Outcome::Decoded) break;
        if (outcome == DeflatePieces::Outcome::Failed || buffer.memory.Size() >= most) return false;
        capacity_ = std::min(most, 4 * buffer.memory.Size());
    }
    const std::size_t used = window + pieces.Produced() - before;
    capacity_ = std::max(capacity_, used + used / 2);
    return true;
}

void PartBuffers::Published(std::uint64_t ticket) {
    buffers_[next_].ticket = ticket;
    next_ = (next_ + 1) % buffers_.size();
}

}  // namespace Arkova::FastZip
