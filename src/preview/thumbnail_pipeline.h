// The thumbnail workers of the icon views: a queue of image entries, worker threads that extract each entry
// through the archive's decoder and turn its bytes into a thumbnail, and a stop flag. The front end supplies what
// a thumbnail is (make, deliver, discard); the pipeline only knows its opaque handle (an HBITMAP on Windows).
//
// Threads: Start, Stop, Join and the destructor are called from one thread (the UI thread). The callbacks run on
// the workers. Every use of the decoder by a worker holds `decoderMutex`, which whoever else uses the decoder holds
// too; a worker waiting for it still notices Stop, so Stop returns even while another thread keeps the decoder for
// a long time. The decoder must stay open until Stop or Join has returned.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "archive/archive_decoder.h"

namespace Arkova {

// One image row of the list to thumbnail.
struct ThumbnailJob {
    std::int32_t row = 0;
    std::uint32_t index = 0;  // the entry's `index`
    bool isEncrypted = false;
};

using ThumbnailHandle = std::uintptr_t;  // 0: none

struct ThumbnailCallbacks {
    // The entry's bytes -> a thumbnail, or 0 when they are no image it can read.
    std::function<ThumbnailHandle(const std::vector<std::uint8_t>& data)> make;
    // Hands a thumbnail to the front end, which owns it from then on; false when it could not (then discarded).
    std::function<bool(std::int32_t row, ThumbnailHandle thumbnail)> deliver;
    std::function<void(ThumbnailHandle thumbnail)> discard;
    // Around each worker's life, e.g. to set up COM on the thread.
    std::function<void()> workerStarted;
    std::function<void()> workerEnding;
};

class ThumbnailPipeline {
public:
    static constexpr int kWorkerCount = 4;

    ThumbnailPipeline() = default;
    ThumbnailPipeline(const ThumbnailPipeline&) = delete;
    ThumbnailPipeline& operator=(const ThumbnailPipeline&) = delete;
    ~ThumbnailPipeline() { Stop(); }

    // Stops any earlier run, queues the jobs and starts the workers. Encrypted entries are skipped unless
    // `passwordKnown`.
    void Start(IArchiveDecoder& decoder, std::mutex& decoderMutex, std::vector<ThumbnailJob> jobs, bool passwordKnown,
               ThumbnailCallbacks callbacks, int workerCount = kWorkerCount);
    // Sets the stop flag, wakes and joins every worker. Nothing is delivered once this returns.
    void Stop();
    // Waits until the workers have emptied the queue and ended.
    void Join();
    // Some worker has not ended yet (ended workers are joined by the next Stop, Join or Start).
    bool Running() const { return liveWorkers_.load() > 0; }
    // True only while a worker holds the decoder mutex; lets the UI thread tell a worker's brief hold from its own
    // use further up its stack.
    bool WorkerHoldsDecoder() const { return holders_.load() > 0; }

private:
    void WorkerLoop();
    bool TakeJob(ThumbnailJob& job);
    // Locks the decoder mutex, giving up when the stop flag is set.
    bool AcquireDecoder(std::unique_lock<std::mutex>& decoderLock);
    void RunJob(const ThumbnailJob& job);

    IArchiveDecoder* decoder_ = nullptr;
    std::mutex* decoderMutex_ = nullptr;
    ThumbnailCallbacks callbacks_;
    bool passwordKnown_ = false;

    std::mutex jobMutex_;
    std::condition_variable stopSignal_;
    std::deque<ThumbnailJob> queue_;
    std::atomic<bool> stop_{false};
    std::atomic<int> holders_{0};
    std::atomic<int> liveWorkers_{0};
    std::vector<std::thread> workers_;
};

}  // namespace Arkova
