#include "archive/raw_inflate.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <new>

namespace Arkova {

namespace {

constexpr std::size_t kInitialOutput = 256 * 1024;
constexpr std::size_t kMaxChunk = UINT_MAX;

class InflateStream {
public:
    InflateStream() { ok_ = inflateInit2(&stream_, -MAX_WBITS) == Z_OK; }
    ~InflateStream() {
        if (ok_) inflateEnd(&stream_);
    }
    InflateStream(const InflateStream&) = delete;
    InflateStream& operator=(const InflateStream&) = delete;
    bool ok() const { return ok_; }
    z_stream& get() { return stream_; }

private:
    z_stream stream_{};
    bool ok_ = false;
};

}  // namespace

DecodeResult InflateRaw(const std::uint8_t* input, std::size_t inputLength, std::uint64_t expectedSize,
                        std::vector<std::uint8_t>& output) {
    if (expectedSize > static_cast<std::uint64_t>(inputLength) * kMaxDeflateExpansion + 64) {
        return DecodeResult::DecompressFailed;
    }
    InflateStream inflater;
    if (!inflater.ok()) return DecodeResult::DecompressFailed;
    z_stream& z = inflater.get();
    const std::size_t total = static_cast<std::size_t>(expectedSize);
    try {
        output.clear();
        output.resize(std::min(total, std::max(kInitialOutput, inputLength * std::size_t{4})));
        std::size_t produced = 0;
        std::size_t consumed = 0;
        // One spare byte past the expected size tells a stream that runs long from one that ends exactly.
        unsigned char spare = 0;
        for (;;) {
            if (produced == output.size() && output.size() < total) {
                output.resize(std::min(total, output.size() * 2));
            }
            bool full = produced == total;
            std::size_t room = full ? 1 : std::min(output.size() - produced, kMaxChunk);
            std::size_t feed = std::min(inputLength - consumed, kMaxChunk);
            z.next_in = const_cast<Bytef*>(input + consumed);
            z.avail_in = static_cast<uInt>(feed);
            z.next_out = full ? &spare : output.data() + produced;
            z.avail_out = static_cast<uInt>(room);
            int status = inflate(&z, Z_NO_FLUSH);
            consumed += feed - z.avail_in;
            std::size_t wrote = room - z.avail_out;
            if (full && wrote > 0) return DecodeResult::DecompressFailed;
            produced += full ? 0 : wrote;
            if (status == Z_STREAM_END) {
                return produced == total ? DecodeResult::Ok : DecodeResult::DecompressFailed;
            }
            if (status != Z_OK) return DecodeResult::DecompressFailed;
            if (wrote == 0 && feed - z.avail_in == 0) return DecodeResult::DecompressFailed;  // input exhausted
        }
    } catch (const std::bad_alloc&) {
        output.clear();
        return DecodeResult::DecompressFailed;
    }
}

}  // namespace Arkova
