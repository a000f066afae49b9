#include "preview/thumbnail_pipeline.h"

#include <chrono>

namespace Arkova {

namespace {

// How often a worker that waits for the decoder looks again; it wakes at once on Stop.
constexpr auto kDecoderRetry = std::chrono::milliseconds(2);

}  // namespace

void ThumbnailPipeline::Start(IArchiveDecoder& decoder, std::mutex& decoderMutex, std::vector<ThumbnailJob> jobs,
                              bool passwordKnown, ThumbnailCallbacks callbacks, int workerCount) {
    Stop();
    decoder_ = &decoder;
    decoderMutex_ = &decoderMutex;
    callbacks_ = std::move(callbacks);
    passwordKnown_ = passwordKnown;
    {
        std::lock_guard lock(jobMutex_);
        queue_.assign(jobs.begin(), jobs.end());
    }
    if (queue_.empty()) return;
    stop_ = false;
    liveWorkers_ = workerCount;
    for (int i = 0; i < workerCount; ++i) workers_.emplace_back([this] { WorkerLoop(); });
}

void ThumbnailPipeline::Stop() {
    {
        std::lock_guard lock(jobMutex_);
        stop_ = true;
        queue_.clear();
    }
    stopSignal_.notify_all();
    Join();
}

void ThumbnailPipeline::Join() {
    for (std::thread& worker : workers_) worker.join();
    workers_.clear();
}

bool ThumbnailPipeline::TakeJob(ThumbnailJob& job) {
    std::lock_guard lock(jobMutex_);
    if (stop_ || queue_.empty()) return false;
    job = queue_.front();
    queue_.pop_front();
    return true;
}

bool ThumbnailPipeline::AcquireDecoder(std::unique_lock<std::mutex>& decoderLock) {
    decoderLock = std::unique_lock(*decoderMutex_, std::defer_lock);
    while (!decoderLock.try_lock()) {
        std::unique_lock lock(jobMutex_);
        if (stopSignal_.wait_for(lock, kDecoderRetry, [this] { return stop_.load(); })) return false;
    }
    if (stop_) {
        decoderLock.unlock();
        return false;
    }
    return true;
}

void ThumbnailPipeline::RunJob(const ThumbnailJob& job) {
    if (job.isEncrypted && !passwordKnown_) return;
    std::vector<std::uint8_t> data;
    {
        std::unique_lock<std::mutex> decoderLock;
        if (!AcquireDecoder(decoderLock)) return;
        struct HeldByWorker {
            std::atomic<int>& holders;
            explicit HeldByWorker(std::atomic<int>& count) : holders(count) { ++holders; }
            ~HeldByWorker() { --holders; }
        } held(holders_);
        const DecodeResult result = decoder_->ExtractToMemory(job.index, data);
        if (result != DecodeResult::Ok || data.empty()) return;
    }
    if (stop_) return;
    const ThumbnailHandle thumbnail = callbacks_.make ? callbacks_.make(data) : 0;
    if (thumbnail == 0) return;
    // A stop that came during the decode must not see this thumbnail arrive after it returned.
    if (stop_ || !callbacks_.deliver || !callbacks_.deliver(job.row, thumbnail)) {
        if (callbacks_.discard) callbacks_.discard(thumbnail);
    }
}

void ThumbnailPipeline::WorkerLoop() {
    if (callbacks_.workerStarted) callbacks_.workerStarted();
    ThumbnailJob job;
    while (TakeJob(job)) {
        try {
            RunJob(job);
        } catch (...) {
            // An entry that cannot be read (out of memory, a failing callback) keeps its icon.
        }
    }
    if (callbacks_.workerEnding) callbacks_.workerEnding();
    --liveWorkers_;
}

}  // namespace Arkova
