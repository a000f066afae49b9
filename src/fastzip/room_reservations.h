// Room for the files of large entries that workers are still decoding whole, reserved by workers that have nothing
// left to decode. Most of a write into new room is the file system finding that room (on tmpfs, 99 MB: a plain write
// 45 ms; a reservation 28 ms, then the write 20 ms), so an owner whose room was reserved meanwhile has less left to do
// after its decode. A reservation is only a hint: an owner whose decode ends before anyone took its offer withdraws
// it and writes without.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>

#include "platform/file.h"

namespace Arkova::FastZip {

class RoomReservations {
public:
    // Lives on the stack of the worker that decodes the file; withdrawn at the latest when it goes.
    class Offer {
    public:
        Offer(RoomReservations& reservations, Platform::OutputFile& file, std::uint64_t size);
        ~Offer() { Withdraw(); }
        Offer(const Offer&) = delete;
        Offer& operator=(const Offer&) = delete;

        // Returns once no other worker uses the file: at once when nobody took the offer, else once its room is
        // reserved.
        void Withdraw();

    private:
        friend class RoomReservations;
        enum class State { Open, Taken, Closed };

        RoomReservations& reservations_;
        Platform::OutputFile& file_;
        const std::uint64_t size_;
        State state_ = State::Open;
    };

    // Takes the open offers one at a time, oldest first, and reserves their room, until none is open or `cancel`
    // is set.
    void ReserveOffered(const std::atomic<bool>& cancel);

private:
    std::mutex lock_;
    std::condition_variable reserved_;
    std::deque<Offer*> open_;
};

}  // namespace Arkova::FastZip
