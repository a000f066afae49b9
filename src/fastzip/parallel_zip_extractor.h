// Extracts a whole ZIP archive, or chosen entries, into a folder on every processor core: one reader thread reads
// compressed bytes with positional reads, N worker threads inflate them (libdeflate, one decompressor each, pinned
// to processors), and one writer thread writes the files strictly in central-directory order. Memory is bounded by
// two pools of 4 MiB buffers plus a fixed budget for larger entries; entries too large for that budget are inflated
// piece by piece by the writer.
//
// Small files travel many to a buffer, so the stages hand work on per buffer, not per file. Every file's CRC-32
// and size are checked before it is written (streamed entries: while written, and the file is removed when the
// check fails). Entry paths that would leave the destination are refused. Modification times are restored.
//
// Threads: a run executes on the calling thread, which starts and joins every stage thread before returning. The
// progress callback is called on the writer thread. Cancel may be called from any thread. One run at a time.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <unordered_set>
#include <vector>

#include "fastzip/buffer_pool.h"
#include "fastzip/error_slot.h"
#include "fastzip/extract_task.h"
#include "fastzip/zip_entry.h"

struct libdeflate_decompressor;

namespace Arkova::FastZip {

// (current name, piece bytes, current file size, bytes written so far, total bytes); false asks the engine to stop.
using ExtractProgressCallback =
    std::function<bool(const std::wstring&, std::uint64_t, std::uint64_t, std::uint64_t, std::uint64_t)>;

// How the entries of the last run were held in memory, for tests and benchmarks.
struct ExtractStatistics {
    std::uint64_t pooledFiles = 0;
    std::uint64_t unpooledFiles = 0;
    std::uint64_t streamedFiles = 0;
    std::uint64_t peakUnpooledBytes = 0;
};

class ParallelZipExtractor {
public:
    static constexpr std::uint64_t kBufferSize = 0x400000;
    static constexpr std::uint64_t kDefaultUnpooledBudget = 256ull << 20;

    // N for a processor count: the count minus 1 above 2, the count itself for 1 and 2, 3 when unknown (0).
    static std::uint64_t ThreadCountFor(unsigned processorCount);

    explicit ParallelZipExtractor(unsigned processorCount, std::uint64_t unpooledBudget = kDefaultUnpooledBudget);
    ParallelZipExtractor();
    ~ParallelZipExtractor();
    ParallelZipExtractor(const ParallelZipExtractor&) = delete;
    ParallelZipExtractor& operator=(const ParallelZipExtractor&) = delete;

    // Installed before a run.
    void SetProgress(ExtractProgressCallback progress) { progress_ = std::move(progress); }

    bool RunAll(const std::wstring& archivePath, const std::wstring& destination);
    // The entries at these 0-based central-directory positions (folder entries counted).
    bool RunSelected(const std::wstring& archivePath, const std::wstring& destination,
                     const std::vector<std::uint32_t>& positions);
    // Stops a run as soon as possible; the run then returns false.
    void Cancel();

    // The first error of the last run; empty when nothing failed (a cancelled run may fail with no text).
    std::wstring ErrorText() const { return ErrorTextOf(errors_); }
    std::uint64_t ThreadCount() const { return threadCount_; }
    std::size_t PoolBufferCount() const { return static_cast<std::size_t>(2 * threadCount_ + 2); }
    // The entries the last run handled, with their target paths.
    const std::vector<ZipEntry>& Entries() const { return index_.entries; }
    ExtractStatistics Statistics() const;

private:
    enum class Prepared { Go, Skip, Stop };

    bool Run(const std::wstring& archivePath, const std::wstring& destination,
             const std::vector<std::uint32_t>* positions);
    void StartAndJoin();
    void Reset(const std::wstring& destination);
    void FinishRun();
    void Fail(const std::wstring& message);

    // Reader stage (extractor_reader.cpp).
    void ReaderThread() noexcept;
    void ReadEntries();
    void PrepareFolder(ZipEntry& entry);
    Prepared PrepareFile(ZipEntry& entry);
    bool EnsureFolder(const std::wstring& path);
    bool AcquireBuffers(ExtractTask& task);
    bool AddToBatch(ZipEntry& entry, ExtractTask& batch, std::uint32_t& sequence);
    bool ReadLarge(ZipEntry& entry, std::uint32_t& sequence);
    void Queue(ExtractTask&& task);
    void QueueBatch(ExtractTask& batch, std::uint32_t& sequence);

    // Worker stage (extractor_worker.cpp).
    void WorkerThread(unsigned workerIndex) noexcept;
    void WorkLoop(libdeflate_decompressor* decompressor);
    bool Decompress(ExtractTask& task, libdeflate_decompressor* decompressor);
    bool DecompressPiece(const ExtractTask& task, const TaskPiece& piece, libdeflate_decompressor* decompressor);

    // Writer stage (extractor_writer.cpp).
    void WriterThread() noexcept;
    void WriteLoop();
    bool WriteWhole(const ExtractTask& task, const TaskPiece& piece);
    bool WriteStreamed(const ZipEntry& entry);
    void ReportProgress(std::uint64_t piece);

    // Buffers (extractor_buffers.cpp).
    void ReleaseInput(ExtractTask& task);
    void ReleaseOutput(ExtractTask& task);
    void ReleaseBudget(std::uint64_t bytes);

    const std::uint64_t threadCount_;
    const std::uint64_t bufferSize_ = kBufferSize;
    const std::uint64_t unpooledBudget_;

    std::atomic<bool> cancel_{false};
    std::atomic<bool> readerDone_{false};
    std::atomic<bool> workersDone_{false};
    ErrorSlot errors_;
    ExtractProgressCallback progress_;
    std::atomic<std::uint64_t> bytesWritten_{0};
    std::wstring currentName_;
    std::mutex currentNameLock_;
    std::atomic<std::uint64_t> currentSize_{0};
    ZipArchiveIndex index_;
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

    // Bytes of unpooled buffers in flight, bounded by unpooledBudget_.
    std::uint64_t unpooledInFlight_ = 0;
    std::mutex budgetLock_;
    std::condition_variable budgetFreed_;

    std::unordered_set<std::wstring> knownFolders_;  // reader thread only
    std::wstring lastFolder_;
    std::atomic<std::uint64_t> pooledFiles_{0}, unpooledFiles_{0}, streamedFiles_{0}, peakUnpooled_{0};
};

}  // namespace Arkova::FastZip
