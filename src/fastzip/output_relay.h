// Hands finished stretches of output, in order, to a function, while the next ones are still being decoded. The filler
// posts its relay on a board; a worker with nothing left to decode takes it and delivers each stretch as it is
// published, so that a large entry decoded in parts is checked and written on another processor during its decode.
// Whatever no helper is delivering, the filler delivers itself as it goes (DeliverWhileFree), when it needs a stretch's
// buffer again, and once it is done: a helper is never waited for unless it is delivering at that moment. A helper that
// has caught up with the filler may take the tail of its stream instead (TailOffer), when the filler offers one.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>

struct libdeflate_decompressor;

namespace Arkova::FastZip {

class RelayBoard;
class TailOffer;

class OutputRelay {
public:
    // Gets each stretch of output in order, in pieces of at most kStretch bytes; false stops the relay.
    using Deliver = std::function<bool(const std::uint8_t*, std::size_t)>;

    // Posted on `board` at once, when there is one. `tail` must outlive the relay.
    OutputRelay(Deliver deliver, RelayBoard* board, TailOffer* tail = nullptr);
    ~OutputRelay();
    OutputRelay(const OutputRelay&) = delete;
    OutputRelay& operator=(const OutputRelay&) = delete;

    // data[0, length) follows what was published before and stays as it is until Delivered(ticket), the ticket
    // returned.
    std::uint64_t Publish(const std::uint8_t* data, std::size_t length);
    // Waits until the stretches up to `ticket` have been delivered, delivering them itself where no helper is. False
    // when the function stopped the relay.
    bool Delivered(std::uint64_t ticket);
    // Delivers the stretches up to `ticket` that no helper is delivering, without waiting for one that is: a filler
    // whose helper is busy elsewhere keeps its output from piling up for the end. False when the relay stopped.
    bool DeliverWhileFree(std::uint64_t ticket);
    // True once the function returned false.
    bool Stopped();
    // After the last Publish: delivers what no helper has, waits for a helper still delivering, and takes the relay
    // off the board. False when the function stopped the relay.
    bool Finish();

private:
    friend class RelayBoard;

    // A helper's part: delivers stretches as they come, until the filler finishes or the relay stops. Once it has
    // caught up, it decodes the tail when that is still worth taking (only with a decompressor).
    void Help(libdeflate_decompressor* decompressor);
    // Delivers the next part of the first stretch, at most kStretch bytes, with the lock held on entry and on return.
    void DeliverNext(std::unique_lock<std::mutex>& guard);
    bool CanDeliver() const { return !stopped_ && !delivering_ && published_ > delivered_; }

    // Bounds one call of the function, so that a helper and the filler can hand over between stretches.
    static constexpr std::size_t kStretch = 4 << 20;

    struct Stretch {
        const std::uint8_t* data;
        std::uint64_t begin, end;  // where it lies in the relay's whole output
    };

    const Deliver deliver_;
    RelayBoard* const board_;
    TailOffer* const tail_;
    std::mutex lock_;
    std::condition_variable changed_;
    std::deque<Stretch> stretches_;  // published and not yet wholly delivered
    std::uint64_t published_ = 0;
    std::uint64_t delivered_ = 0;
    bool delivering_ = false;
    bool finished_ = false;
    bool stopped_ = false;
    bool helped_ = false;
};

// The relays that fillers posted and no helper has taken yet.
class RelayBoard {
public:
    // Helps the posted relays one at a time, oldest first, until none is posted or `cancel` is set; a helper with a
    // decompressor may decode their tails too.
    void HelpPosted(const std::atomic<bool>& cancel, libdeflate_decompressor* decompressor = nullptr);

private:
    friend class OutputRelay;

    void Post(OutputRelay& relay);
    void Remove(OutputRelay& relay);

    std::mutex lock_;
    std::deque<OutputRelay*> posted_;
};

}  // namespace Arkova::FastZip
