// Handing buffers back to their pools, and dropping tasks that will not be written. Each release is safe to repeat.
#include "fastzip/parallel_zip_extractor.h"
#include "platform/file_system.h"

namespace Arkova::FastZip {

void ParallelZipExtractor::ReleaseInput(ExtractTask& task) {
    if (task.kind == BufferKind::Pooled) inputPool_.Return(task.input);
    task.input = nullptr;
}

void ParallelZipExtractor::ReleaseOutput(ExtractTask& task) {
    if (task.kind == BufferKind::Pooled) outputPool_.Return(task.output);
    task.output = nullptr;
}

void ParallelZipExtractor::Discard(ExtractTask& task) {
    ReleaseInput(task);
    ReleaseOutput(task);
    if (!task.partialPath.empty()) Platform::RemoveFile(task.partialPath);
    task.partialPath.clear();
}

}  // namespace Arkova::FastZip
