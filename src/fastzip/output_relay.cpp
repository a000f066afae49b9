#include "fastzip/output_relay.h"

#include <algorithm>

#include "fastzip/tail_offer.h"

namespace Arkova::FastZip {

OutputRelay::OutputRelay(Deliver deliver, RelayBoard* board, TailOffer* tail)
    : deliver_(std::move(deliver)), board_(board), tail_(tail) {
    if (board_ != nullptr) board_->Post(*this);
}

OutputRelay::~OutputRelay() {
    // Without a Finish (an exception in the filler): nothing more is delivered, and a helper is let go first, also
    // from the tail.
    if (board_ != nullptr) board_->Remove(*this);
    if (tail_ != nullptr) tail_->Abandon();
    std::unique_lock<std::mutex> guard(lock_);
    finished_ = true;
    stopped_ = true;
    changed_.notify_all();
    changed_.wait(guard, [this] { return !helped_; });
}

std::uint64_t OutputRelay::Publish(const std::uint8_t* data, std::size_t length) {
    std::lock_guard<std::mutex> guard(lock_);
    if (length == 0) return published_;
    stretches_.push_back({data, published_, published_ + length});
    published_ += length;
    changed_.notify_all();
    return published_;
}

bool OutputRelay::Delivered(std::uint64_t ticket) {
    std::unique_lock<std::mutex> guard(lock_);
    for (;;) {
        if (stopped_) return false;
        if (delivered_ >= ticket) return true;
        if (CanDeliver()) {
            DeliverNext(guard);
        } else {
            changed_.wait(guard);
        }
    }
}

bool OutputRelay::DeliverWhileFree(std::uint64_t ticket) {
    std::unique_lock<std::mutex> guard(lock_);
    while (delivered_ < ticket && CanDeliver()) DeliverNext(guard);
    return !stopped_;
}

bool OutputRelay::Stopped() {
    std::lock_guard<std::mutex> guard(lock_);
    return stopped_;
}

bool OutputRelay::Finish() {
    if (board_ != nullptr) board_->Remove(*this);
    std::unique_lock<std::mutex> guard(lock_);
    finished_ = true;
    changed_.notify_all();
    for (;;) {
        if (CanDeliver()) {
            DeliverNext(guard);
            continue;
        }
        if (!delivering_ && !helped_ && (stopped_ || published_ == delivered_)) return !stopped_;
        changed_.wait(guard);
    }
}

void OutputRelay::Help(libdeflate_decompressor* decompressor) {
    std::unique_lock<std::mutex> guard(lock_);
    while (!finished_) {
        if (CanDeliver()) {
            DeliverNext(guard);
            continue;
        }
        if (stopped_) break;
        // Caught up: what is left to deliver comes no faster than the filler decodes, unless this helper decodes
        // a share of it too.
        if (decompressor != nullptr && tail_ != nullptr && tail_->Claim()) {
            guard.unlock();
            tail_->Help(decompressor);
            guard.lock();
            continue;
        }
        changed_.wait(guard);
    }
    helped_ = false;
    changed_.notify_all();
}

void OutputRelay::DeliverNext(std::unique_lock<std::mutex>& guard) {
    const Stretch stretch = stretches_.front();
    const std::uint64_t from = delivered_, to = std::min(stretch.end, from + kStretch);
    const std::uint8_t* data = stretch.data + (from - stretch.begin);
    delivering_ = true;
    guard.unlock();
    bool ok = false;
    try {
        ok = deliver_(data, static_cast<std::size_t>(to - from));
    } catch (...) {
        ok = false;
    }
    guard.lock();
    delivering_ = false;
    delivered_ = to;
    if (to == stretch.end) stretches_.pop_front();
    if (!ok) stopped_ = true;
    changed_.notify_all();
}

void RelayBoard::Post(OutputRelay& relay) {
    std::lock_guard<std::mutex> guard(lock_);
    posted_.push_back(&relay);
}

void RelayBoard::Remove(OutputRelay& relay) {
    std::lock_guard<std::mutex> guard(lock_);
    posted_.erase(std::remove(posted_.begin(), posted_.end(), &relay), posted_.end());
}

void RelayBoard::HelpPosted(const std::atomic<bool>& cancel, libdeflate_decompressor* decompressor) {
    while (!cancel) {
        OutputRelay* relay = nullptr;
        {
            std::lock_guard<std::mutex> guard(lock_);
            if (posted_.empty()) return;
            relay = posted_.front();
            posted_.pop_front();
            // Marked while the board is locked: a filler that takes its relay off the board afterwards waits for
            // this helper.
            std::lock_guard<std::mutex> relayGuard(relay->lock_);
            relay->helped_ = true;
        }
        relay->Help(decompressor);
    }
}

}  // namespace Arkova::FastZip
