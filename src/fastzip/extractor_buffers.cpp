// Handing buffers back: pooled ones to their pool, unpooled ones freed and their bytes returned to the budget.
// Each release is safe to repeat.
#include <algorithm>
#include <utility>

#include "fastzip/parallel_zip_extractor.h"

namespace Arkova::FastZip {

void ParallelZipExtractor::ReleaseInput(ExtractTask& task) {
    if (task.kind == BufferKind::Pooled) inputPool_.Return(task.input);
    task.input = nullptr;
    task.ownInput.reset();
    ReleaseBudget(std::exchange(task.chargedInput, 0));
}

void ParallelZipExtractor::ReleaseOutput(ExtractTask& task) {
    if (task.kind == BufferKind::Pooled) outputPool_.Return(task.output);
    task.output = nullptr;
    task.ownOutput.reset();
    ReleaseBudget(std::exchange(task.chargedOutput, 0));
}

void ParallelZipExtractor::ReleaseBudget(std::uint64_t bytes) {
    if (bytes == 0) return;
    {
        std::lock_guard<std::mutex> guard(budgetLock_);
        unpooledInFlight_ -= std::min(bytes, unpooledInFlight_);
    }
    budgetFreed_.notify_all();
}

}  // namespace Arkova::FastZip
