// What travels from the reader through a worker to the writer: one or more file entries whose compressed bytes
// share one input buffer and whose results share one output buffer. Small files travel many to a task, so the
// stages hand work to each other per buffer rather than per file. Move-only; the stage holding it owns its buffers.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "fastzip/zip_entry.h"

namespace Arkova::FastZip {

enum class BufferKind : std::uint8_t {
    Pooled,    // both buffers came from the pools; may hold many files
    Unpooled,  // exact-size allocations for one large file, counted against the engine's budget
    Streamed,  // too large to hold whole: the writer reads and inflates it piece by piece, no buffers travel
};

// One file of a task. `entry` has its data offset, sizes and method from the local header; it is not changed while
// the task travels.
struct TaskPiece {
    const ZipEntry* entry = nullptr;
    std::uint64_t inputOffset = 0;   // where its compressed bytes start in `input`
    std::uint64_t outputOffset = 0;  // where its result starts in `output`; its length is the uncompressed size
};

struct ExtractTask {
    std::uint32_t sequence = 0;  // 0, 1, 2, ... in the order the reader made tasks (directory order)
    std::vector<TaskPiece> pieces;
    std::uint8_t* input = nullptr;
    std::uint64_t inputLength = 0;     // bytes of `input` in use
    std::uint8_t* output = nullptr;
    std::uint64_t outputCapacity = 0;  // bytes of `output` in use: the sum of the uncompressed sizes
    BufferKind kind = BufferKind::Pooled;
    std::unique_ptr<std::uint8_t[]> ownInput;  // set for unpooled tasks
    std::unique_ptr<std::uint8_t[]> ownOutput;
    std::uint64_t chargedInput = 0;  // bytes of each unpooled buffer counted against the budget
    std::uint64_t chargedOutput = 0;
};

}  // namespace Arkova::FastZip
