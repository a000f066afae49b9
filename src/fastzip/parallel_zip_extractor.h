// Extracts a whole ZIP archive, or chosen entries, into a folder on every processor core: one reader thread reads
// compressed bytes with positional reads, N worker threads inflate them (libdeflate, one decompressor each, pinned to
// processors), and writer threads put the files in place: one in a test run, two for an extraction on two
// processors or more (WriterForFile). Each folder's files go to one writer, which takes them in central-directory
// order; with many small files, file creation is what extraction waits for, and two writers create them on two
// processors. Files appear in directory order within each folder, not across folders.
//
// Small files travel many to a buffer, so the stages hand work on per buffer, not per file; the reader fills them
// through a read window, one system call for many local headers and files. An entry above the streaming threshold is
// taken by one worker into a partial file beside its target, while the other workers go on with the entries behind it,
// and its writer renames that file into place when the entry's turn comes. The worker decodes a deflated one in one
// call (libdeflate) when the whole-decode budget holds its compressed and uncompressed bytes, waiting for other workers
// to give theirs back; otherwise it inflates (zlib) or copies it in pieces. During a whole decode a worker with nothing
// left to decode may reserve the file's room, so that the write after it is little more than a copy. An entry that
// alone holds a large share of the archive is queued before all others and decoded in parts (DeflatePieces) into three
// buffers used in turn (PartBuffers), which a worker with nothing left to decode checks and writes while the rest is
// decoded, and whose tail it decodes, and writes in place, once it has caught up (TailOffer); its writer still places
// it in its turn. Every file's CRC-32 and size are checked before it takes its name, so a damaged or cancelled entry
// never leaves a file behind, and an existing file is only ever replaced by a complete one. Entry paths that would
// leave the destination are refused. Modification times are restored.
//
// A failure that concerns one entry (damaged data, a wrong size or CRC, a name refused, a file that cannot be created)
// fails that entry alone: it is recorded with its position and the run goes on with the rest, also for entries that
// share a buffer with it. Only what makes the archive unreadable (its directory, a read that fails, memory for the
// pools) or a cancel stops the run.
//
// Memory, whatever the archive claims: two pools of 2N + 2 buffers of 1 MiB each (N = 2: 12 MiB; N = 7: 32 MiB),
// touched only as far as small files need them (in huge pages where the system gives them), and the reader's 256 KiB
// window; for each worker that streams, two piece buffers (256 KiB each) and one inflate (or bzip2) state, made for its
// first large entry and reused for the rest; a worker decoding bzip2 keeps one output buffer of at most 1 MiB. Large
// entries decoded whole share one budget of 192 MiB, held only while they are decoded and written, and an entry that
// claims more is streamed, so a lying size cannot raise it. An entry decoded in parts takes its output buffer from that
// budget but uses only its part buffers (each half as large again as the largest part so far: for parts of a sixteenth
// of an evenly packed entry, about 30% of its output in all). A tail decoded beside such an entry keeps its output in a
// buffer of its own and holds the most it can have in that budget too (so a tail is decoded only beside entries of up
// to about half the budget), and otherwise adds at most 16 MiB of 16-bit values. Beyond that only the directory's
// bookkeeping grows with the archive: the entry list, and a small state per entry (its result; the message only of an
// entry that failed). A file's target path is dropped once the file is in place. The budget for a whole extraction of
// small files, the process with its archive listing included, is 96 MiB for directories of tens of thousands of entries
// (15,000 files: 58 MiB); large files add at most the whole-decode budget. 1 MiB buffers extract many small files as
// fast as 4 MiB ones did, at a quarter of the memory.
//
// Threads: a run executes on the calling thread, which starts and joins every stage thread before returning. The
// progress callback is called on a writer thread after each file (in a test run, once per file entry, in archive
// order), and on a worker after each piece it streams or delivers; calls never overlap. Cancel may be called from any
// thread. One run at a time.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_set>
#include <vector>

#include "archive/decode_result.h"
#include "fastzip/buffer_pool.h"
#include "fastzip/entry_source.h"
#include "fastzip/error_slot.h"
#include "fastzip/extract_task.h"
#include "fastzip/memory_budget.h"
#include "fastzip/output_relay.h"
#include "fastzip/room_reservations.h"
#include "fastzip/writer_choice.h"
#include "fastzip/zip_entry.h"

struct libdeflate_decompressor;

namespace Arkova::FastZip {

class EntryStreamer;
class ReadWindow;

// (current name, piece bytes, current file size, bytes written so far, total bytes); false asks the engine to stop.
using ExtractProgressCallback =
    std::function<bool(const std::wstring&, std::uint64_t, std::uint64_t, std::uint64_t, std::uint64_t)>;

// One entry that failed alone. `position` is its 0-based place in the archive's full entry list (folders counted).
struct EntryError {
    std::uint32_t position = 0;
    std::wstring name;
    DecodeResult result = DecodeResult::DecompressFailed;  // UnsafePath, CrcMismatch, IoError, ...
    std::wstring message;
};

// How one file entry fared in a test run. `actualCrc` is 0 when the data could not be decoded.
struct EntryTestResult {
    std::uint32_t position = 0;
    DecodeResult result = DecodeResult::Ok;
    std::uint32_t actualCrc = 0;
};

// How the entries of the last run were held in memory, for tests and benchmarks.
struct ExtractStatistics {
    std::uint64_t pooledFiles = 0;
    std::uint64_t streamedFiles = 0;
    std::uint64_t wholeDecodedFiles = 0;  // of the streamed ones, those decoded in one call
};

class ParallelZipExtractor {
public:
    static constexpr std::uint64_t kBufferSize = 0x100000;  // 1 MiB
    // Entries larger than this (packed or unpacked) are streamed; at most kBufferSize, so that the rest fit a buffer.
    static constexpr std::uint64_t kStreamThreshold = kBufferSize;
    static constexpr std::size_t kStreamPieceSize = 256 << 10;
    // What the workers may hold at once for large deflated entries decoded in one call (compressed plus uncompressed
    // size each); an entry larger than this is inflated piece by piece.
    static constexpr std::uint64_t kWholeDecodeBudget = 192ull << 20;

    // N for a processor count: the count minus 1 above 2, the count itself for 1 and 2, 3 when unknown (0).
    static std::uint64_t ThreadCountFor(unsigned processorCount);

    // A smaller threshold, piece size or budget than the defaults is for tests; the threshold is capped at
    // kBufferSize, and a budget of 0 streams every large entry piece by piece.
    explicit ParallelZipExtractor(unsigned processorCount, std::uint64_t streamThreshold = kStreamThreshold,
                                  std::size_t streamPieceSize = kStreamPieceSize,
                                  std::uint64_t wholeDecodeBudget = kWholeDecodeBudget);
    ParallelZipExtractor();
    ~ParallelZipExtractor();
    ParallelZipExtractor(const ParallelZipExtractor&) = delete;
    ParallelZipExtractor& operator=(const ParallelZipExtractor&) = delete;

    // Installed before a run.
    void SetProgress(ExtractProgressCallback progress) { progress_ = std::move(progress); }
    // The code page of names not marked as UTF-8, as the listing reads them (-1 or 0: the system ANSI code page).
    void SetNameCodePage(std::int32_t codePage) { index_.nameCodePage = codePage; }

    // A ZIP archive; the overloads with a source take their entries from it (an ALZ or EGG archive, say).
    bool RunAll(const std::wstring& archivePath, const std::wstring& destination);
    bool RunAll(const std::wstring& archivePath, const std::wstring& destination, EntrySource& source);
    // The entries at these 0-based central-directory positions (folder entries counted).
    bool RunSelected(const std::wstring& archivePath, const std::wstring& destination,
                     const std::vector<std::uint32_t>& positions);
    bool RunSelected(const std::wstring& archivePath, const std::wstring& destination,
                     const std::vector<std::uint32_t>& positions, EntrySource& source);
    // Decodes every file entry and checks it against its size and CRC, writing nothing; the progress callback is
    // called once per file entry, in archive order (its piece is the entry's size, 0 when it failed). True when
    // every entry passed.
    bool RunTest(const std::wstring& archivePath, EntrySource& source);
    // The file entries of the last test run that the run reached, in archive order.
    std::vector<EntryTestResult> TestResults() const;
    // Stops a run as soon as possible; the run then returns false.
    void Cancel();

    // What stopped the last run, else the message of its first failed entry in archive order; empty when nothing
    // failed (a cancelled run may fail with no text).
    std::wstring ErrorText() const { return ErrorTextOf(errors_); }
    // The last run went through every entry: neither stopped nor cancelled. Its failed entries are in
    // EntryErrors(); every other file is in place.
    bool Completed() const { return !stopped_ && !cancel_; }
    // The entries of the last run that failed alone, in archive order.
    std::vector<EntryError> EntryErrors() const;
    // Files of the last run now in place.
    std::uint64_t FilesWritten() const { return filesWritten_; }
    std::uint64_t ThreadCount() const { return threadCount_; }
    std::size_t PoolBufferCount() const { return static_cast<std::size_t>(2 * threadCount_ + 2); }
    // The entries the last run handled; folders keep their target paths, files drop theirs once in place.
    const std::vector<ZipEntry>& Entries() const { return index_.entries; }
    ExtractStatistics Statistics() const;
    // Output bytes of the last run that reached files (streamed entries count as their pieces are written).
    std::uint64_t BytesWritten() const { return bytesWritten_; }

private:
    enum class Prepared { Go, Skip, Stop };

    bool Run(const std::wstring& archivePath, const std::wstring& destination,
             const std::vector<std::uint32_t>* positions, EntrySource& source);
    bool ListEntries(const std::wstring& archivePath, const std::vector<std::uint32_t>* positions);
    void StartAndJoin();
    void Reset(const std::wstring& destination);
    void FinishRun();
    // Stops the run: the archive cannot be read on.
    void Fail(const std::wstring& message);
    // Fails one entry; only the thread that holds the entry calls it. The first failure of an entry is kept.
    void FailEntry(const ZipEntry& entry, DecodeResult result, const std::wstring& message);
    bool EntryFailed(const ZipEntry& entry) const;

    // Reader stage (extractor_reader.cpp).
    void ReaderThread() noexcept;
    bool Streams(const ZipEntry& entry) const;
    void ReadEntries();
    void PrepareFolder(ZipEntry& entry);
    Prepared PrepareFile(ZipEntry& entry);
    bool EnsureFolder(const std::wstring& path);
    bool AcquireBuffers(ExtractTask& task);
    // The entries queued before all others, each with how it was prepared; false when the run is to stop.
    using StartedEntries = std::vector<std::pair<const ZipEntry*, Prepared>>;
    bool StartDominantEntries(StartedEntries& started);
    bool AddToBatch(ZipEntry& entry, ExtractTask& batch);
    void QueueStreamed(ZipEntry& entry, bool startedFirst = false);
    void Queue(ExtractTask&& task);
    void QueueBatch(ExtractTask& batch);

    // Worker stage (extractor_worker.cpp).
    void WorkerThread(unsigned workerIndex) noexcept;
    void WorkLoop(libdeflate_decompressor* decompressor);
    void StreamToPartialFile(ExtractTask& task, std::unique_ptr<EntryStreamer>& streamer,
                             libdeflate_decompressor* decompressor);
    // Writes one entry into `path`: decoded whole with `wholeDecoder` (in parts when `inParts`), piece by piece
    // without one.
    bool StreamInto(const std::wstring& path, const ZipEntry& entry, EntryStreamer& streamer,
                    libdeflate_decompressor* wholeDecoder, bool inParts, std::wstring& failure);
    void FailStreamed(const ZipEntry& entry, const EntryStreamer& streamer, const std::wstring& failure);
    // `scratch` is the worker's own, reused for the entries that cannot be decoded in place.
    void DecompressPiece(const ExtractTask& task, const TaskPiece& piece, libdeflate_decompressor* decompressor,
                         std::vector<std::uint8_t>& scratch);

    // Writer stage (extractor_writer.cpp).
    void WriterThread(unsigned writer) noexcept;
    void WriteLoop(unsigned writer);
    unsigned WriterOf(const ZipEntry& entry) const { return WriterForFile(entry.targetPath, writerCount_); }
    void WriteWhole(const ExtractTask& task, const TaskPiece& piece);
    void PlaceStreamed(ExtractTask& task);
    void DropTargetPath(ZipEntry& entry);
    // Adds `piece` to the bytes written and tells the progress callback; false when the run is to stop.
    bool ReportProgress(const std::wstring& name, std::uint64_t fileSize, std::uint64_t piece);

    // Buffers (extractor_buffers.cpp).
    void ReleaseInput(ExtractTask& task);
    void ReleaseOutput(ExtractTask& task);
    // Returns a task's buffers and removes a partial file it still owns.
    void Discard(ExtractTask& task);

    const std::uint64_t threadCount_;
    const std::uint64_t bufferSize_ = kBufferSize;
    const std::uint64_t streamThreshold_;
    const std::size_t streamPieceSize_;

    // What happened to each entry of `index_.entries`, parallel to it. An entry is touched by one stage at a time, and
    // the queues' locks order the hand-overs, so its state needs no lock of its own.
    struct EntryState {
        DecodeResult result = DecodeResult::Ok;
        std::uint32_t actualCrc = 0;
        bool reached = false;  // a test run got to it
        std::wstring message;
    };
    std::uint32_t PlaceOf(const ZipEntry& entry) const {
        return static_cast<std::uint32_t>(&entry - index_.entries.data());
    }
    EntryState& StateOf(const ZipEntry& entry) { return states_[PlaceOf(entry)]; }
    void SetActualCrc(const ZipEntry& entry, std::uint32_t crc) { StateOf(entry).actualCrc = crc; }
    void MarkReached(const ZipEntry& entry) { StateOf(entry).reached = true; }

    std::atomic<bool> cancel_{false};
    std::atomic<bool> stopped_{false};
    std::atomic<bool> readerDone_{false};
    std::atomic<bool> workersDone_{false};
    ErrorSlot errors_;
    ExtractProgressCallback progress_;
    std::mutex progressLock_;  // one progress call at a time
    std::atomic<std::uint64_t> bytesWritten_{0};
    EntrySource* source_ = nullptr;  // the run's
    bool testing_ = false;           // set before the stage threads start
    unsigned writerCount_ = 1;       // likewise
    ZipArchiveIndex index_;
    std::vector<EntryState> states_;
    std::vector<std::uint32_t> positions_;  // each kept entry's place in the full list
    std::atomic<std::uint64_t> filesWritten_{0};
    std::wstring destination_;
    std::size_t listedEntries_ = 0;
    BufferPool inputPool_{cancel_};
    BufferPool outputPool_{cancel_};

    std::deque<ExtractTask> workQueue_;
    std::mutex workLock_;
    std::condition_variable workChanged_;
    std::map<std::uint32_t, ExtractTask> doneList_;  // by sequence
    std::mutex doneLock_;
    std::condition_variable doneChanged_;
    std::atomic<int> activeWorkers_{0};

    ReadWindow* window_ = nullptr;                   // reader thread only, during ReadEntries
    std::unordered_set<std::wstring> knownFolders_;  // reader thread only
    std::wstring lastFolder_;
    std::atomic<std::uint64_t> pooledFiles_{0}, streamedFiles_{0}, wholeDecodedFiles_{0};
    MemoryBudget wholeDecodeBudget_;
    RoomReservations roomReservations_;
    RelayBoard relayBoard_;
};

}  // namespace Arkova::FastZip
