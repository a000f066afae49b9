#include "fastzip/parallel_zip_extractor.h"

#include <algorithm>
#include <system_error>
#include <thread>
#include <unordered_set>

#include "fastzip/central_directory.h"
#include "platform/file_system.h"
#include "platform/threads.h"

namespace Arkova::FastZip {

std::uint64_t ParallelZipExtractor::ThreadCountFor(unsigned processorCount) {
    if (processorCount == 0) return 3;
    return processorCount > 2 ? processorCount - 1 : processorCount;
}

ParallelZipExtractor::ParallelZipExtractor(unsigned processorCount, std::uint64_t streamThreshold,
                                           std::size_t streamPieceSize)
    : threadCount_(ThreadCountFor(processorCount)),
      streamThreshold_(std::min(streamThreshold, kBufferSize)),
      streamPieceSize_(std::max<std::size_t>(streamPieceSize, 1)) {}

ParallelZipExtractor::ParallelZipExtractor() : ParallelZipExtractor(Platform::HardwareThreadCount()) {}

ParallelZipExtractor::~ParallelZipExtractor() {
    Cancel();
    inputPool_.ShutDown();
    outputPool_.ShutDown();
    index_.reader.Close();
}

void ParallelZipExtractor::Cancel() {
    cancel_ = true;
    inputPool_.WakeAll();
    outputPool_.WakeAll();
    // Taking each lock before notifying makes sure no waiter is between its check and its wait.
    { std::lock_guard<std::mutex> guard(workLock_); }
    workChanged_.notify_all();
    { std::lock_guard<std::mutex> guard(doneLock_); }
    doneChanged_.notify_all();
}

void ParallelZipExtractor::Fail(const std::wstring& message) {
    RecordError(errors_, message);
    Cancel();
}

ExtractStatistics ParallelZipExtractor::Statistics() const {
    return {pooledFiles_, streamedFiles_};
}

bool ParallelZipExtractor::RunAll(const std::wstring& archivePath, const std::wstring& destination) {
    return Run(archivePath, destination, nullptr);
}

bool ParallelZipExtractor::RunSelected(const std::wstring& archivePath, const std::wstring& destination,
                                       const std::vector<std::uint32_t>& positions) {
    return Run(archivePath, destination, &positions);
}

void ParallelZipExtractor::Reset(const std::wstring& destination) {
    cancel_ = false;
    readerDone_ = false;
    workersDone_ = false;
    bytesWritten_ = 0;
    currentSize_ = 0;
    ClearErrors(errors_);
    destination_ = destination;
    workQueue_.clear();
    doneList_.clear();
    knownFolders_.clear();
    lastFolder_.clear();
    pooledFiles_ = streamedFiles_ = 0;
}

bool ParallelZipExtractor::Run(const std::wstring& archivePath, const std::wstring& destination,
                               const std::vector<std::uint32_t>* positions) {
    Reset(destination);
    try {
        if (!ReadCentralDirectory(index_, errors_, archivePath)) {
            if (!ErrorText().empty()) return false;
            // An archive with no entries at all is extracted by doing nothing; a damaged one is an error.
            if (!index_.directoryComplete) {
                RecordError(errors_, L"The ZIP central directory is damaged: no entry could be read");
                return false;
            }
            index_.reader.Close();
            if (positions == nullptr) Platform::MakeDirectories(destination);
            return true;
        }
        listedEntries_ = index_.entries.size();
        if (positions != nullptr) {
            std::unordered_set<std::uint32_t> wanted(positions->begin(), positions->end());
            std::vector<ZipEntry> kept;
            std::uint64_t total = 0;
            for (std::size_t i = 0; i < index_.entries.size(); ++i) {
                if (wanted.count(static_cast<std::uint32_t>(i)) == 0) continue;
                total += index_.entries[i].uncompressedSize;
                kept.push_back(std::move(index_.entries[i]));
            }
            index_.entries = std::move(kept);
            index_.totalUncompressed = total;
            if (index_.entries.empty()) {
                index_.reader.Close();
                return true;
            }
        }
    } catch (const std::bad_alloc&) {
        index_.reader.Close();
        RecordError(errors_, L"Out of memory for the central directory");
        return false;
    }
    if (!Platform::MakeDirectories(destination)) {
        index_.reader.Close();
        RecordError(errors_, L"Failed to create the destination folder: " + destination);
        return false;
    }
    knownFolders_.insert(destination);
    std::size_t count = PoolBufferCount();
    if (inputPool_.Fill(count, bufferSize_) == 0 || outputPool_.Fill(count, bufferSize_) == 0) {
        RecordError(errors_, L"Out of memory for the buffer pools");
    } else {
        StartAndJoin();
    }
    FinishRun();
    return ErrorText().empty() && !cancel_;
}

void ParallelZipExtractor::StartAndJoin() {
    std::vector<std::thread> threads;
    activeWorkers_ = static_cast<int>(threadCount_);
    try {
        threads.reserve(static_cast<std::size_t>(threadCount_) + 2);
        threads.emplace_back(&ParallelZipExtractor::ReaderThread, this);
        for (unsigned i = 0; i < threadCount_; ++i) threads.emplace_back(&ParallelZipExtractor::WorkerThread, this, i);
        threads.emplace_back(&ParallelZipExtractor::WriterThread, this);
    } catch (const std::exception&) {
        Fail(L"Failed to start the extraction threads");
    }
    for (std::thread& thread : threads) thread.join();
}

void ParallelZipExtractor::FinishRun() {
    inputPool_.ShutDown();
    outputPool_.ShutDown();
    index_.reader.Close();
    // Whatever is still queued after a failure holds buffers of the pools just freed, or a partial file.
    for (auto& [sequence, task] : doneList_) Discard(task);
    workQueue_.clear();
    doneList_.clear();
    if (cancel_) return;
    if (!index_.directoryComplete) {
        RecordError(errors_, L"The ZIP central directory is damaged: only " + std::to_wstring(listedEntries_) +
                                 L" of " + std::to_wstring(index_.announcedEntries) + L" entries could be read");
    }
    // Writing files into a folder changes its time, so folder times are set last.
    for (const ZipEntry& entry : index_.entries) {
        if (entry.isDirectory && entry.modifiedTime != 0 && !entry.targetPath.empty()) {
            Platform::SetLastWriteTime(entry.targetPath, entry.modifiedTime);
        }
    }
}

}  // namespace Arkova::FastZip
