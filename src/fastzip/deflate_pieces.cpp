#include "fastzip/deflate_pieces.h"

#include <libdeflate.h>

#include <algorithm>
#include <array>
#include <cstring>

#include "fastzip/windowless_inflater.h"

namespace Arkova::FastZip {

namespace {

// The whole check of a dynamic block header at `bit`, past the quick one.
bool DynamicHeaderAt(const std::uint8_t* data, std::size_t length, std::uint64_t bit) {
    DeflateBits bits(data, length, bit);
    if (bits.Take(3) != 4) return false;  // not the last block, type 2
    PrefixCode literals, distances;
    return ReadDynamicCodes(bits, literals, distances) && !bits.PastTheEnd();
}

// 64 bits from byte `index` on, zeros past the end.
std::uint64_t Load64(const std::uint8_t* data, std::size_t length, std::size_t index) {
    std::uint64_t value = 0;
    if (index + 8 <= length) {
        std::memcpy(&value, data + index, 8);
    } else if (index < length) {
        std::uint8_t bytes[8] = {};
        std::memcpy(bytes, data + index, length - index);
        std::memcpy(&value, bytes, 8);
    }
    return value;  // little-endian hosts only, as every target is
}

// The code space (of 128) that four 3-bit code-length-code lengths take.
const std::array<std::uint16_t, 4096> kPrecodeSpace = [] {
    std::array<std::uint16_t, 4096> table{};
    for (unsigned bits = 0; bits < 4096; ++bits) {
        for (unsigned i = 0; i < 4; ++i) {
            unsigned length = (bits >> (3 * i)) & 7;
            if (length != 0) table[bits] = static_cast<std::uint16_t>(table[bits] + (128u >> length));
        }
    }
    return table;
}();

// The quick check of the 17 header bits in `header` and the code-length code lengths in `lengths`: not the last
// block, dynamic, counts within limits, and a complete code-length code.
bool HeaderLooksRight(std::uint64_t header, std::uint64_t lengths) {
    if ((header & 7) != 4 || ((header >> 3) & 31) > 29 || ((header >> 8) & 31) > 29) return false;
    unsigned count = static_cast<unsigned>((header >> 13) & 15) + 4;
    lengths &= (std::uint64_t{1} << (3 * count)) - 1;
    unsigned space = kPrecodeSpace[lengths & 0xfff] + kPrecodeSpace[(lengths >> 12) & 0xfff] +
                     kPrecodeSpace[(lengths >> 24) & 0xfff] + kPrecodeSpace[(lengths >> 36) & 0xfff] +
                     kPrecodeSpace[(lengths >> 48) & 0xfff];
    return space == 128;
}

constexpr unsigned kEmptyBlockBits = 10;  // header (3 bits) and the fixed code's end-of-block symbol (7 zero bits)

void ClearBits(std::uint8_t* data, std::uint64_t from, std::uint64_t count) {
    for (std::uint64_t bit = from; bit < from + count; ++bit) {
        data[bit >> 3] &= static_cast<std::uint8_t>(~(1u << (bit & 7)));
    }
}

void SetBit(std::uint8_t* data, std::uint64_t bit) { data[bit >> 3] |= static_cast<std::uint8_t>(1u << (bit & 7)); }

}  // namespace

std::optional<std::uint64_t> FindBlockStart(const std::uint8_t* data, std::size_t length, std::uint64_t fromBit,
                                            std::uint64_t toBit) {
    toBit = std::min<std::uint64_t>(toBit, static_cast<std::uint64_t>(length) * 8);
    // Six bytes at a time, every even bit of them tested at once for the first 13 header bits; the few positions
    // left get the code-length check, then the whole one.
    constexpr std::uint64_t kEvenBits = 0x0000555555555555;  // the 24 even positions of the 48 bits stepped over
    for (std::size_t index = static_cast<std::size_t>(fromBit >> 3); static_cast<std::uint64_t>(index) * 8 < toBit;
         index += 6) {
        const std::uint64_t word = Load64(data, length, index);
        std::uint64_t candidates = ~word & ~(word >> 1) & (word >> 2);              // not the last block, type 2
        candidates &= ~((word >> 4) & (word >> 5) & (word >> 6) & (word >> 7));     // 5 bits of HLIT at most 29
        candidates &= ~((word >> 9) & (word >> 10) & (word >> 11) & (word >> 12));  // 5 bits of HDIST at most 29
        candidates &= kEvenBits;
        while (candidates != 0) {
            const auto shift = static_cast<unsigned>(__builtin_ctzll(candidates));
            candidates &= candidates - 1;
            const std::uint64_t bit = static_cast<std::uint64_t>(index) * 8 + shift;
            if (bit < fromBit) continue;
            if (bit >= toBit) return std::nullopt;
            // The code-length code lengths start 17 bits in: at most 57 bits from the byte holding bit 17 + shift.
            const std::size_t lengthsByte = index + (17 + shift) / 8;
            const std::uint64_t lengths = Load64(data, length, lengthsByte) >> ((17 + shift) % 8);
            if (HeaderLooksRight(word >> shift, lengths) && DynamicHeaderAt(data, length, bit)) return bit;
        }
    }
    return std::nullopt;
}

bool DeflatePieces::WriteLeadIn(std::uint64_t startBit) {
    // Empty fixed blocks of 10 bits each bring the start to an even bit of its byte.
    const std::size_t startByte = static_cast<std::size_t>(startBit >> 3);
    const unsigned shift = static_cast<unsigned>(startBit & 7), emptyBlocks = shift / 2;
    if (shift % 2 != 0 || startBit < kFirstStartBit) return false;
    const std::size_t emptyFrom = startByte - emptyBlocks;
    ClearBits(data_, static_cast<std::uint64_t>(emptyFrom) * 8, emptyBlocks * kEmptyBlockBits);
    for (unsigned i = 0; i < emptyBlocks; ++i) SetBit(data_, emptyFrom * 8 + i * kEmptyBlockBits + 1);  // type 01
    // Before them, the window as a stored block: a byte of header, the length and its complement, the bytes.
    const auto window = static_cast<std::uint16_t>(WindowLength());
    std::uint8_t* block = data_ + emptyFrom - 5 - window;
    const std::uint16_t complement = static_cast<std::uint16_t>(~window);
    block[0] = 0;
    block[1] = static_cast<std::uint8_t>(window);
    block[2] = static_cast<std::uint8_t>(window >> 8);
    block[3] = static_cast<std::uint8_t>(complement);
    block[4] = static_cast<std::uint8_t>(complement >> 8);
    std::memcpy(block + 5, outputEnd_ - window, window);
    return true;
}

DeflatePieces::Outcome DeflatePieces::DecodeNextInto(std::uint64_t endBit, std::uint8_t* output,
                                                     std::size_t capacity) {
    const std::size_t window = WindowLength();
    if (nextBit_ != 0 && !WriteLeadIn(nextBit_)) return Outcome::Failed;
    const std::size_t inFrom =
        nextBit_ == 0 ? 0 : static_cast<std::size_t>(nextBit_ >> 3) - (nextBit_ & 7) / 2 - 5 - window;
    std::size_t inEnd = length_;
    std::array<std::uint8_t, 3> saved{};
    std::size_t savedFrom = 0;
    if (endBit != kToTheEnd) {
        // The piece ends in an empty final block over the next piece's first bits.
        if (endBit <= nextBit_ || endBit + kEmptyBlockBits > static_cast<std::uint64_t>(length_) * 8) {
            return Outcome::Failed;
        }
        savedFrom = static_cast<std::size_t>(endBit >> 3);
        inEnd = static_cast<std::size_t>((endBit + kEmptyBlockBits + 7) >> 3);
        std::memcpy(saved.data(), data_ + savedFrom, inEnd - savedFrom);
        ClearBits(data_, endBit, kEmptyBlockBits);
        SetBit(data_, endBit);      // the last block
        SetBit(data_, endBit + 1);  // type 01, fixed code
    }
    std::size_t consumed = 0, written = 0;
    libdeflate_result result = libdeflate_deflate_decompress_ex(decompressor_, data_ + inFrom, inEnd - inFrom, output,
                                                                capacity, &consumed, &written);
    if (endBit != kToTheEnd) std::memcpy(data_ + savedFrom, saved.data(), inEnd - savedFrom);
    if (result == LIBDEFLATE_INSUFFICIENT_SPACE) return Outcome::NoRoom;
    if (result != LIBDEFLATE_SUCCESS || written < window) return Outcome::Failed;
    if (endBit != kToTheEnd && consumed != inEnd - inFrom) return Outcome::Failed;
    produced_ += written - window;
    outputEnd_ = output + written;
    nextBit_ = endBit;
    return Outcome::Decoded;
}

}  // namespace Arkova::FastZip
