#include "fastzip/room_reservations.h"

#include <algorithm>

namespace Arkova::FastZip {

RoomReservations::Offer::Offer(RoomReservations& reservations, Platform::OutputFile& file, std::uint64_t size)
    : reservations_(reservations), file_(file), size_(size) {
    std::lock_guard<std::mutex> guard(reservations_.lock_);
    reservations_.open_.push_back(this);
}

void RoomReservations::Offer::Withdraw() {
    std::unique_lock<std::mutex> guard(reservations_.lock_);
    if (state_ == State::Open) {
        auto& open = reservations_.open_;
        open.erase(std::find(open.begin(), open.end(), this));
        state_ = State::Closed;
        return;
    }
    reservations_.reserved_.wait(guard, [this] { return state_ == State::Closed; });
}

void RoomReservations::ReserveOffered(const std::atomic<bool>& cancel) {
    std::unique_lock<std::mutex> guard(lock_);
    while (!cancel && !open_.empty()) {
        Offer* offer = open_.front();
        open_.pop_front();
        offer->state_ = Offer::State::Taken;
        guard.unlock();
        offer->file_.Reserve(offer->size_);
        guard.lock();
        offer->state_ = Offer::State::Closed;
        reserved_.notify_all();
    }
}

}  // namespace Arkova::FastZip
