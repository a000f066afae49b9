// A deflate stream decoded in parts comes out exactly as decoded in one call, whichever encoder made it and wherever
// its blocks start in a byte; so does its tail decoded without the window before it, once the markers are resolved.
// A part that does not end where a block starts is refused, and a streamer whose parts (or tail) fail hands the
// entry over to the decode in one call, with its failure.
#include <gtest/gtest.h>
#include <libdeflate.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <random>
#include <set>
#include <thread>

#include "fastzip/deflate_pieces.h"
#include "fastzip/entry_streamer.h"
#include "fastzip/windowless_inflater.h"
#include "platform/text.h"
#include "support/alz_writer.h"
#include "support/scratch_folder.h"

namespace Arkova::FastZip {
namespace {

using Testing::Bytes;

// Text-like runs and random runs, so that encoders make blocks of every kind and size.
Bytes MixedBytes(std::size_t size) {
    std::mt19937 random(7);
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bool text = (i / 50000) % 3 != 2;
        bytes[i] = static_cast<std::uint8_t>(text ? 'a' + random() % 12 : random());
    }
    return bytes;
}

Bytes LibdeflateRaw(const Bytes& data, int level) {
    libdeflate_compressor* compressor = libdeflate_alloc_compressor(level);
    Bytes packed(libdeflate_deflate_compress_bound(compressor, data.size()));
    packed.resize(libdeflate_deflate_compress(compressor, data.data(), data.size(), packed.data(), packed.size()));
    libdeflate_free_compressor(compressor);
    return packed;
}

struct Decompressor {
    libdeflate_decompressor* handle = libdeflate_alloc_decompressor();
    ~Decompressor() { libdeflate_free_decompressor(handle); }
};

TEST(DeflatePiecesTest, PartsOfEveryEncodersStreamDecodeAsTheWholeStreamDoes) {
    const Bytes content = MixedBytes(3 << 20);
    const std::vector<std::pair<const char*, Bytes>> streams = {{"zlib 1", Testing::DeflateRaw(content, 1)},
                                                                {"zlib 6", Testing::DeflateRaw(content, 6)},
                                                                {"zlib 9", Testing::DeflateRaw(content, 9)},
                                                                {"libdeflate 6", LibdeflateRaw(content, 6)},
                                                                {"libdeflate 12", LibdeflateRaw(content, 12)}};
    Decompressor decompressor;
    std::set<unsigned> shifts;  // where in its byte each part began
    for (const auto& [encoder, packed] : streams) {
        SCOPED_TRACE(encoder);
        Bytes data = packed, output(content.size());
        DeflatePieces pieces(decompressor.handle, data.data(), data.size(), output.data(), output.size());
        // Every block start found is a part's end: parts of one block each, the most lead-ins there can be.
        std::uint64_t from = DeflatePieces::kFirstStartBit;
        unsigned parts = 0;
        while (auto end = FindBlockStart(data.data(), data.size(), from, data.size() * 8ull)) {
            ASSERT_TRUE(pieces.DecodeNext(*end)) << "part " << parts << " to bit " << *end;
            shifts.insert(static_cast<unsigned>(*end % 8));
            from = *end + 2;
            ++parts;
        }
        ASSERT_TRUE(pieces.DecodeNext(DeflatePieces::kToTheEnd));
        EXPECT_GT(parts, 10u);
        EXPECT_EQ(pieces.Produced(), content.size());
        EXPECT_TRUE(output == content);
    }
    EXPECT_EQ(shifts, (std::set<unsigned>{0, 2, 4, 6}));
}

TEST(DeflatePiecesTest, ATailDecodedWithoutItsWindowResolvesToTheStreamsOwnOutput) {
    const Bytes content = MixedBytes(3 << 20);
    Decompressor decompressor;
    bool marked = false;  // some tail started in a text run, which reaches back into the window
    for (int level : {1, 6, 9}) {
        SCOPED_TRACE(level);
        Bytes packed = Testing::DeflateRaw(content, level), output(content.size());
        auto start = FindBlockStart(packed.data(), packed.size(), packed.size() * 4ull, packed.size() * 8ull);
        ASSERT_TRUE(start.has_value());
        // Where the tail's output begins, from the front decoded up to its start.
        DeflatePieces front(decompressor.handle, packed.data(), packed.size(), output.data(), output.size());
        ASSERT_TRUE(front.DecodeNext(*start));
        const std::size_t offset = front.Produced();

        std::vector<std::uint16_t> values(content.size() - offset);
        WindowlessInflater inflater(packed.data(), packed.size(), *start, values.data(), values.size());
        WindowlessInflater::Block block;
        std::size_t blocks = 0, markedUntil = 0;
        while ((block = inflater.DecodeNext()) == WindowlessInflater::Block::Decoded) {
            ++blocks;
            if (inflater.UnmarkedTail() < kDeflateWindow) markedUntil = inflater.Produced();
        }
        ASSERT_EQ(block, WindowlessInflater::Block::Last);
        ASSERT_EQ(inflater.Produced(), values.size());
        EXPECT_GT(blocks, 3u);
        // References into the window stop well before the end.
        marked |= std::any_of(values.begin(), values.end(), [](std::uint16_t v) { return v >= kFirstMarker; });
        EXPECT_LT(markedUntil, values.size() / 2);

        Bytes tail(values.size());
        ResolveMarkers(values.data(), values.size(), content.data() + offset - kDeflateWindow, tail.data());
        EXPECT_TRUE(std::equal(tail.begin(), tail.end(), content.begin() + static_cast<std::ptrdiff_t>(offset)));
        // Too little room fails instead of writing on.
        WindowlessInflater cramped(packed.data(), packed.size(), *start, values.data(), 1000);
        EXPECT_EQ(cramped.DecodeNext(), WindowlessInflater::Block::Failed);
    }
    EXPECT_TRUE(marked);
}

// Bits as deflate packs them: values least significant bit first, prefix codes most significant bit first.
struct BitWriter {
    Bytes bytes;
    std::size_t bit = 0;
    void Put(unsigned value, unsigned count) {
        for (unsigned i = 0; i < count; ++i, ++bit) {
            if (bit % 8 == 0) bytes.push_back(0);
            bytes.back() = static_cast<std::uint8_t>(bytes.back() | ((value >> i) & 1u) << (bit % 8));
        }
    }
    void PutCode(unsigned code, unsigned length) {
        for (unsigned i = length; i-- > 0;) Put(code >> i, 1);
    }
};

// A last dynamic block of "aaaa" whose distance code is one symbol of `distanceLength` bits.
Bytes BlockWithOneDistanceCode(unsigned distanceLength) {
    BitWriter out;
    out.Put(1, 1);   // the last block
    out.Put(2, 2);   // dynamic
    out.Put(0, 5);   // 257 literal and length codes
    out.Put(0, 5);   // one distance code
    out.Put(14, 4);  // 18 code-length code lengths, up to the one for length 1
    // Lengths 0, 1, 2 and the long zero run (18) get 2-bit codes 00, 01, 10, 11; the order is deflate's.
    for (unsigned symbol : {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1}) {
        out.Put(symbol == 0 || symbol == 1 || symbol == 2 || symbol == 18 ? 2 : 0, 3);
    }
    auto zeros = [&](unsigned count) {
        out.PutCode(3, 2);
        out.Put(count - 11, 7);
    };
    zeros(97);           // up to 'a'
    out.PutCode(1, 2);   // 'a': 1 bit
    zeros(138);          // up to the end-of-block symbol
    zeros(20);
    out.PutCode(1, 2);   // end of block: 1 bit
    out.PutCode(distanceLength, 2);
    for (int i = 0; i < 4; ++i) out.PutCode(0, 1);  // 'a'
    out.PutCode(1, 1);                               // end of block
    return out.bytes;
}

TEST(DeflatePiecesTest, ALoneDistanceCodeMustBeOneBitAsForEveryOtherDecoder) {
    Decompressor decompressor;
    for (unsigned length : {1u, 2u}) {
        SCOPED_TRACE(length);
        const Bytes block = BlockWithOneDistanceCode(length);
        std::uint16_t values[8] = {};
        WindowlessInflater inflater(block.data(), block.size(), 0, values, 8);
        std::uint8_t bytes[8] = {};
        std::size_t produced = 0;
        const bool valid = libdeflate_deflate_decompress(decompressor.handle, block.data(), block.size(), bytes, 8,
                                                         &produced) == LIBDEFLATE_SUCCESS;
        EXPECT_EQ(valid, length == 1);
        EXPECT_EQ(inflater.DecodeNext(), valid ? WindowlessInflater::Block::Last : WindowlessInflater::Block::Failed);
        if (valid) {
            EXPECT_EQ(Bytes(values, values + inflater.Produced()), Bytes(bytes, bytes + produced));
        }
    }
}

TEST(DeflatePiecesTest, APartThatDoesNotEndWhereABlockStartsIsRefused) {
    const Bytes content = MixedBytes(1 << 20);
    const Bytes packed = Testing::DeflateRaw(content, 6);
    auto start = FindBlockStart(packed.data(), packed.size(), DeflatePieces::kFirstStartBit, packed.size() * 8ull);
    ASSERT_TRUE(start.has_value());
    Decompressor decompressor;
    for (std::uint64_t end : {*start - 2, *start + 2, *start + 4, *start + 6, *start + 1}) {
        Bytes data = packed, output(content.size());
        DeflatePieces pieces(decompressor.handle, data.data(), data.size(), output.data(), output.size());
        EXPECT_FALSE(pieces.DecodeNext(end)) << end - *start;
    }
}

// An entry streamed from a file that holds its raw stream alone, with a worker helping deliver the parts.
class PartsStreamerTest : public ::testing::Test {
protected:
    struct Outcome {
        bool ok = false;
        std::wstring failure;
        EntryStreamer::Failure last = EntryStreamer::Failure::None;
        Bytes delivered;
        std::size_t placed = 0;
        unsigned restarts = 0;
    };

    // `statedSize` 0: the content's own size. Without `helper`, the streamer's own thread delivers every part.
    Outcome Stream(const Bytes& packed, std::uint32_t crc, bool inParts, std::size_t refuseAfter = SIZE_MAX,
                   std::uint64_t statedSize = 0, bool helper = true) {
        Outcome outcome;
        EXPECT_TRUE(Testing::WriteBytes(scratch_ / L"stream", packed));
        ZipFileReader reader;
        EXPECT_TRUE(reader.Open(scratch_ / L"stream"));
        ZipEntry entry;
        entry.name = L"big.bin";
        entry.method = kMethodDeflate;
        entry.compressedSize = packed.size();
        entry.uncompressedSize = statedSize != 0 ? statedSize : content_.size();
        entry.crc32 = crc;
        RelayBoard board;
        EntryStreamer streamer(reader, 16 << 10, &board);  // parts of 64 KiB or more
        EXPECT_TRUE(streamer.DecodesInParts(entry));
        std::atomic<bool> done{false}, cancel{false};
        // The helper decodes the stream's tail too, as it has caught up at once.
        Decompressor decompressor, helperDecompressor;
        std::thread helperThread([&] {
            while (helper && !done) {
                board.HelpPosted(cancel, helperDecompressor.handle);
                std::this_thread::yield();
            }
        });
        // The tail's end is placed from the helper's thread; the sink is then told to move past it.
        Bytes placed(static_cast<std::size_t>(entry.uncompressedSize));
        std::mutex placedLock;
        auto place = [&](std::uint64_t offset, const std::uint8_t* data, std::size_t length) {
            std::lock_guard<std::mutex> guard(placedLock);
            if (offset > placed.size() || length > placed.size() - offset) return false;
            std::copy(data, data + length, placed.begin() + static_cast<std::ptrdiff_t>(offset));
            outcome.placed += length;
            return true;
        };
        auto sink = [&](const std::uint8_t* data, std::size_t length) {
            if (data == nullptr) {
                std::lock_guard<std::mutex> guard(placedLock);
                const std::size_t at = outcome.delivered.size();
                if (at > placed.size() || length > placed.size() - at) return false;
                data = placed.data() + at;
            }
            outcome.delivered.insert(outcome.delivered.end(), data, data + length);
            return outcome.delivered.size() < refuseAfter;
        };
        auto restart = [&] {
            ++outcome.restarts;
            outcome.delivered.clear();
            return true;
        };
        outcome.ok = streamer.RunWhole(entry, decompressor.handle, sink,
                                       inParts ? EntryStreamer::Restart(restart) : nullptr, place, outcome.failure);
        outcome.last = streamer.LastFailure();
        done = true;
        helperThread.join();
        return outcome;
    }

    Testing::ScratchFolder scratch_;
    void Use(Bytes content) {
        content_ = std::move(content);
        packed_ = Testing::DeflateRaw(content_, 6);
        crc_ = libdeflate_crc32(0, content_.data(), content_.size());
    }

    Bytes content_ = MixedBytes(4 << 20);  // parts long enough to hold a block start each
    Bytes packed_ = Testing::DeflateRaw(content_, 6);
    std::uint32_t crc_ = libdeflate_crc32(0, content_.data(), content_.size());
};

TEST_F(PartsStreamerTest, AGoodEntryIsDeliveredOnceAndInOrder) {
    // Whether the helper is in time for the tail depends on the scheduler: a few tries show that it places its end.
    bool placed = false;
    for (int attempt = 0; attempt < 4 && !placed; ++attempt) {
        Outcome outcome = Stream(packed_, crc_, true);
        EXPECT_TRUE(outcome.ok) << Platform::WideToUtf8(outcome.failure);
        EXPECT_EQ(outcome.restarts, 0u);
        EXPECT_TRUE(outcome.delivered == content_);
        placed = outcome.placed > 0;
    }
    EXPECT_TRUE(placed);
}

TEST_F(PartsStreamerTest, APartFarLongerThanExpectedGetsTheRoomItNeeds) {
    // A run of zeros packs a thousandfold: its part outgrows the buffers sized for the rest, more than once.
    Bytes content = MixedBytes(2 << 20);
    content.resize(content.size() + (24 << 20), 0);
    const Bytes end = MixedBytes(2 << 20);
    content.insert(content.end(), end.begin(), end.end());
    Use(std::move(content));
    Outcome outcome = Stream(packed_, crc_, true);
    EXPECT_TRUE(outcome.ok) << Platform::WideToUtf8(outcome.failure);
    EXPECT_EQ(outcome.restarts, 0u);
    EXPECT_TRUE(outcome.delivered == content_);
}

TEST_F(PartsStreamerTest, AFailedPartLeavesTheVerdictToTheDecodeInOneCall) {
    Bytes damaged = packed_;
    for (std::size_t i = damaged.size() * 3 / 4; i < damaged.size() * 3 / 4 + 64; ++i) damaged[i] ^= 0x5A;
    // Also a stated size a byte short, with no helper (so no tail): the last part must not go past it.
    struct Case {
        const Bytes& packed;
        std::uint32_t crc;
        std::uint64_t statedSize;
        bool helper;
    };
    const Case cases[] = {{damaged, crc_, 0, true}, {packed_, crc_ ^ 1, 0, true},
                          {packed_, crc_, content_.size() - 1, false}};
    for (const auto& [packed, crc, statedSize, helper] : cases) {
        Outcome inParts = Stream(packed, crc, true, SIZE_MAX, statedSize, helper);
        Outcome inOneCall = Stream(packed, crc, false, SIZE_MAX, statedSize, helper);
        EXPECT_FALSE(inParts.ok);
        EXPECT_EQ(inParts.restarts, 1u);
        EXPECT_EQ(inParts.failure, inOneCall.failure);
        EXPECT_EQ(inParts.last, inOneCall.last);
        EXPECT_FALSE(inParts.failure.empty());
    }
}

TEST_F(PartsStreamerTest, ASinkThatStopsEndsTheEntryWithoutARestart) {
    Outcome outcome = Stream(packed_, crc_, true, 300 << 10);
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.restarts, 0u);
    EXPECT_TRUE(outcome.failure.empty());
}

}  // namespace
}  // namespace Arkova::FastZip
