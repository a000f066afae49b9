// The worker stage: decodes whole entries in parallel and checks each result's size and CRC-32 before the writer
// may see it; streams large entries into partial files beside their targets (or, in a test, nowhere). An entry
// that fails is marked and skipped by the writer; the other entries of its buffer go on.
#include <libdeflate.h>

#include <cstdio>
#include <cstring>
#include <optional>

#include "archive/block_codecs.h"
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
    std::vector<std::uint8_t> scratch;        // bzip2 output, reused
    while (!cancel_) {
        ExtractTask task;
        {
            std::unique_lock<std::mutex> guard(workLock_);
            workChanged_.wait(guard, [this] { return cancel_ || readerDone_ || !workQueue_.empty(); });
            if (cancel_) return;
            if (workQueue_.empty()) {
                guard.unlock();
                // Nothing is left to decode: this worker's processor serves the workers still decoding large entries,
                // and the buffers kept for its next entry go back.
                Platform::ReleaseKeptBuffers();
                roomReservations_.ReserveOffered(cancel_);
                relayBoard_.HelpPosted(cancel_, decompressor);
                return;
            }
            task = std::move(workQueue_.front());
            workQueue_.pop_front();
        }
        if (task.kind == BufferKind::Streamed) {
            StreamToPartialFile(task, streamer, decompressor);
        } else {
            for (const TaskPiece& piece : task.pieces) {
                if (cancel_) break;
                DecompressPiece(task, piece, decompressor, scratch);
            }
        }
        if (cancel_) {
            Discard(task);
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

void ParallelZipExtractor::StreamToPartialFile(ExtractTask& task, std::unique_ptr<EntryStreamer>& streamer,
                                               libdeflate_decompressor* decompressor) {
    const ZipEntry& entry = *task.pieces.front().entry;
    if (!streamer) {
        streamer = std::make_unique<EntryStreamer>(index_.reader, streamPieceSize_, &relayBoard_, &wholeDecodeBudget_);
    }
    // A deflated entry the budget can hold is decoded in one call; the rest, and any after a cancel, piece by piece.
    bool deflated = entry.method == kMethodDeflate && decompressor != nullptr;
    MemoryBudget::Lease lease(wholeDecodeBudget_, deflated ? EntryStreamer::WholeDecodeBytes(entry) : 0);
    const bool whole = deflated && lease.Held();
    if (whole) ++wholeDecodedFiles_;
    libdeflate_decompressor* wholeDecoder = whole ? decompressor : nullptr;
    // Only an entry started before the rest is decoded in parts: its decode ends last, when others have run out of
    // work and can deliver its parts. Another entry's parts would be delivered by its own worker after all.
    const bool inParts = whole && task.startedFirst && streamer->DecodesInParts(entry);
    std::wstring failure;
    if (testing_) {
        // The end of an entry decoded in parts is checked by the helper that decoded it, and goes nowhere.
        bool ok = streamer->RunWhole(
            entry, wholeDecoder, [this](const std::uint8_t*, std::size_t) { return !cancel_.load(); },
            inParts ? EntryStreamer::Restart([] { return true; }) : EntryStreamer::Restart(),
            [](std::uint64_t, const std::uint8_t*, std::size_t) { return true; }, failure);
        // Like a whole decode, a stream that cannot be decoded has no CRC to show.
        if (ok || streamer->LastFailure() == EntryStreamer::Failure::Crc) SetActualCrc(entry, streamer->Crc());
        if (!ok) FailStreamed(entry, *streamer, failure);
        return;
    }
    // The sequence number keeps two entries of the same name, streamed side by side, apart.
    std::wstring partial = PartialFileName(entry.targetPath + L"." + std::to_wstring(task.sequence));
    bool ok = false;
    try {
        ok = StreamInto(partial, entry, *streamer, wholeDecoder, inParts, failure);
    } catch (...) {
        Platform::RemoveFile(partial);
        throw;
    }
    if (ok) {
        task.partialPath = std::move(partial);
        return;
    }
    // The writer skips the entry, and the entries around it are still written.
    Platform::RemoveFile(partial);
    FailStreamed(entry, *streamer, failure);
}

void ParallelZipExtractor::FailStreamed(const ZipEntry& entry, const EntryStreamer& streamer,
                                        const std::wstring& failure) {
    if (failure.empty()) return;  // cancelled
    // A read that fails means the archive itself is gone; anything else concerns this entry.
    if (streamer.LastFailure() == EntryStreamer::Failure::Read) {
        Fail(failure);
        return;
    }
    DecodeResult result = DecodeResult::DecompressFailed;
    if (streamer.LastFailure() == EntryStreamer::Failure::Crc) result = DecodeResult::CrcMismatch;
    if (streamer.LastFailure() == EntryStreamer::Failure::Sink) result = DecodeResult::IoError;
    if (streamer.LastFailure() == EntryStreamer::Failure::Method) result = DecodeResult::UnsupportedFormat;
    FailEntry(entry, result, failure);
}

bool ParallelZipExtractor::StreamInto(const std::wstring& path, const ZipEntry& entry, EntryStreamer& streamer,
                                      libdeflate_decompressor* wholeDecoder, bool inParts, std::wstring& failure) {
    Platform::OutputFile file;
    if (Platform::IsDirectory(entry.targetPath) || !file.Create(path)) {
        failure = L"Failed to create output file: " + entry.targetPath;
        streamer.SetFailure(EntryStreamer::Failure::Sink);
        return false;
    }
    // A decode in one call writes nothing until it is done: meanwhile a worker with nothing left to do may reserve
    // the file's room. (A decode in parts has such a worker write the parts instead.)
    std::optional<RoomReservations::Offer> offer;
    if (wholeDecoder != nullptr && !inParts) {
        offer.emplace(roomReservations_, file, entry.uncompressedSize);
    }
    // A restarted entry is written again from its start, and its progress counts only what goes beyond the last run.
    std::uint64_t delivered = 0, reported = 0;
    auto sink = [&](const std::uint8_t* data, std::size_t length) {
        if (offer) offer->Withdraw();
        if (data != nullptr && !file.Write(data, length)) {
            failure = L"Failed to write output file: " + entry.targetPath;
            return false;
        }
        delivered += length;
        if (delivered <= reported) return !cancel_.load();
        std::uint64_t fresh = delivered - reported;
        reported = delivered;
        return ReportProgress(entry.name, entry.uncompressedSize, fresh);
    };
    auto restart = [&] {
        if (offer) offer->Withdraw();
        delivered = 0;
        file.Close();
        if (file.Create(path)) return true;
        failure = L"Failed to create output file: " + entry.targetPath;
        streamer.SetFailure(EntryStreamer::Failure::Sink);
        return false;
    };
    // The end of an entry decoded in parts is written where it belongs by the helper that decoded it, while this
    // worker writes what comes before, where the file system leaves the gap between them alone.
    EntryStreamer::Place place;
    if (Platform::OutputFile::kWritingAheadLeavesAGap) {
        place = [&](std::uint64_t offset, const std::uint8_t* data, std::size_t length) {
            return file.WriteAt(offset, data, length);
        };
    }
    bool ok = streamer.RunWhole(entry, wholeDecoder, sink, inParts ? EntryStreamer::Restart(restart) : nullptr,
                                place, failure);
    if (offer) offer->Withdraw();
    if (ok && entry.modifiedTime != 0) file.SetModifiedTime(entry.modifiedTime);
    if (!file.Close() && ok) {
        failure = L"Failed to write output file: " + entry.targetPath;
        streamer.SetFailure(EntryStreamer::Failure::Sink);
        return false;
    }
    return ok;
}

void ParallelZipExtractor::DecompressPiece(const ExtractTask& task, const TaskPiece& piece,
                                           libdeflate_decompressor* decompressor, std::vector<std::uint8_t>& scratch) {
    const ZipEntry& entry = *piece.entry;
    if (EntryFailed(entry)) return;  // the reader refused it
    const std::uint8_t* input = task.input + piece.inputOffset;
    auto inputLength = static_cast<std::size_t>(entry.compressedSize);
    std::uint8_t* output = task.output + piece.outputOffset;
    auto capacity = static_cast<std::size_t>(entry.uncompressedSize);
    std::size_t produced = 0;
    auto damaged = [&](const std::wstring& message) { FailEntry(entry, DecodeResult::DecompressFailed, message); };
    if (entry.method == kMethodStored) {
        if (inputLength > capacity)
            return damaged(L"The stored entry '" + entry.name + L"' is longer than its stated size");
        std::memcpy(output, input, inputLength);
        produced = inputLength;
    } else if (entry.method == kMethodDeflate) {
        if (decompressor == nullptr) return Fail(L"Decompressor is null");
        libdeflate_result result =
            libdeflate_deflate_decompress(decompressor, input, inputLength, output, capacity, &produced);
        if (result != LIBDEFLATE_SUCCESS) {
            char text[128];
            std::snprintf(text, sizeof(text), "libdeflate error %d, compSize=%zu, decompSize=%zu",
                          static_cast<int>(result), inputLength, capacity);
            return damaged(Widen(text) + L" in '" + entry.name + L"'");
        }
    } else if (entry.method == kMethodBzip2 || entry.method == kMethodAlzBzip2) {
        // The readers' own decoders, so that an entry fails here exactly as it fails entry by entry.
        DecodeResult result = entry.method == kMethodBzip2
                                  ? DecodeBzip2(input, inputLength, entry.uncompressedSize, scratch)
                                  : DecodeAlzBzip2(input, inputLength, entry.uncompressedSize, scratch);
        if (result != DecodeResult::Ok || scratch.size() != capacity) {
            return damaged(L"The bzip2 data of '" + entry.name + L"' is damaged");
        }
        if (capacity != 0) std::memcpy(output, scratch.data(), capacity);
        produced = capacity;
    } else {
        FailEntry(entry, DecodeResult::UnsupportedFormat,
                  L"Unsupported compression method: " + std::to_wstring(entry.method));
        return;
    }
    if (produced != capacity) return damaged(L"The entry '" + entry.name + L"' is shorter than its stated size");
    std::uint32_t crc = libdeflate_crc32(0, output, produced);
    SetActualCrc(entry, crc);
    if (entry.crcKnown && crc != entry.crc32) {
        FailEntry(entry, DecodeResult::CrcMismatch, L"CRC mismatch in '" + entry.name + L"': the data is damaged");
    }
}

}  // namespace Arkova::FastZip
