// The reader stage: walks the entries in directory order, creates folders, checks what each local header claims,
// and hands each file entry on with its compressed bytes.
#include <algorithm>

#include "archive/entry_path.h"
#include "fastzip/local_header.h"
#include "fastzip/parallel_zip_extractor.h"
#include "fastzip/read_window.h"
#include "platform/file_system.h"

namespace Arkova::FastZip {

namespace {

// DEFLATE cannot expand by more than about 1032 to 1; a larger claim is a lie, not data.
constexpr std::uint64_t kMaxDeflateRatio = 1032;
constexpr std::uint64_t kDeflateSlack = 1024;

bool ClaimIsPossible(const ZipEntry& entry) {
    if (entry.method != kMethodDeflate || entry.uncompressedSize <= kDeflateSlack) return true;
    return (entry.uncompressedSize - kDeflateSlack) / kMaxDeflateRatio <= entry.compressedSize;
}

}  // namespace

bool ParallelZipExtractor::Streams(const ZipEntry& entry) const {
    std::uint64_t larger = std::max(entry.compressedSize, entry.uncompressedSize);
    // ALZ's bzip2 is only ever decoded whole; its source lists no entry larger than a buffer.
    if (entry.method == kMethodAlzBzip2) return larger > bufferSize_;
    return larger > streamThreshold_;
}

void ParallelZipExtractor::ReaderThread() noexcept {
    try {
        ReadEntries();
    } catch (const std::exception&) {
        Fail(L"Out of memory while reading the archive");
    }
    readerDone_ = true;
    { std::lock_guard<std::mutex> guard(workLock_); }
    workChanged_.notify_all();
}

void ParallelZipExtractor::ReadEntries() {
    ReadWindow window(index_.reader);
    window_ = &window;
    StartedEntries started;
    const bool startedWell = StartDominantEntries(started);
    ExtractTask batch;  // the pooled task being filled; no input buffer while none is
    for (ZipEntry& entry : index_.entries) {
        if (cancel_ || !startedWell) break;
        if (entry.isDirectory) {
            if (!testing_) PrepareFolder(entry);
            continue;
        }
        auto early =
            std::find_if(started.begin(), started.end(), [&](const auto& item) { return item.first == &entry; });
        Prepared prepared = early != started.end() ? early->second : PrepareFile(entry);
        if (prepared == Prepared::Stop) break;
        if (prepared == Prepared::Skip) {
            // A failed entry travels without data, so that its writer meets every file entry in archive order.
            batch.pieces.push_back({&entry, batch.inputLength, batch.outputCapacity, WriterOf(entry)});
            continue;
        }
        if (early != started.end() || Streams(entry)) {
            QueueBatch(batch);  // a task holds entries that follow one another
            if (early == started.end()) QueueStreamed(entry);
        } else if (!AddToBatch(entry, batch)) {
            break;
        }
    }
    if (!cancel_) QueueBatch(batch);
    ReleaseInput(batch);
    ReleaseOutput(batch);
    window_ = nullptr;
}

bool ParallelZipExtractor::StartDominantEntries(StartedEntries& started) {
    // An entry that alone holds a large share of the archive is queued first: in its turn in directory order it
    // could start last and keep one processor busy long after the others have finished.
    if (threadCount_ < 2) return true;
    const std::uint64_t share = index_.totalUncompressed / (2 * threadCount_);
    std::vector<ZipEntry*> dominant;
    for (ZipEntry& entry : index_.entries) {
        if (!entry.isDirectory && entry.uncompressedSize >= share && Streams(entry)) dominant.push_back(&entry);
    }
    std::stable_sort(dominant.begin(), dominant.end(),
                     [](const ZipEntry* a, const ZipEntry* b) { return a->uncompressedSize > b->uncompressedSize; });
    if (dominant.size() > threadCount_) dominant.resize(static_cast<std::size_t>(threadCount_));
    for (ZipEntry* entry : dominant) {
        Prepared prepared = PrepareFile(*entry);
        if (prepared == Prepared::Stop) return false;
        started.emplace_back(entry, prepared);
        if (prepared == Prepared::Go) QueueStreamed(*entry, true);
    }
    return true;
}

bool ParallelZipExtractor::AddToBatch(ZipEntry& entry, ExtractTask& batch) {
    // Enough files to keep the writers busy while the next buffer is inflated, few enough to stay responsive.
    constexpr std::size_t kMaxFilesPerTask = 512;
    bool full = batch.inputLength + entry.compressedSize > bufferSize_ ||
                batch.outputCapacity + entry.uncompressedSize > bufferSize_ || batch.pieces.size() >= kMaxFilesPerTask;
    if (batch.input != nullptr && full) QueueBatch(batch);
    if (batch.input == nullptr && !AcquireBuffers(batch)) return false;  // cancelled
    if (!window_->ReadExactAt(entry.dataOffset, batch.input + batch.inputLength,
                              static_cast<std::size_t>(entry.compressedSize))) {
        Fail(L"Failed to read compressed data");
        return false;
    }
    batch.pieces.push_back({&entry, batch.inputLength, batch.outputCapacity, WriterOf(entry)});
    batch.inputLength += entry.compressedSize;
    batch.outputCapacity += entry.uncompressedSize;
    ++pooledFiles_;
    return true;
}

void ParallelZipExtractor::QueueStreamed(ZipEntry& entry, bool startedFirst) {
    ExtractTask task;
    task.kind = BufferKind::Streamed;
    task.startedFirst = startedFirst;
    task.pieces.push_back({&entry, 0, 0, WriterOf(entry)});
    task.sequence = PlaceOf(entry);
    ++streamedFiles_;
    Queue(std::move(task));
}

void ParallelZipExtractor::QueueBatch(ExtractTask& batch) {
    if (batch.pieces.empty()) return;
    batch.sequence = PlaceOf(*batch.pieces.front().entry);
    Queue(std::move(batch));
    batch = ExtractTask{};
}

void ParallelZipExtractor::PrepareFolder(ZipEntry& entry) {
    if (!SafeOutputPath(destination_, entry.name, entry.targetPath)) {
        FailEntry(entry, DecodeResult::UnsafePath,
                  L"Refused the entry '" + entry.name + L"': its path would leave the destination folder");
        return;
    }
    if (!EnsureFolder(entry.targetPath)) {
        FailEntry(entry, DecodeResult::IoError, L"Failed to create folder: " + entry.targetPath);
    }
}

ParallelZipExtractor::Prepared ParallelZipExtractor::PrepareFile(ZipEntry& entry) {
    if (!testing_ && !SafeOutputPath(destination_, entry.name, entry.targetPath)) {
        FailEntry(entry, DecodeResult::UnsafePath,
                  L"Refused the entry '" + entry.name + L"': its path would leave the destination folder");
        return Prepared::Skip;
    }
    if ((entry.flags & kFlagEncrypted) != 0) {
        FailEntry(entry, DecodeResult::PasswordRequired, L"The entry '" + entry.name + L"' is encrypted");
        return Prepared::Skip;
    }
    if (source_->HasLocalHeaders()) {
        std::uint8_t header[kLocalHeaderSize];
        if (!window_->ReadExactAt(entry.localHeaderOffset, header, sizeof(header))) {
            Fail(L"Failed to read local file header");
            return Prepared::Stop;
        }
        if (!ApplyLocalHeader(header, entry)) {
            FailEntry(entry, DecodeResult::DecompressFailed, L"Failed to read local file header");
            return Prepared::Skip;
        }
        if (entry.method != kMethodStored && entry.method != kMethodDeflate && entry.method != kMethodBzip2) {
            FailEntry(entry, DecodeResult::UnsupportedFormat,
                      L"Unsupported compression method: " + std::to_wstring(entry.method));
            return Prepared::Skip;
        }
    }
    std::uint64_t fileSize = index_.reader.FileSize();
    if (entry.dataOffset > fileSize || entry.compressedSize > fileSize - entry.dataOffset) {
        FailEntry(entry, DecodeResult::DecompressFailed,
                  L"The data of '" + entry.name + L"' runs past the end of the archive");
        return Prepared::Skip;
    }
    if (entry.method == kMethodStored && entry.compressedSize != entry.uncompressedSize) {
        FailEntry(entry, DecodeResult::DecompressFailed,
                  L"The stored entry '" + entry.name + L"' is " + std::to_wstring(entry.compressedSize) +
                      L" bytes long but claims " + std::to_wstring(entry.uncompressedSize));
        return Prepared::Skip;
    }
    if (!ClaimIsPossible(entry)) {
        FailEntry(entry, DecodeResult::DecompressFailed,
                  L"The entry '" + entry.name + L"' claims more data than its compressed bytes can hold");
        return Prepared::Skip;
    }
    if (testing_) return Prepared::Go;
    std::size_t separator = Platform::LastSeparator(entry.targetPath);
    if (separator != std::wstring::npos) EnsureFolder(entry.targetPath.substr(0, separator));
    return Prepared::Go;
}

bool ParallelZipExtractor::EnsureFolder(const std::wstring& path) {
    // Files of one folder usually come one after another: compare with the last folder before hashing.
    if (path == lastFolder_) return true;
    if (knownFolders_.count(path) != 0) {
        lastFolder_ = path;
        return true;
    }
    if (!Platform::MakeDirectories(path)) return false;
    knownFolders_.insert(path);
    lastFolder_ = path;
    return true;
}

bool ParallelZipExtractor::AcquireBuffers(ExtractTask& task) {
    task.input = inputPool_.Take();
    if (task.input == nullptr) return false;
    task.output = outputPool_.Take();
    if (task.output == nullptr) {
        ReleaseInput(task);
        return false;
    }
    return true;
}

void ParallelZipExtractor::Queue(ExtractTask&& task) {
    {
        std::lock_guard<std::mutex> guard(workLock_);
        workQueue_.push_back(std::move(task));
    }
    workChanged_.notify_one();
}

}  // namespace Arkova::FastZip
