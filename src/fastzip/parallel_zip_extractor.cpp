#include "fastzip/parallel_zip_extractor.h"

#include <algorithm>
#include <system_error>
#include <thread>
#include <unordered_set>

#include "platform/file_system.h"
#include "platform/threads.h"

namespace Arkova::FastZip {

std::uint64_t ParallelZipExtractor::ThreadCountFor(unsigned processorCount) {
    if (processorCount == 0) return 3;
    return processorCount > 2 ? processorCount - 1 : processorCount;
}

ParallelZipExtractor::ParallelZipExtractor(unsigned processorCount, std::uint64_t streamThreshold,
                                           std::size_t streamPieceSize, std::uint64_t wholeDecodeBudget)
    : threadCount_(ThreadCountFor(processorCount)),
      streamThreshold_(std::min(streamThreshold, kBufferSize)),
      streamPieceSize_(std::max<std::size_t>(streamPieceSize, 1)),
      wholeDecodeBudget_(wholeDecodeBudget, cancel_) {}

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
    wholeDecodeBudget_.WakeAll();
    // Taking each lock before notifying makes sure no waiter is between its check and its wait.
    { std::lock_guard<std::mutex> guard(workLock_); }
    workChanged_.notify_all();
    { std::lock_guard<std::mutex> guard(doneLock_); }
    doneChanged_.notify_all();
}

void ParallelZipExtractor::Fail(const std::wstring& message) {
    RecordError(errors_, message);
    stopped_ = true;
    Cancel();
}

void ParallelZipExtractor::FailEntry(const ZipEntry& entry, DecodeResult result, const std::wstring& message) {
    EntryState& state = states_[static_cast<std::size_t>(&entry - index_.entries.data())];
    if (state.result != DecodeResult::Ok) return;
    state.result = result;
    try {
        state.message = message;
    } catch (const std::bad_alloc&) {
        // The entry still counts as failed; only its text is lost.
    }
}

bool ParallelZipExtractor::EntryFailed(const ZipEntry& entry) const {
    return states_[static_cast<std::size_t>(&entry - index_.entries.data())].result != DecodeResult::Ok;
}

std::vector<EntryError> ParallelZipExtractor::EntryErrors() const {
    std::vector<EntryError> errors;
    for (std::size_t i = 0; i < states_.size() && i < index_.entries.size(); ++i) {
        if (states_[i].result == DecodeResult::Ok) continue;
        errors.push_back({positions_[i], index_.entries[i].name, states_[i].result, states_[i].message});
    }
    return errors;
}

ExtractStatistics ParallelZipExtractor::Statistics() const {
    return {pooledFiles_, streamedFiles_, wholeDecodedFiles_};
}

bool ParallelZipExtractor::RunAll(const std::wstring& archivePath, const std::wstring& destination) {
    ZipEntrySource zip;
    return Run(archivePath, destination, nullptr, zip);
}

bool ParallelZipExtractor::RunAll(const std::wstring& archivePath, const std::wstring& destination,
                                  EntrySource& source) {
    return Run(archivePath, destination, nullptr, source);
}

bool ParallelZipExtractor::RunSelected(const std::wstring& archivePath, const std::wstring& destination,
                                       const std::vector<std::uint32_t>& positions) {
    ZipEntrySource zip;
    return Run(archivePath, destination, &positions, zip);
}

bool ParallelZipExtractor::RunSelected(const std::wstring& archivePath, const std::wstring& destination,
                                       const std::vector<std::uint32_t>& positions, EntrySource& source) {
    return Run(archivePath, destination, &positions, source);
}

bool ParallelZipExtractor::RunTest(const std::wstring& archivePath, EntrySource& source) {
    testing_ = true;
    bool ok = Run(archivePath, L"", nullptr, source);
    testing_ = false;
    return ok;
}

std::vector<EntryTestResult> ParallelZipExtractor::TestResults() const {
    std::vector<EntryTestResult> results;
    for (std::size_t i = 0; i < states_.size() && i < index_.entries.size(); ++i) {
        if (!states_[i].reached) continue;
        results.push_back({positions_[i], states_[i].result, states_[i].actualCrc});
    }
    return results;
}

void ParallelZipExtractor::Reset(const std::wstring& destination) {
    cancel_ = false;
    stopped_ = false;
    filesWritten_ = 0;
    readerDone_ = false;
    workersDone_ = false;
    bytesWritten_ = 0;
    ClearErrors(errors_);
    destination_ = destination;
    // A test writes nothing, and reports every file entry in archive order: one writer.
    writerCount_ = testing_ || threadCount_ < 2 ? 1 : 2;
    workQueue_.clear();
    doneList_.clear();
    knownFolders_.clear();
    lastFolder_.clear();
    states_.clear();
    positions_.clear();
    pooledFiles_ = streamedFiles_ = wholeDecodedFiles_ = 0;
}

// Lists the run's entries into the index; false when there is nothing to run (the result is then decided).
bool ParallelZipExtractor::ListEntries(const std::wstring& archivePath, const std::vector<std::uint32_t>* positions) {
    index_.entries.clear();
    index_.totalUncompressed = 0;
    index_.directoryComplete = false;
    listedEntries_ = 0;
    if (!source_->List(index_, errors_, archivePath)) return false;
    listedEntries_ = index_.entries.size();
    if (positions == nullptr) {
        positions_.resize(index_.entries.size());
        for (std::size_t i = 0; i < positions_.size(); ++i) positions_[i] = static_cast<std::uint32_t>(i);
    } else {
        std::unordered_set<std::uint32_t> wanted(positions->begin(), positions->end());
        std::vector<ZipEntry> kept;
        std::uint64_t total = 0;
        for (std::size_t i = 0; i < index_.entries.size(); ++i) {
            if (wanted.count(static_cast<std::uint32_t>(i)) == 0) continue;
            total += index_.entries[i].uncompressedSize;
            kept.push_back(std::move(index_.entries[i]));
            positions_.push_back(static_cast<std::uint32_t>(i));
        }
        index_.entries = std::move(kept);
        index_.totalUncompressed = total;
    }
    states_.resize(index_.entries.size());
    return !index_.entries.empty();
}

bool ParallelZipExtractor::Run(const std::wstring& archivePath, const std::wstring& destination,
                               const std::vector<std::uint32_t>* positions, EntrySource& source) {
    Reset(destination);
    source_ = &source;
    try {
        if (!ListEntries(archivePath, positions)) {
            index_.reader.Close();
            if (!ErrorText().empty()) {
                stopped_ = true;
                return false;
            }
            if (listedEntries_ == 0 && !index_.directoryComplete) {
                Fail(L"The ZIP central directory is damaged: no entry could be read");
                return false;
            }
            // An archive with no entries at all is extracted by doing nothing, as is a selection of none.
            if (positions == nullptr && !testing_) Platform::MakeDirectories(destination);
            return true;
        }
    } catch (const std::bad_alloc&) {
        index_.reader.Close();
        Fail(L"Out of memory for the central directory");
        return false;
    }
    if (!testing_) {
        if (!Platform::MakeDirectories(destination)) {
            index_.reader.Close();
            Fail(L"Failed to create the destination folder: " + destination);
            return false;
        }
        knownFolders_.insert(destination);
    }
    std::size_t count = PoolBufferCount();
    if (inputPool_.Fill(count, bufferSize_) == 0 || outputPool_.Fill(count, bufferSize_) == 0) {
        Fail(L"Out of memory for the buffer pools");
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
        threads.reserve(static_cast<std::size_t>(threadCount_) + 1 + writerCount_);
        threads.emplace_back(&ParallelZipExtractor::ReaderThread, this);
        for (unsigned i = 0; i < threadCount_; ++i) threads.emplace_back(&ParallelZipExtractor::WorkerThread, this, i);
        for (unsigned i = 0; i < writerCount_; ++i) threads.emplace_back(&ParallelZipExtractor::WriterThread, this, i);
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
        Fail(L"The ZIP central directory is damaged: only " + std::to_wstring(listedEntries_) + L" of " +
             std::to_wstring(index_.announcedEntries) + L" entries could be read");
    }
    // Nothing stopped the run: its message is that of the first entry that failed.
    for (const EntryState& state : states_) {
        if (state.result == DecodeResult::Ok) continue;
        RecordError(errors_, state.message);
        break;
    }
    // Writing files into a folder changes its time, so folder times are set last.
    for (const ZipEntry& entry : index_.entries) {
        if (entry.isDirectory && entry.modifiedTime != 0 && !entry.targetPath.empty()) {
            Platform::SetLastWriteTime(entry.targetPath, entry.modifiedTime);
        }
    }
}

}  // namespace Arkova::FastZip
