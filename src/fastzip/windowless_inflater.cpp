#include "fastzip/windowless_inflater.h"

#include <algorithm>
#include <array>

namespace Arkova::FastZip {

DeflateBits::DeflateBits(const std::uint8_t* data, std::size_t length, std::uint64_t bit)
    : data_(data), end_(data + length), next_(data + std::min<std::uint64_t>(bit >> 3, length)) {
    Refill();
    Drop(static_cast<unsigned>(bit & 7));
}

void DeflateBits::RefillAtTheEnd() {
    while (count_ <= 56) {
        std::uint64_t byte = 0;
        if (next_ < end_) {
            byte = *next_++;
        } else {
            ++overrun_;
        }
        buffer_ |= byte << count_;
        count_ += 8;
    }
}

bool PrefixCode::Build(const std::uint8_t* lengths, unsigned count, bool incompleteAllowed) {
    std::fill(std::begin(count_), std::end(count_), std::uint16_t{0});
    std::fill(std::begin(fast_), std::end(fast_), std::uint16_t{0});
    used_ = 0;
    for (unsigned i = 0; i < count; ++i) ++count_[lengths[i]];
    count_[0] = 0;
    int left = 1;
    for (unsigned length = 1; length <= kMaxBits; ++length) {
        left = left * 2 - count_[length];
        if (left < 0) return false;
    }
    if (left > 0 && !incompleteAllowed) return false;

    std::array<std::uint16_t, kMaxBits + 2> offset{}, next{};
    for (unsigned length = 1; length <= kMaxBits; ++length) {
        offset[length + 1] = static_cast<std::uint16_t>(offset[length] + count_[length]);
        next[length] = static_cast<std::uint16_t>((next[length - 1] + count_[length - 1]) << 1);
    }
    for (unsigned symbol = 0; symbol < count; ++symbol) {
        const unsigned length = lengths[symbol];
        if (length == 0) continue;
        ++used_;
        sorted_[offset[length]++] = static_cast<std::uint16_t>(symbol);
        const unsigned code = next[length]++;
        if (length > kFastBits) continue;
        unsigned reversed = 0;
        for (unsigned i = 0; i < length; ++i) reversed |= ((code >> i) & 1u) << (length - 1 - i);
        for (unsigned i = reversed; i < (1u << kFastBits); i += 1u << length) {
            fast_[i] = static_cast<std::uint16_t>(symbol << 4 | length);
        }
    }
    return true;
}

int PrefixCode::Decode(DeflateBits& bits) const {
    const std::uint16_t entry = fast_[bits.Peek(kFastBits)];
    if (entry != 0) {
        bits.Drop(entry & 15u);
        return entry >> 4;
    }
    // A longer code, walked in the code's own order: most significant bit first, which deflate sends first.
    const std::uint32_t peeked = bits.Peek(kMaxBits);
    unsigned code = 0, first = 0, index = 0;
    for (unsigned length = 1; length <= kMaxBits; ++length) {
        code |= (peeked >> (length - 1)) & 1u;
        if (code < first + count_[length]) {
            bits.Drop(length);
            return sorted_[index + code - first];
        }
        index += count_[length];
        first = (first + count_[length]) << 1;
        code <<= 1;
    }
    return -1;
}

namespace {

constexpr std::array<std::uint8_t, 19> kCodeLengthOrder = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                           11, 4,  12, 3, 13, 2, 14, 1, 15};

constexpr std::array<std::uint16_t, 29> kLengthBase = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                                       31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<std::uint8_t, 29> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                       2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<std::uint16_t, 30> kDistanceBase = {1,    2,    3,    4,    5,    7,     9,     13,    17,  25,
                                                         33,   49,   65,   97,   129,  193,   257,   385,   513, 769,
                                                         1025, 1537, 2049, 3073, 4097, 6145,  8193,  12289, 16385,
                                                         24577};
constexpr std::array<std::uint8_t, 30> kDistanceExtra = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                                         6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

struct FixedCodes {
    PrefixCode literals, distances;
    FixedCodes() {
        std::array<std::uint8_t, 288> lengths{};
        std::fill(lengths.begin(), lengths.begin() + 144, std::uint8_t{8});
        std::fill(lengths.begin() + 144, lengths.begin() + 256, std::uint8_t{9});
        std::fill(lengths.begin() + 256, lengths.begin() + 280, std::uint8_t{7});
        std::fill(lengths.begin() + 280, lengths.end(), std::uint8_t{8});
        literals.Build(lengths.data(), 288, false);
        lengths.fill(5);
        distances.Build(lengths.data(), 32, false);
    }
};

const FixedCodes& Fixed() {
    static const FixedCodes codes;
    return codes;
}

}  // namespace

bool ReadDynamicCodes(DeflateBits& bits, PrefixCode& literals, PrefixCode& distances) {
    bits.Refill();
    const unsigned literalCount = bits.Take(5) + 257, distanceCount = bits.Take(5) + 1;
    const unsigned codeLengthCount = bits.Take(4) + 4;
    if (literalCount > 286 || distanceCount > 30) return false;
    std::array<std::uint8_t, 19> codeLengthLengths{};
    for (unsigned i = 0; i < codeLengthCount; ++i) {
        bits.Refill();
        codeLengthLengths[kCodeLengthOrder[i]] = static_cast<std::uint8_t>(bits.Take(3));
    }
    PrefixCode codeLengths;
    if (!codeLengths.Build(codeLengthLengths.data(), 19, false)) return false;

    const unsigned total = literalCount + distanceCount;
    std::array<std::uint8_t, 320> lengths{};
    for (unsigned i = 0; i < total;) {
        bits.Refill();
        const int symbol = codeLengths.Decode(bits);
        if (symbol < 0) return false;
        if (symbol < 16) {
            lengths[i++] = static_cast<std::uint8_t>(symbol);
            continue;
        }
        std::uint8_t repeated = 0;
        unsigned repeat = 0;
        if (symbol == 16) {
            if (i == 0) return false;
            repeated = lengths[i - 1];
            repeat = 3 + bits.Take(2);
        } else {
            repeat = symbol == 17 ? 3 + bits.Take(3) : 11 + bits.Take(7);
        }
        if (i + repeat > total) return false;
        std::fill(lengths.begin() + i, lengths.begin() + i + repeat, repeated);
        i += repeat;
    }
    if (lengths[256] == 0) return false;  // a block without an end
    const std::uint8_t* distanceLengths = lengths.data() + literalCount;
    const std::uint8_t* const distanceEnd = distanceLengths + distanceCount;
    const auto distanceCodes = std::count_if(distanceLengths, distanceEnd, [](std::uint8_t length) { return length; });
    // The one incomplete distance code deflate allows: none at all, or a single code of one bit.
    const bool lone = distanceCodes == 0 ||
                      (distanceCodes == 1 && *std::max_element(distanceLengths, distanceEnd) == 1);
    return literals.Build(lengths.data(), literalCount, false) && distances.Build(distanceLengths, distanceCount, lone);
}

WindowlessInflater::WindowlessInflater(const std::uint8_t* data, std::size_t length, std::uint64_t bit,
                                       std::uint16_t* output, std::size_t capacity)
    : bits_(data, length, bit), output_(output), capacity_(capacity) {}

WindowlessInflater::Block WindowlessInflater::DecodeNext() {
    bits_.Refill();
    const bool last = bits_.Take(1) != 0;
    bool ok = false;
    switch (bits_.Take(2)) {
    case 0:
        ok = Stored();
        break;
    case 1:
        ok = Coded(Fixed().literals, Fixed().distances);
        break;
    case 2:
        ok = ReadDynamicCodes(bits_, literals_, distances_) && Coded(literals_, distances_);
        break;
    default:
        break;
    }
    if (!ok || bits_.PastTheEnd()) return Block::Failed;
    return last ? Block::Last : Block::Decoded;
}

bool WindowlessInflater::Stored() {
    bits_.SkipToByte();
    bits_.Refill();
    const std::uint32_t length = bits_.Take(16), complement = bits_.Take(16);
    if (length != (~complement & 0xffffu) || length > capacity_ - produced_) return false;
    for (std::uint32_t i = 0; i < length; ++i) {
        bits_.Refill();
        output_[produced_++] = static_cast<std::uint16_t>(bits_.Take(8));
    }
    return true;
}

bool WindowlessInflater::Coded(const PrefixCode& literals, const PrefixCode& distances) {
    for (;;) {
        // One refill covers the longest literal-or-length code, its extra bits, and the distance with its own.
        bits_.Refill();
        int symbol = literals.Decode(bits_);
        if (symbol < 256) {
            if (symbol < 0 || produced_ == capacity_) return false;
            output_[produced_++] = static_cast<std::uint16_t>(symbol);
            continue;
        }
        if (symbol == 256) return true;
        symbol -= 257;
        if (symbol >= 29) return false;
        const std::size_t length = kLengthBase[symbol] + bits_.Take(kLengthExtra[symbol]);
        const int code = distances.Decode(bits_);
        if (code < 0 || code >= 30) return false;
        const std::size_t distance = kDistanceBase[code] + bits_.Take(kDistanceExtra[code]);
        // Past the end only zeros come, and they may decode without end: the check bounds that.
        if (!Copy(length, distance) || bits_.PastTheEnd()) return false;
    }
}

bool WindowlessInflater::Copy(std::size_t length, std::size_t distance) {
    if (distance > produced_ + kDeflateWindow || length > capacity_ - produced_) return false;
    std::uint16_t* out = output_ + produced_;
    std::size_t i = 0;
    if (distance > produced_) {
        // The first values come from the window: each gets the marker of its window byte.
        const std::size_t fromWindow = std::min(length, distance - produced_);
        const auto marker = static_cast<std::uint16_t>(kFirstMarker + kDeflateWindow + produced_ - distance);
        for (; i < fromWindow; ++i) out[i] = static_cast<std::uint16_t>(marker + i);
        markedEnd_ = produced_ + fromWindow;
    }
    for (; i < length; ++i) {
        const std::uint16_t value = output_[produced_ + i - distance];  // may be one this copy wrote
        out[i] = value;
        if (value >= kFirstMarker) markedEnd_ = produced_ + i + 1;
    }
    produced_ += length;
    return true;
}

void ResolveMarkers(const std::uint16_t* values, std::size_t count, const std::uint8_t* window, std::uint8_t* bytes) {
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint16_t value = values[i];
        bytes[i] = value < kFirstMarker ? static_cast<std::uint8_t>(value) : window[value - kFirstMarker];
    }
}

}  // namespace Arkova::FastZip
