#include "archive/block_codecs.h"

#include <bzlib.h>
#include <lzma.h>

#include <algorithm>
#include <climits>
#include <new>

namespace Arkova {

namespace {

constexpr std::size_t kInitialOutput = 256 * 1024;
constexpr std::size_t kMaxChunk = UINT_MAX;
constexpr std::uint64_t kMaxDictionary = 128u << 20;

// The output buffer of a decoder: grows by doubling up to the expected size, and offers one spare byte past it so
// that data running long is told from data that ends exactly.
class GrowingOutput {
public:
    GrowingOutput(std::vector<std::uint8_t>& output, std::uint64_t expected, std::size_t inputLength)
        : output_(output), total_(static_cast<std::size_t>(expected)) {
        output_.clear();
        output_.resize(std::min(total_, std::max(kInitialOutput, inputLength * std::size_t{4})));
    }
    // Where the next bytes go and how many fit.
    unsigned char* Next() { return Full() ? &spare_ : output_.data() + produced_; }
    std::size_t Room() {
        if (produced_ == output_.size() && output_.size() < total_) {
            output_.resize(std::min(total_, std::max(output_.size() * 2, kInitialOutput)));
        }
        return Full() ? 1 : std::min(output_.size() - produced_, kMaxChunk);
    }
    // False when bytes went past the expected size.
    bool Wrote(std::size_t count) {
        if (Full()) return count == 0;
        produced_ += count;
        return true;
    }
    bool Full() const { return produced_ == total_; }
    std::size_t Produced() const { return produced_; }

private:
    std::vector<std::uint8_t>& output_;
    std::size_t total_;
    std::size_t produced_ = 0;
    unsigned char spare_ = 0;
};

class Bzip2Stream {
public:
    Bzip2Stream() { ok_ = BZ2_bzDecompressInit(&stream_, 0, 0) == BZ_OK; }
    ~Bzip2Stream() {
        if (ok_) BZ2_bzDecompressEnd(&stream_);
    }
    Bzip2Stream(const Bzip2Stream&) = delete;
    Bzip2Stream& operator=(const Bzip2Stream&) = delete;
    bool ok() const { return ok_; }
    bz_stream& get() { return stream_; }

private:
    bz_stream stream_{};
    bool ok_ = false;
};

enum class Bzip2End { StreamEnd, DataError, InputExhausted, Overrun };

// Runs libbz2 over `input` into `out` until the stream ends, fails or the input is used up.
Bzip2End RunBzip2(const std::uint8_t* input, std::size_t length, GrowingOutput& out, std::size_t& consumed) {
    Bzip2Stream bz;
    consumed = 0;
    if (!bz.ok()) return Bzip2End::DataError;
    bz_stream& s = bz.get();
    for (;;) {
        std::size_t room = out.Room();
        std::size_t feed = std::min(length - consumed, kMaxChunk);
        s.next_in = reinterpret_cast<char*>(const_cast<std::uint8_t*>(input + consumed));
        s.avail_in = static_cast<unsigned>(feed);
        s.next_out = reinterpret_cast<char*>(out.Next());
        s.avail_out = static_cast<unsigned>(room);
        int status = BZ2_bzDecompress(&s);
        consumed += feed - s.avail_in;
        std::size_t wrote = room - s.avail_out;
        if (!out.Wrote(wrote)) return Bzip2End::Overrun;
        if (status == BZ_STREAM_END) return Bzip2End::StreamEnd;
        if (status != BZ_OK) return Bzip2End::DataError;
        if (wrote == 0 && feed - s.avail_in == 0) return Bzip2End::InputExhausted;
    }
}

// Reads and writes bit strings most significant bit first, as bzip2 packs them.
std::uint32_t BitsAt(const std::uint8_t* data, std::size_t lengthBits, std::size_t position, unsigned count) {
    std::uint32_t value = 0;
    for (unsigned i = 0; i < count; ++i) {
        std::size_t bit = position + i;
        unsigned b = bit < lengthBits ? (data[bit / 8] >> (7 - bit % 8)) & 1u : 0u;
        value = (value << 1) | b;
    }
    return value;
}

class BitWriter {
public:
    void Put(std::uint64_t value, unsigned count) {
        for (unsigned i = count; i > 0; --i) PutBit(static_cast<unsigned>(value >> (i - 1)) & 1u);
    }
    // Appends bits [from, to) of `data`.
    void Copy(const std::uint8_t* data, std::size_t from, std::size_t to) {
        while (from < to && bits_ % 8 != 0) PutBit((data[from / 8] >> (7 - from % 8)) & 1u), ++from;
        const unsigned shift = from % 8;
        while (to - from >= 8) {
            std::size_t at = from / 8;
            std::uint8_t byte =
                shift == 0 ? data[at] : static_cast<std::uint8_t>((data[at] << shift) | (data[at + 1] >> (8 - shift)));
            bytes_.push_back(byte);
            bits_ += 8;
            from += 8;
        }
        while (from < to) PutBit((data[from / 8] >> (7 - from % 8)) & 1u), ++from;
    }
    std::vector<std::uint8_t>& Bytes() { return bytes_; }

private:
    void PutBit(unsigned bit) {
        if (bits_ % 8 == 0) bytes_.push_back(0);
        if (bit) bytes_.back() |= static_cast<std::uint8_t>(0x80u >> (bits_ % 8));
        ++bits_;
    }
    std::vector<std::uint8_t> bytes_;
    std::size_t bits_ = 0;
};

constexpr std::uint32_t kAlzBlockStart = 0x444C5A01;  // "DLZ" 01
constexpr std::uint32_t kAlzStreamEnd = 0x444C5A02;   // "DLZ" 02
// What a one-block standard stream puts before the block's bits: "BZh9", the block magic, a block CRC and the
// randomisation bit.
constexpr unsigned kStandardPrefixBits = 32 + 48 + 32 + 1;
// libbz2 reads whole bytes into a bit buffer of which up to 27 bits may be left unread when a block ends.
constexpr std::size_t kReadAheadBits = 32;

}  // namespace

DecodeResult DecodeBzip2(const std::uint8_t* input, std::size_t inputLength, std::uint64_t expectedSize,
                         std::vector<std::uint8_t>& output) {
    try {
        GrowingOutput out(output, expectedSize, inputLength);
        std::size_t consumed = 0;
        Bzip2End end = RunBzip2(input, inputLength, out, consumed);
        return end == Bzip2End::StreamEnd && out.Full() ? DecodeResult::Ok : DecodeResult::DecompressFailed;
    } catch (const std::bad_alloc&) {
        output.clear();
        return DecodeResult::DecompressFailed;
    }
}

DecodeResult DecodeAlzBzip2(const std::uint8_t* input, std::size_t inputLength, std::uint64_t expectedSize,
                            std::vector<std::uint8_t>& output) {
    const std::size_t lengthBits = inputLength * 8;
    if (inputLength < 4 || BitsAt(input, lengthBits, 0, 32) != kAlzBlockStart) return DecodeResult::DecompressFailed;
    try {
        GrowingOutput out(output, expectedSize, inputLength);
        std::size_t position = 32;  // just after a block start
        for (;;) {
            BitWriter standard;
            standard.Put(0x425A6839, 32);      // "BZh9"
            standard.Put(0x314159265359, 48);  // block magic
            standard.Put(0, 32 + 1);           // block CRC (unknown), not randomised
            standard.Copy(input, position, lengthBits);
            std::vector<std::uint8_t>& bytes = standard.Bytes();
            std::size_t consumed = 0;
            // libbz2 writes the whole block before it compares the block CRC, which is unknown here: a data error
            // after the block's last byte is how a block ends.
            Bzip2End end = RunBzip2(bytes.data(), bytes.size(), out, consumed);
            if (end != Bzip2End::DataError) return DecodeResult::DecompressFailed;

            // The next header starts where libbz2 stopped reading, within the bits it had read ahead.
            const std::size_t readTo = consumed * 8;
            std::size_t next = SIZE_MAX;
            for (std::size_t at = readTo > kReadAheadBits ? readTo - kReadAheadBits : 0; at <= readTo; ++at) {
                if (at < kStandardPrefixBits) continue;
                std::size_t source = position + (at - kStandardPrefixBits);
                if (source + 32 > lengthBits) break;
                std::uint32_t marker = BitsAt(input, lengthBits, source, 32);
                if (marker == kAlzBlockStart || marker == kAlzStreamEnd) {
                    next = source;
                    break;
                }
            }
            if (next == SIZE_MAX) return DecodeResult::DecompressFailed;
            if (BitsAt(input, lengthBits, next, 32) == kAlzStreamEnd) {
                return out.Full() ? DecodeResult::Ok : DecodeResult::DecompressFailed;
            }
            position = next + 32;
        }
    } catch (const std::bad_alloc&) {
        output.clear();
        return DecodeResult::DecompressFailed;
    }
}

DecodeResult DecodeEggLzma(const std::uint8_t* input, std::size_t inputLength, std::uint64_t expectedSize,
                           std::vector<std::uint8_t>& output) {
    constexpr std::size_t kHeader = 4;
    if (inputLength < kHeader) return DecodeResult::DecompressFailed;
    const std::size_t propertiesLength = input[2] | (input[3] << 8);
    if (propertiesLength != 5 || inputLength < kHeader + propertiesLength) return DecodeResult::DecompressFailed;

    lzma_filter filters[2] = {{LZMA_FILTER_LZMA1, nullptr}, {LZMA_VLI_UNKNOWN, nullptr}};
    if (lzma_properties_decode(&filters[0], nullptr, input + kHeader, propertiesLength) != LZMA_OK) {
        return DecodeResult::DecompressFailed;
    }
    // The dictionary size is a claim of the archive, and liblzma allocates it at once. No match reaches further back
    // than the entry's own size, and dictionaries beyond kMaxDictionary are refused as damage by the distances
    // that would need them, so a hostile claim costs no memory.
    auto* options = static_cast<lzma_options_lzma*>(filters[0].options);
    const std::uint64_t needed = std::max<std::uint64_t>(std::min(expectedSize, kMaxDictionary), LZMA_DICT_SIZE_MIN);
    if (options->dict_size > needed) options->dict_size = static_cast<std::uint32_t>(needed);
    lzma_stream stream = LZMA_STREAM_INIT;
    lzma_ret started = lzma_raw_decoder(&stream, filters);
    free(filters[0].options);  // liblzma allocated it with malloc; the decoder keeps its own copy
    if (started != LZMA_OK) {
        lzma_end(&stream);
        return DecodeResult::DecompressFailed;
    }
    DecodeResult result = DecodeResult::DecompressFailed;
    try {
        GrowingOutput out(output, expectedSize, inputLength);
        const std::uint8_t* data = input + kHeader + propertiesLength;
        const std::size_t length = inputLength - kHeader - propertiesLength;
        std::size_t consumed = 0;
        for (;;) {
            std::size_t room = out.Room();
            stream.next_in = data + consumed;
            stream.avail_in = length - consumed;
            stream.next_out = out.Next();
            stream.avail_out = room;
            lzma_ret status = lzma_code(&stream, LZMA_RUN);
            consumed = length - stream.avail_in;
            std::size_t wrote = room - stream.avail_out;
            if (!out.Wrote(wrote)) break;
            if (status == LZMA_STREAM_END) {
                result = out.Full() ? DecodeResult::Ok : DecodeResult::DecompressFailed;
                break;
            }
            if (status != LZMA_OK) break;
            // Without an end marker the stream simply stops once every byte is there.
            if (wrote == 0 && stream.avail_in == 0) {
                if (out.Full()) result = DecodeResult::Ok;
                break;
            }
        }
    } catch (const std::bad_alloc&) {
        output.clear();
    }
    lzma_end(&stream);
    return result;
}

}  // namespace Arkova
