// The writer stage: writes finished entries strictly in directory order, one file each, and reports progress.
#include <chrono>

#include "archive/file_output.h"
#include "fastzip/parallel_zip_extractor.h"
#include "platform/file.h"
#include "platform/file_system.h"

namespace Arkova::FastZip {

void ParallelZipExtractor::WriterThread() noexcept {
    try {
        WriteLoop();
    } catch (const std::exception&) {
        Fail(L"Out of memory while writing");
    }
}

void ParallelZipExtractor::WriteLoop() {
    std::uint32_t next = 0;
    while (!cancel_) {
        ExtractTask task;
        {
            std::unique_lock<std::mutex> guard(doneLock_);
            doneChanged_.wait_for(guard, std::chrono::milliseconds(100),
                                  [&] { return cancel_ || workersDone_ || doneList_.count(next) != 0; });
            if (cancel_) return;
            auto found = doneList_.find(next);
            if (found == doneList_.end()) {
                if (workersDone_) return;
                continue;
            }
            task = std::move(found->second);
            doneList_.erase(found);
        }
        bool written = true;
        if (task.kind == BufferKind::Streamed) {
            written = PlaceStreamed(task);
        } else {
            for (const TaskPiece& piece : task.pieces) {
                if (cancel_) break;
                written = WriteWhole(task, piece);
                if (!written) break;
            }
        }
        Discard(task);
        if (!written) {
            Cancel();
            return;
        }
        ++next;
    }
}

namespace {

// Where an entry's bytes go first: the target itself when nothing stands there (the usual case, no extra rename),
// else a partial file beside it that replaces the existing file only once complete, so a failure never costs the
// user that file.
std::wstring WritePathFor(const std::wstring& target) {
    // PathExists does not follow links, so a link (a dangling one too) is replaced, never written through.
    bool takenByAFile = Platform::PathExists(target) && !Platform::IsDirectory(target);
    return takenByAFile ? PartialFileName(target) : target;
}

bool PutInPlace(const std::wstring& written, const std::wstring& target) {
    return written == target || Platform::RenamePath(written, target, true);
}

}  // namespace

bool ParallelZipExtractor::WriteWhole(const ExtractTask& task, const TaskPiece& piece) {
    const ZipEntry& entry = *piece.entry;
    auto length = static_cast<std::size_t>(entry.uncompressedSize);
    const std::wstring writePath = WritePathFor(entry.targetPath);
    Platform::OutputFile file;
    if (!file.Create(writePath)) {
        RecordError(errors_, L"Failed to create output file: " + entry.targetPath);
        return false;
    }
    bool written = file.Write(task.output + piece.outputOffset, length);
    if (written && entry.modifiedTime != 0) file.SetModifiedTime(entry.modifiedTime);
    if (!file.Close() || !written || !PutInPlace(writePath, entry.targetPath)) {
        // A cut-off file must not stay behind looking complete.
        Platform::RemoveFile(writePath);
        RecordError(errors_, L"Failed to write output file: " + entry.targetPath);
        return false;
    }
    DropTargetPath(*piece.entry);
    ReportWriterProgress(length);
    return true;
}

bool ParallelZipExtractor::PlaceStreamed(ExtractTask& task) {
    if (task.partialPath.empty()) return true;  // it failed alone; its worker said why
    const ZipEntry& entry = *task.pieces.front().entry;
    if (!Platform::RenamePath(task.partialPath, entry.targetPath, true)) {
        RecordError(errors_, L"Failed to write output file: " + entry.targetPath);
        return false;  // the partial file goes with the task
    }
    task.partialPath.clear();
    DropTargetPath(*task.pieces.front().entry);
    return ReportWriterProgress(0);
}

void ParallelZipExtractor::DropTargetPath(ZipEntry& entry) {
    // Swapping, not clearing, gives the memory back: a large archive's paths add up.
    std::wstring().swap(entry.targetPath);
}

bool ParallelZipExtractor::ReportProgress(const std::wstring& name, std::uint64_t fileSize, std::uint64_t piece) {
    bytesWritten_ += piece;
    if (!progress_) return !cancel_;
    std::lock_guard<std::mutex> guard(progressLock_);
    // Read under the lock, so that the totals reported never go down.
    if (!progress_(name, piece, fileSize, bytesWritten_, index_.totalUncompressed)) Cancel();
    return !cancel_;
}

bool ParallelZipExtractor::ReportWriterProgress(std::uint64_t piece) {
    std::wstring name;
    {
        std::lock_guard<std::mutex> guard(currentNameLock_);
        name = currentName_;
    }
    return ReportProgress(name, currentSize_, piece);
}

}  // namespace Arkova::FastZip
