#include "fastzip/tail_offer.h"

#include <libdeflate.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "fastzip/deflate_pieces.h"
#include "fastzip/memory_budget.h"
#include "fastzip/windowless_inflater.h"

namespace Arkova::FastZip {

namespace {

// The windowless decode's output is bounded: markers that have not faded by then are not going to soon.
constexpr std::size_t kMostValues = std::size_t{8} << 20;
// How far past the tail's start libdeflate may take over: its lead-in, written in front of its first bit, must stay
// clear of the bytes the filler still reads around that start (a block header it checks may reach that far).
constexpr std::uint64_t kHandOverDistance = (kDeflateWindow + 1024) * 8;

}  // namespace

TailOffer::TailOffer(std::uint8_t* input, std::size_t inputLength, std::size_t outputSize, std::size_t minimumTail,
                     std::size_t searchLength, MemoryBudget* budget, Place place)
    : input_(input),
      inputLength_(inputLength),
      outputSize_(outputSize),
      minimumTail_(minimumTail),
      searchLength_(searchLength),
      budget_(budget),
      place_(std::move(place)) {}

TailOffer::~TailOffer() {
    std::unique_lock<std::mutex> guard(lock_);
    closed_ = true;
    abandoned_ = true;
    changed_.wait(guard, [this] { return !helped_; });
    if (budget_ != nullptr && capacity_ > 0) budget_->Release(capacity_);
}

void TailOffer::Abandon() {
    std::lock_guard<std::mutex> guard(lock_);
    closed_ = true;
    abandoned_ = true;
}

std::uint64_t TailOffer::NextEnd(std::uint64_t fromBit, std::uint64_t toBit, std::size_t produced) {
    std::lock_guard<std::mutex> guard(lock_);
    producedBefore_ = produced;
    const std::uint64_t limit = tailStart_.value_or(DeflatePieces::kToTheEnd);
    std::optional<std::uint64_t> end;
    if (fromBit < toBit && fromBit < limit) end = FindBlockStart(input_, inputLength_, fromBit, std::min(toBit, limit));
    partEnd_ = end.value_or(limit);
    if (partEnd_ == DeflatePieces::kToTheEnd) closed_ = true;
    return partEnd_;
}

std::optional<std::uint64_t> TailOffer::TailStart() {
    std::lock_guard<std::mutex> guard(lock_);
    return tailStart_;
}

bool TailOffer::Join(const std::uint8_t* window, std::size_t length) {
    std::unique_lock<std::mutex> guard(lock_);
    changed_.wait(guard, [this] { return !helped_; });
    if (window == nullptr || !tailStart_ || !tailDecoded_ || length_ != length) {
        if (!saved_.empty()) std::memcpy(input_ + savedFrom_, saved_.data(), saved_.size());
        return false;
    }
    guard.unlock();
    ResolveMarkers(reinterpret_cast<const std::uint16_t*>(values_.Data()), valueCount_, window, bytes_.Data());
    values_.Free();
    return true;
}

bool TailOffer::WorthTaking() const {
    const std::uint64_t inputBits = static_cast<std::uint64_t>(inputLength_) * 8;
    return !closed_ && !tailStart_ && triedAt_ != partEnd_ && partEnd_ < inputBits &&
           inputBits - partEnd_ >= minimumTail_ * std::uint64_t{8};
}

bool TailOffer::Claim() {
    std::lock_guard<std::mutex> guard(lock_);
    if (helped_ || !WorthTaking()) return false;
    helped_ = true;
    return true;
}

void TailOffer::Help(libdeflate_decompressor* decompressor) {
    std::unique_lock<std::mutex> guard(lock_);
    std::optional<std::uint64_t> start;
    if (WorthTaking()) {
        // The tail's output is what the filler's part and the tail leave of the entry, at most.
        capacity_ = outputSize_ - producedBefore_;
        if (budget_ != nullptr && !budget_->TryReserve(capacity_)) capacity_ = 0;
        // Halfway through what is left: the filler and this helper then decode about as much each.
        const std::uint64_t inputBits = static_cast<std::uint64_t>(inputLength_) * 8;
        const std::uint64_t from = partEnd_ + (inputBits - partEnd_) / 2;
        if (capacity_ > 0) start = FindBlockStart(input_, inputLength_, from, from + searchLength_ * std::uint64_t{8});
    }
    triedAt_ = partEnd_;  // tried again, if at all, once the filler is on its next part
    bool decoded = false;
    const std::size_t values = std::min(capacity_, kMostValues);
    if (!start || !values_.Reserve(values * sizeof(std::uint16_t))) {
        if (budget_ != nullptr && capacity_ > 0) budget_->Release(capacity_);
        capacity_ = 0;
    } else {
        // Made with the offer locked: the inflater holds the tail's first bytes before the filler, which learns of
        // the tail from this lock, patches them at the end of its last part.
        WindowlessInflater inflater(input_, inputLength_, *start, reinterpret_cast<std::uint16_t*>(values_.Data()),
                                    values);
        tailStart_ = start;
        guard.unlock();
        try {
            decoded = Decode(inflater, *start, decompressor);
            if (decoded) Settle();
        } catch (...) {
            decoded = false;  // out of memory for the saved bytes
        }
        guard.lock();
    }
    tailDecoded_ = decoded;
    helped_ = false;
    changed_.notify_all();
}

bool TailOffer::Decode(WindowlessInflater& inflater, std::uint64_t start, libdeflate_decompressor* decompressor) {
    auto abandoned = [this] {
        std::lock_guard<std::mutex> guard(lock_);
        return abandoned_;
    };
    for (;;) {
        if (abandoned()) return false;
        const WindowlessInflater::Block block = inflater.DecodeNext();
        if (block == WindowlessInflater::Block::Failed) return false;
        if (block == WindowlessInflater::Block::Last) {
            valueCount_ = plainFrom_ = length_ = inflater.Produced();
            return bytes_.Allocate(length_);
        }
        const std::uint64_t bit = inflater.Bit();
        if (inflater.UnmarkedTail() >= kDeflateWindow && bit >= start + kHandOverDistance && bit % 2 == 0 &&
            bit / 8 < inputLength_) {
            return !abandoned() && DecodeRest(bit, inflater.Produced(), decompressor);
        }
    }
}

bool TailOffer::DecodeRest(std::uint64_t bit, std::size_t marked, libdeflate_decompressor* decompressor) {
    if (!bytes_.Reserve(capacity_)) return false;
    valueCount_ = marked;
    plainFrom_ = marked - kDeflateWindow;
    // The last 32 KiB of values hold no marker: they are the window libdeflate goes on with.
    const auto* values = reinterpret_cast<const std::uint16_t*>(values_.Data());
    std::transform(values + marked - kDeflateWindow, values + marked, bytes_.Data() + marked - kDeflateWindow,
                   [](std::uint16_t value) { return static_cast<std::uint8_t>(value); });
    // The lead-in overwrites the compressed bytes in front of `bit`: they are kept for a filler that decodes them
    // after all.
    savedFrom_ = static_cast<std::size_t>(bit / 8) - kDeflateWindow - 16;
    saved_.assign(input_ + savedFrom_, input_ + bit / 8 + 1);
    DeflatePieces pieces(decompressor, input_, inputLength_, bytes_.Data(), capacity_);
    pieces.ResumeAt(bit, marked);
    if (!pieces.DecodeNext(DeflatePieces::kToTheEnd)) return false;
    length_ = pieces.Produced();
    return true;
}

void TailOffer::Settle() {
    settledFrom_ = length_;
    // The CRC-32 is combined with the filler's through zlib, whose lengths are 32 bits wide on Windows.
    if (!place_ || plainFrom_ >= length_ || length_ - plainFrom_ > INT32_MAX) return;
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (abandoned_) return;  // the filler has gone: nothing of the tail is wanted
    }
    const std::uint8_t* from = bytes_.Data() + plainFrom_;
    const std::size_t length = length_ - plainFrom_;
    // The tail ends the entry, whatever the filler's output before it turns out to be; a tail that Join refuses
    // leaves the filler to write over these bytes (or the entry to be written again).
    if (!place_(outputSize_ - length_ + plainFrom_, from, length)) return;
    settledCrc_ = libdeflate_crc32(0, from, length);
    settledFrom_ = plainFrom_;
}

}  // namespace Arkova::FastZip
