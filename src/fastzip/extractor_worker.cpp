// The worker stage: inflates whole entries in parallel and checks each result's size and CRC-32 before the writer
// may see it; streams large entries into partial files beside their targets.
#include <libdeflate.h>

#include <cstdio>
#include <cstring>

#include "archive/file_output.h"
#include "fastzip/entry_streamer.h"
#include "fastzip/parallel_zip_extractor.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/threads.h"

namespace Arkova::FastZip {

namespace {

std::wstring Widen(const char* text) { return std::wstring(text, text + std::strlen(text)); }

}  // namespace

void ParallelZipExtractor::WorkerThread(unsigned workerIndex) noexcept {
    Platform::PinCurrentThreadToProcessor(workerIndex % 64);
    libdeflate_decompressor* decompressor = libdeflate_alloc_decompressor();
    try {
        WorkLoop(decompressor);
    } catch (const std::exception&) {
        Fail(L"Out of memory while inflating");
    }
    if (decompressor != nullptr) libdeflate_free_decompressor(decompressor);
    if (--activeWorkers_ == 0) {
        {
            std::lock_guard<std::mutex> guard(doneLock_);
            workersDone_ = true;
        }
        doneChanged_.notify_all();
    }
}

void ParallelZipExtractor::WorkLoop(libdeflate_decompressor* decompressor) {
    std::unique_ptr<EntryStreamer> streamer;  // made for the first large entry, then reused
    while (!cancel_) {
        ExtractTask task;
        {
            std::unique_lock<std::mutex> guard(workLock_);
            workChanged_.wait(guard, [this] { return cancel_ || readerDone_ || !workQueue_.empty(); });
            if (cancel_ || workQueue_.empty()) return;
            task = std::move(workQueue_.front());
            workQueue_.pop_front();
        }
        if (task.kind == BufferKind::Streamed) {
            StreamToPartialFile(task, streamer);
            if (cancel_) {
                Discard(task);
                return;
            }
        } else if (!Decompress(task, decompressor)) {
            ReleaseInput(task);
            ReleaseOutput(task);
            Cancel();
            return;
        }
        ReleaseInput(task);
        {
            std::lock_guard<std::mutex> guard(doneLock_);
            std::uint32_t sequence = task.sequence;
            doneList_.emplace(sequence, std::move(task));
        }
        doneChanged_.notify_all();
    }
}

void ParallelZipExtractor::StreamToPartialFile(ExtractTask& task, std::unique_ptr<EntryStreamer>& streamer) {
    const ZipEntry& entry = *task.pieces.front().entry;
    if (!streamer) streamer = std::make_unique<EntryStreamer>(index_.reader, streamPieceSize_);
    // The sequence number keeps two entries of the same name, streamed side by side, apart.
    std::wstring partial = PartialFileName(entry.targetPath + L"." + std::to_wstring(task.sequence));
    std::wstring failure;
    bool ok = false;
    try {
        ok = StreamInto(partial, entry, *streamer, failure);
    } catch (...) {
        Platform::RemoveFile(partial);
        throw;
    }
    if (ok) {
        task.partialPath = std::move(partial);
        return;
    }
    // The entry fails alone: the writer skips it, and the entries around it are still written.
    Platform::RemoveFile(partial);
    if (!failure.empty()) RecordError(errors_, failure);
}

bool ParallelZipExtractor::StreamInto(const std::wstring& path, const ZipEntry& entry, EntryStreamer& streamer,
                                      std::wstring& failure) {
    Platform::OutputFile file;
    if (Platform::IsDirectory(entry.targetPath) || !file.Create(path)) {
        failure = L"Failed to create output file: " + entry.targetPath;
        return false;
    }
    bool ok = streamer.Run(
        entry,
        [&](const std::uint8_t* data, std::size_t length) {
            if (!file.Write(data, length)) {
                failure = L"Failed to write output file: " + entry.targetPath;
                return false;
            }
            return ReportProgress(entry.name, entry.uncompressedSize, length);
        },
        failure);
    if (ok && entry.modifiedTime != 0) file.SetModifiedTime(entry.modifiedTime);
    if (!file.Close() && ok) {
        failure = L"Failed to write output file: " + entry.targetPath;
        return false;
    }
    return ok;
}

bool ParallelZipExtractor::Decompress(ExtractTask& task, libdeflate_decompressor* decompressor) {
    for (const TaskPiece& piece : task.pieces) {
        if (!DecompressPiece(task, piece, decompressor)) return false;
    }
    return true;
}

bool ParallelZipExtractor::DecompressPiece(const ExtractTask& task, const TaskPiece& piece,
                                           libdeflate_decompressor* decompressor) {
    const ZipEntry& entry = *piece.entry;
    const std::uint8_t* input = task.input + piece.inputOffset;
    auto inputLength = static_cast<std::size_t>(entry.compressedSize);
    std::uint8_t* output = task.output + piece.outputOffset;
    auto capacity = static_cast<std::size_t>(entry.uncompressedSize);
    std::size_t produced = 0;
    if (entry.method == kMethodStored) {
        if (inputLength > capacity) {
            RecordError(errors_, L"The stored entry '" + entry.name + L"' is longer than its stated size");
            return false;
        }
        std::memcpy(output, input, inputLength);
        produced = inputLength;
    } else if (entry.method == kMethodDeflate) {
        if (decompressor == nullptr) {
            RecordError(errors_, L"Decompressor is null");
            return false;
        }
        libdeflate_result result =
            libdeflate_deflate_decompress(decompressor, input, inputLength, output, capacity, &produced);
        if (result != LIBDEFLATE_SUCCESS) {
            char text[128];
            std::snprintf(text, sizeof(text), "libdeflate error %d, compSize=%zu, decompSize=%zu",
                          static_cast<int>(result), inputLength, capacity);
            RecordError(errors_, Widen(text) + L" in '" + entry.name + L"'");
            return false;
        }
    } else {
        RecordError(errors_, L"Unsupported compression method: " + std::to_wstring(entry.method));
        return false;
    }
    if (produced != capacity) {
        RecordError(errors_, L"The entry '" + entry.name + L"' is shorter than its stated size");
        return false;
    }
    if (libdeflate_crc32(0, output, produced) != entry.crc32) {
        RecordError(errors_, L"CRC mismatch in '" + entry.name + L"': the data is damaged");
        return false;
    }
    return true;
}

}  // namespace Arkova::FastZip
