// What travels from the reader through a worker to the writer: one or more file entries whose compressed bytes
// share one input buffer and whose results share one output buffer. Small files travel many to a task, so the
// stages hand work to each other per buffer rather than per file. Move-only; the stage holding it owns its buffers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "fastzip/zip_entry.h"

namespace Arkova::FastZip {

enum class BufferKind : std::uint8_t {
    Pooled,    // both buffers came from the pools; may hold many files
    Streamed,  // one large file, no buffers travel: a worker streams it into a partial file the writer renames
};

// One file of a task. `entry` has its data offset, sizes and method from the local header; it is not changed while
// the task travels, except that the writer drops its target path once the file is in place.
struct TaskPiece {
    ZipEntry* entry = nullptr;
    std::uint64_t inputOffset = 0;   // where its compressed bytes start in `input`
    std::uint64_t outputOffset = 0;  // where its result starts in `output`; its length is the uncompressed size
    unsigned writer = 0;             // which writer thread puts it in place
};

struct ExtractTask {
    // The place of its first entry in the run's list: every writer takes the tasks in that order, whatever order the
    // workers took them in.
    std::uint32_t sequence = 0;
    std::vector<TaskPiece> pieces;
    std::uint8_t* input = nullptr;
    std::uint64_t inputLength = 0;  // bytes of `input` in use
    std::uint8_t* output = nullptr;
    std::uint64_t outputCapacity = 0;  // bytes of `output` in use: the sum of the uncompressed sizes
    BufferKind kind = BufferKind::Pooled;
    // Streamed tasks queued before all others: their decodes end last, so the workers that run out of work help
    // deliver their output.
    bool startedFirst = false;
    // Streamed tasks: the complete file a worker wrote beside the target, empty when streaming failed (the worker
    // recorded why and removed what it had written).
    std::wstring partialPath;
    // Writers that have gone past it (with the done list locked); the last one gives back its buffers.
    unsigned writersPast = 0;
};

}  // namespace Arkova::FastZip
