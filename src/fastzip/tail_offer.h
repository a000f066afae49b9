// The tail of one large deflate stream that its filler decodes part by part from the front (DeflatePieces), offered
// through the stream's relay to the worker that helps deliver the parts, once that helper has caught up. It starts
// at a block start halfway through what the filler has not reached yet and decodes from there on its own processor:
// without the window before it (WindowlessInflater) until its output holds 32 KiB free of markers, then with
// libdeflate. The filler stops at the tail's start, and its own last 32 KiB resolve the tail's markers. A tail that
// goes wrong (a start found by chance inside a block, markers that never fade, damaged data) is handed back: the
// filler decodes on from the tail's start itself. The entry's CRC-32 still checks the whole. The tail's bytes past
// its window-free start need nothing from the filler: given a place function, the helper hands them to it (to be
// written at their offset in the entry) and takes their CRC-32 straight away, so that only the short start is left
// for the filler to deliver after its own output.
//
// Who touches which bytes of the compressed data: the filler reads and patches only up to its part's end (a few
// bytes past it), and searches for the next end with the offer locked; a helper takes the tail with the offer locked,
// well past that end, and from then on the filler's parts stop at the tail's start. The helper writes its lead-in
// (DeflatePieces) only a window's length past the tail's start; what it overwrote is put back when the tail is not
// used.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/memory.h"

struct libdeflate_decompressor;

namespace Arkova::FastZip {

class MemoryBudget;
class WindowlessInflater;

class TailOffer {
public:
    // Writes bytes at their offset in the entry's output, on the helper's thread, while the filler writes what lies
    // before them; false when that failed.
    using Place = std::function<bool(std::uint64_t offset, const std::uint8_t* data, std::size_t length)>;

    // A tail is taken only while at least `minimumTail` compressed bytes lie past the filler's part, and while
    // `budget` (when given) holds the most output the tail can have; `searchLength` bounds the search for its start,
    // made with the offer locked. `place` may be empty.
    TailOffer(std::uint8_t* input, std::size_t inputLength, std::size_t outputSize, std::size_t minimumTail,
              std::size_t searchLength, MemoryBudget* budget, Place place = nullptr);
    // A helper still decoding is stopped and waited for.
    ~TailOffer();
    TailOffer(const TailOffer&) = delete;
    TailOffer& operator=(const TailOffer&) = delete;

    // The end of the filler's next part, whose output will follow the `produced` bytes before it: the first block
    // start in [fromBit, toBit) (none searched for when fromBit is not below toBit), not past the tail's start; else
    // the tail's start, or DeflatePieces::kToTheEnd when no helper took the tail, which closes the offer.
    std::uint64_t NextEnd(std::uint64_t fromBit, std::uint64_t toBit, std::size_t produced);
    // The filler stops short of the tail (a stop, a failed part): a helper decoding it stops at its next block.
    void Abandon();
    std::optional<std::uint64_t> TailStart();
    // Once the filler's parts reach the tail's start: waits for the helper. True when the tail came out as
    // `length` bytes, with its markers resolved by `window`, the kDeflateWindow bytes before it: Output()[0, length).
    // Otherwise (also without a window) the compressed data is as it was, for the filler to decode on.
    bool Join(const std::uint8_t* window, std::size_t length);
    const std::uint8_t* Output() const { return bytes_.Data(); }
    // After a Join that came out: Output()[SettledFrom(), length) went to the place function already (none without
    // one), and its CRC-32 is SettledCrc().
    std::size_t SettledFrom() const { return settledFrom_; }
    std::uint32_t SettledCrc() const { return settledCrc_; }

private:
    friend class OutputRelay;

    // True when the tail may still be worth taking and no helper has it: the caller is then its helper, and must
    // call Help.
    bool Claim();
    // The helper's part: takes the tail when it is still worth taking, and decodes it. A tail not taken then (the
    // budget cannot hold it yet, no block start was found) is offered again with the filler's next part.
    void Help(libdeflate_decompressor* decompressor);
    bool WorthTaking() const;
    bool Decode(WindowlessInflater& inflater, std::uint64_t start, libdeflate_decompressor* decompressor);
    bool DecodeRest(std::uint64_t bit, std::size_t marked, libdeflate_decompressor* decompressor);
    void Settle();

    std::uint8_t* const input_;
    const std::size_t inputLength_;
    const std::size_t outputSize_;
    const std::size_t minimumTail_;
    const std::size_t searchLength_;
    MemoryBudget* const budget_;
    const Place place_;

    std::mutex lock_;
    std::condition_variable changed_;
    std::uint64_t partEnd_ = 0;      // the end of the filler's part being decoded
    std::size_t producedBefore_ = 0;  // the filler's output before that part
    std::optional<std::uint64_t> triedAt_;  // the filler's part when a tail was last looked for
    bool closed_ = false;
    bool abandoned_ = false;  // the filler has gone: a helper stops
    bool helped_ = false;     // a helper claimed the offer and has not returned
    std::optional<std::uint64_t> tailStart_;
    bool tailDecoded_ = false;
    std::size_t capacity_ = 0;  // the most output the tail may have, held in the budget while the offer lives

    // Written by the helper alone while it decodes.
    Platform::LargeBuffer values_;  // the windowless decode's 16-bit values
    std::size_t valueCount_ = 0;
    Platform::LargeBuffer bytes_;
    std::size_t length_ = 0;
    std::vector<std::uint8_t> saved_;  // what libdeflate's lead-in overwrote, from savedFrom_ on
    std::size_t savedFrom_ = 0;
    std::size_t plainFrom_ = 0;  // where bytes_ holds bytes that no marker can be among
    std::size_t settledFrom_ = 0;
    std::uint32_t settledCrc_ = 0;
};

}  // namespace Arkova::FastZip
