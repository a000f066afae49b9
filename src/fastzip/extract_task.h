// One file entry travelling from the reader through a worker to the writer. Move-only; the stage holding it owns
// its buffers.
#pragma once

#include <cstdint>
#include <memory>

#include "fastzip/zip_entry.h"

namespace Arkova::FastZip {

enum class BufferKind : std::uint8_t {
    Pooled,    // both buffers came from the pools
    Unpooled,  // exact-size allocations, counted against the engine's budget for large entries
    Streamed,  // too large to hold whole: the writer reads and inflates it piece by piece, no buffers travel
};

struct ExtractTask {
    std::uint32_t sequence = 0;         // 0, 1, 2, ... in directory order of the file entries
    const ZipEntry* entry = nullptr;    // name, target path, CRC, time; unchanged while the task travels
    std::uint64_t dataOffset = 0;
    std::uint8_t* input = nullptr;
    std::uint64_t inputLength = 0;
    std::uint8_t* output = nullptr;
    std::uint64_t outputCapacity = 0;  // the entry's uncompressed size
    std::uint64_t outputLength = 0;
    std::uint16_t method = 0;
    BufferKind kind = BufferKind::Pooled;
    std::unique_ptr<std::uint8_t[]> ownInput;  // set for unpooled tasks
    std::unique_ptr<std::uint8_t[]> ownOutput;
    std::uint64_t chargedInput = 0;  // bytes of each unpooled buffer counted against the budget
    std::uint64_t chargedOutput = 0;
};

}  // namespace Arkova::FastZip
