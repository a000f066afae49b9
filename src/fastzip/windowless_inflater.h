// Raw deflate decoded from a block start inside a stream, without the 32 KiB of output before that start, which the
// stream's references may reach into. Each output byte is a 16-bit value: the byte itself, or, where a reference
// copies from that unknown window, a marker naming the window byte. Once the window is known, ResolveMarkers turns
// the values into bytes. References into the window fade out as the data goes on; once the last 32 KiB of output
// hold no marker, that output is itself the window for the rest, which a faster decoder can take from there.
#pragma once

#include <cstddef>
#include <cstdint>

namespace Arkova::FastZip {

constexpr std::size_t kDeflateWindow = 32768;
// The value kFirstMarker + i stands for byte i of the window, 0 being the farthest back.
constexpr std::uint16_t kFirstMarker = 256;

// Bits taken least significant first, as deflate packs them, from a buffer of at least 57 bits. Past the data's
// end it reads zeros; Bit() then tells how far it went.
class DeflateBits {
public:
    DeflateBits(const std::uint8_t* data, std::size_t length, std::uint64_t bit);

    // At least 56 bits in the buffer afterwards.
    void Refill() {
        if (end_ - next_ >= 8) {
            std::uint64_t word;
            __builtin_memcpy(&word, next_, 8);  // little-endian hosts only, as every target is
            buffer_ |= word << count_;
            next_ += (63 - count_) >> 3;
            count_ |= 56;
        } else {
            RefillAtTheEnd();
        }
    }
    std::uint32_t Peek(unsigned count) const { return static_cast<std::uint32_t>(buffer_ & ((1ull << count) - 1)); }
    void Drop(unsigned count) {
        buffer_ >>= count;
        count_ -= count;
    }
    std::uint32_t Take(unsigned count) {
        std::uint32_t value = Peek(count);
        Drop(count);
        return value;
    }
    void SkipToByte() { Drop(count_ & 7); }
    std::uint64_t Bit() const { return (static_cast<std::uint64_t>(next_ - data_) + overrun_) * 8 - count_; }
    bool PastTheEnd() const { return Bit() > static_cast<std::uint64_t>(end_ - data_) * 8; }

private:
    void RefillAtTheEnd();

    const std::uint8_t* const data_;
    const std::uint8_t* const end_;
    const std::uint8_t* next_;
    std::uint64_t buffer_ = 0;
    unsigned count_ = 0;
    std::uint64_t overrun_ = 0;  // zero bytes read past the end
};

// A canonical prefix code: codes of up to kFastBits bits from one table lookup, longer ones walked bit by bit.
class PrefixCode {
public:
    // False for an oversubscribed code, or an incomplete one unless `incompleteAllowed`.
    bool Build(const std::uint8_t* lengths, unsigned count, bool incompleteAllowed);
    // The next symbol, or -1 for bits that are no code. The bits hold at least 15 bits.
    int Decode(DeflateBits& bits) const;
    unsigned Used() const { return used_; }

private:
    static constexpr unsigned kFastBits = 10;
    static constexpr unsigned kMaxBits = 15;

    std::uint16_t fast_[1u << kFastBits] = {};  // symbol << 4 | length; 0 for a longer code
    std::uint16_t count_[kMaxBits + 1] = {};
    std::uint16_t sorted_[320] = {};  // symbols by code
    unsigned used_ = 0;
};

// The codes of a dynamic block, read from its header after the three header bits. False where the header is not
// one: counts beyond limits, a code that is oversubscribed or incomplete (but for a distance code of one 1-bit symbol
// or none, as encoders write for literals alone), a repeat that runs over the end, or no end-of-block symbol.
bool ReadDynamicCodes(DeflateBits& bits, PrefixCode& literals, PrefixCode& distances);

class WindowlessInflater {
public:
    // The first block starts at `bit`; output goes to output[0, capacity).
    WindowlessInflater(const std::uint8_t* data, std::size_t length, std::uint64_t bit, std::uint16_t* output,
                       std::size_t capacity);

    enum class Block { Decoded, Last, Failed };
    // Decodes the next block. Failed for bits that are no deflate, a reference beyond the window, more output than
    // the capacity, or a block that runs past the data's end.
    Block DecodeNext();

    // Where the next block starts.
    std::uint64_t Bit() const { return bits_.Bit(); }
    std::size_t Produced() const { return produced_; }
    // How many values at the end of the output hold no marker.
    std::size_t UnmarkedTail() const { return produced_ - markedEnd_; }

private:
    bool Stored();
    bool Coded(const PrefixCode& literals, const PrefixCode& distances);
    bool Copy(std::size_t length, std::size_t distance);

    DeflateBits bits_;
    std::uint16_t* const output_;
    const std::size_t capacity_;
    std::size_t produced_ = 0;
    std::size_t markedEnd_ = 0;  // just past the last marker written
    PrefixCode literals_, distances_;
};

// The values as bytes, each marker replaced by the byte of `window` (kDeflateWindow bytes) that it names.
void ResolveMarkers(const std::uint16_t* values, std::size_t count, const std::uint8_t* window, std::uint8_t* bytes);

}  // namespace Arkova::FastZip
