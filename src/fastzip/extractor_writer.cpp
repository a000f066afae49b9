// The writer stage: writes finished entries in directory order, one file each, and reports progress. With two
// writers, each takes every task in turn and writes the files of its own folders.
#include <chrono>

#include "archive/file_output.h"
#include "fastzip/parallel_zip_extractor.h"
#include "platform/file.h"
#include "platform/file_system.h"

namespace Arkova::FastZip {

void ParallelZipExtractor::WriterThread(unsigned writer) noexcept {
    try {
        WriteLoop(writer);
    } catch (const std::exception&) {
        Fail(L"Out of memory while writing");
    }
}

void ParallelZipExtractor::WriteLoop(unsigned writer) {
    std::uint32_t next = 0;  // the place of the next file entry to write; folders were made by the reader
    while (!cancel_) {
        while (next < index_.entries.size() && index_.entries[next].isDirectory) ++next;
        ExtractTask* task = nullptr;
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
            // It stays in the list, where workers only add other tasks, until the last writer is past it.
            task = &found->second;
        }
        if (task->kind == BufferKind::Streamed) {
            if (task->pieces.front().writer == writer) PlaceStreamed(*task);
        } else {
            for (const TaskPiece& piece : task->pieces) {
                if (cancel_) break;
                if (piece.writer == writer) WriteWhole(*task, piece);
            }
        }
        next = PlaceOf(*task->pieces.back().entry) + 1;
        ExtractTask done;
        {
            std::lock_guard<std::mutex> guard(doneLock_);
            if (++task->writersPast < writerCount_) continue;
            done = std::move(*task);
            doneList_.erase(done.sequence);
        }
        Discard(done);
    }
}

namespace {

// Opens where an entry's bytes go first: the target itself when nothing stands there (the usual case: one call, no
// extra rename), else a partial file beside it that replaces the existing file only once complete, so a failure
// never costs the user that file. Creating only a new name never follows a link, a dangling one neither: a link is
// replaced, never written through. Empty when the file cannot be created.
std::wstring OpenWritePath(const std::wstring& target, Platform::OutputFile& file) {
    Platform::CreateNewResult created = file.CreateNew(target);
    if (created == Platform::CreateNewResult::Created) return target;
    if (created != Platform::CreateNewResult::NameTaken || Platform::IsDirectory(target)) return {};
    std::wstring partial = PartialFileName(target);
    return file.Create(partial) ? partial : std::wstring();
}

bool PutInPlace(const std::wstring& written, const std::wstring& target) {
    return written == target || Platform::RenamePath(written, target, true);
}

}  // namespace

void ParallelZipExtractor::WriteWhole(const ExtractTask& task, const TaskPiece& piece) {
    ZipEntry& entry = *piece.entry;
    auto length = static_cast<std::size_t>(entry.uncompressedSize);
    if (testing_) {
        MarkReached(entry);
        ReportProgress(entry.name, length, EntryFailed(entry) ? 0 : length);
        return;
    }
    if (EntryFailed(entry)) return;  // said why where it failed
    Platform::OutputFile file;
    const std::wstring writePath = OpenWritePath(entry.targetPath, file);
    if (writePath.empty()) {
        FailEntry(entry, DecodeResult::IoError, L"Failed to create output file: " + entry.targetPath);
        return;
    }
    bool written = file.Write(task.output + piece.outputOffset, length);
    if (written && entry.modifiedTime != 0) file.SetModifiedTime(entry.modifiedTime);
    if (!file.Close() || !written || !PutInPlace(writePath, entry.targetPath)) {
        // A cut-off file must not stay behind looking complete.
        Platform::RemoveFile(writePath);
        FailEntry(entry, DecodeResult::IoError, L"Failed to write output file: " + entry.targetPath);
        return;
    }
    DropTargetPath(entry);
    ++filesWritten_;
    ReportProgress(entry.name, length, length);
}

void ParallelZipExtractor::PlaceStreamed(ExtractTask& task) {
    ZipEntry& entry = *task.pieces.front().entry;
    if (testing_) {
        MarkReached(entry);
        ReportProgress(entry.name, entry.uncompressedSize, EntryFailed(entry) ? 0 : entry.uncompressedSize);
        return;
    }
    if (task.partialPath.empty()) return;  // it failed alone; its worker said why
    if (!Platform::RenamePath(task.partialPath, entry.targetPath, true)) {
        FailEntry(entry, DecodeResult::IoError, L"Failed to write output file: " + entry.targetPath);
        return;  // the partial file goes with the task
    }
    task.partialPath.clear();
    DropTargetPath(entry);
    ++filesWritten_;
    ReportProgress(entry.name, entry.uncompressedSize, 0);
}

void ParallelZipExtractor::DropTargetPath(ZipEntry& entry) {
    // Swapping, not clearing, gives the memory back: a large archive's paths add up.
    std::wstring().swap(entry.targetPath);
}

bool ParallelZipExtractor::ReportProgress(const std::wstring& name, std::uint64_t fileSize, std::uint64_t piece) {
    bytesWritten_ += piece;
    if (!progress_) return !cancel_;
    std::lock_guard<std::mutex> guard(progressLock_);
    if (cancel_) return false;  // another writer's call cancelled the run
    // Read under the lock, so that the totals reported never go down.
    if (!progress_(name, piece, fileSize, bytesWritten_, index_.totalUncompressed)) Cancel();
    return !cancel_;
}

}  // namespace Arkova::FastZip
