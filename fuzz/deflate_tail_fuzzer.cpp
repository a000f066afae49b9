// Feeds arbitrary bytes as raw deflate to the decoders of a stream's parts and tail: the block-start search, the
// windowless inflater from the stream's start and from every block start found, marker resolution, and the parts
// decoded through libdeflate. None may crash, hang, or read or write outside its buffers; and a stream the inflater
// decodes whole, libdeflate decodes to the same bytes.
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

    // The parts, in a copy of their own, as the streamer makes them: each lead-in needs room in front.
    std::vector<std::uint8_t> copy(data, data + size);
    DeflatePieces pieces(decompressor, copy.data(), copy.size(), bytes.data(), bytes.size());
    bool ok = true;
    for (std::uint64_t start : starts) {
        if (start >= DeflatePieces::kFirstStartBit && ok) ok = pieces.DecodeNext(start);
    }
    if (ok) pieces.DecodeNext(DeflatePieces::kToTheEnd);
    libdeflate_free_decompressor(decompressor);
    return 0;
}
