// Feeds arbitrary bytes as raw deflate to the decoders of a stream's parts and tail: the block-start search, the
// windowless inflater from the stream's start and from every block start found, marker resolution, and the parts
// decoded through libdeflate, in one buffer and each in a buffer of its own. None may crash, hang, or read or write
// outside its buffers; a stream the inflater decodes whole, libdeflate decodes to the same bytes; and parts decoded
// apart give the bytes they give in one buffer.
#include <libdeflate.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fastzip/deflate_pieces.h"
#include "fastzip/windowless_inflater.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace Arkova::FastZip;
    constexpr std::size_t kCapacity = 1 << 18;
    std::vector<std::uint16_t> values(kCapacity);
    std::vector<std::uint8_t> bytes(kCapacity), window(kDeflateWindow, 0x5A);
    std::vector<std::uint64_t> starts = {0};
    std::uint64_t from = 0;
    while (starts.size() < 8) {
        auto start = FindBlockStart(data, size, from, size * 8ull);
        if (!start) break;
        starts.push_back(*start);
        from = *start + 2;
    }
    libdeflate_decompressor* decompressor = libdeflate_alloc_decompressor();
    for (std::uint64_t start : starts) {
        WindowlessInflater inflater(data, size, start, values.data(), values.size());
        WindowlessInflater::Block block;
        while ((block = inflater.DecodeNext()) == WindowlessInflater::Block::Decoded) {
        }
        ResolveMarkers(values.data(), inflater.Produced(), window.data(), bytes.data());
        // A whole stream it decodes without reaching before its start, libdeflate must decode the same way.
        if (start == 0 && block == WindowlessInflater::Block::Last && inflater.UnmarkedTail() == inflater.Produced()) {
            std::vector<std::uint8_t> expected(kCapacity);
            std::size_t produced = 0;
            const bool decoded = libdeflate_deflate_decompress(decompressor, data, size, expected.data(),
                                                               expected.size(), &produced) == LIBDEFLATE_SUCCESS;
            const auto end = bytes.begin() + static_cast<std::ptrdiff_t>(inflater.Produced());
            if (!decoded || produced != inflater.Produced() || !std::equal(bytes.begin(), end, expected.begin())) {
                __builtin_trap();
            }
        }
    }

    // The parts, in a copy of their own, as the streamer makes them: each lead-in needs room in front. Once in one
    // buffer, once each into a small buffer of its own (too small at first, as a part may be), which must give the
    // same bytes.
    std::vector<std::uint8_t> copy(data, data + size), apart(data, data + size), joined;
    DeflatePieces pieces(decompressor, copy.data(), copy.size(), bytes.data(), bytes.size());
    DeflatePieces separate(decompressor, apart.data(), apart.size());
    std::vector<std::uint8_t> buffers[2];
    std::size_t turn = 0;
    bool ok = true, same = true;
    auto decodeBoth = [&](std::uint64_t end) {
        ok = pieces.DecodeNext(end);
        std::vector<std::uint8_t>& buffer = buffers[turn++ % 2];
        const std::size_t before = separate.Produced(), window = separate.WindowLength();
        DeflatePieces::Outcome outcome = DeflatePieces::Outcome::NoRoom;
        for (std::size_t room = window + 64; outcome == DeflatePieces::Outcome::NoRoom && room <= 4 * kCapacity;
             room *= 4) {
            buffer.resize(room);
            outcome = separate.DecodeNextInto(end, buffer.data(), buffer.size());
        }
        const bool decoded = outcome == DeflatePieces::Outcome::Decoded;
        if (decoded) {
            joined.insert(joined.end(), separate.OutputEnd() - (separate.Produced() - before), separate.OutputEnd());
        }
        // A part that fits the one buffer fits a buffer of its own, and comes out the same.
        if (ok && !decoded) same = false;
    };
    for (std::uint64_t start : starts) {
        if (start >= DeflatePieces::kFirstStartBit && ok) decodeBoth(start);
    }
    if (ok) decodeBoth(DeflatePieces::kToTheEnd);
    const bool equal = joined.size() == pieces.Produced() && std::equal(joined.begin(), joined.end(), bytes.begin());
    if (!same || (ok && !equal)) __builtin_trap();
    libdeflate_free_decompressor(decompressor);
    return 0;
}
