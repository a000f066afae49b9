#include "archive/rar/read_ahead_pass.h"

#include <algorithm>
#include <new>

#include "archive/rar/unrar_archive.h"

namespace Arkova::Rar {

namespace {

// Decoded data waiting for the caller: enough to cover the writing of many small files, small beside the window
// the library itself holds.
constexpr std::size_t kQueueLimit = 4 * 1024 * 1024;
// The library may hand over a whole window at once; it is queued in pieces so the limit holds.
constexpr std::size_t kPieceLimit = 1024 * 1024;
// Data of one entry worth waking the caller for before the entry is complete.
constexpr std::size_t kWakeLimit = 256 * 1024;
// What a record costs beside its data, so that a run of empty entries is bounded too.
constexpr std::size_t kRecordCost = 256;

std::size_t CostOf(std::size_t length) { return length + kRecordCost; }

}  // namespace

ReadAheadPass::ReadAheadPass(std::wstring path, std::wstring password, std::vector<bool> decoded, std::uint32_t first)
    : path_(std::move(path)),
      password_(std::move(password)),
      decoded_(std::move(decoded)),
      next_(first),
      wanted_(first) {
    thread_ = std::thread([this] { Run(); });
}

ReadAheadPass::~ReadAheadPass() {
    Stop();
    if (thread_.joinable()) thread_.join();
    std::fill(password_.begin(), password_.end(), L'\0');
}

void ReadAheadPass::Stop() {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
    roomReady_.notify_all();
}

bool ReadAheadPass::WaitForRoom(std::unique_lock<std::mutex>& lock) {
    if (!stop_ && queuedBytes_ >= kQueueLimit) {
        workerWaiting_ = true;
        roomReady_.wait(lock, [this] { return stop_ || queuedBytes_ <= kQueueLimit / 2; });
        workerWaiting_ = false;
    }
    return !stop_;
}

void ReadAheadPass::Queued() {
    // The caller is woken once the entry it waits for is complete, or once enough data of it waits: one wake-up
    // per entry, not one per piece.
    if (consumerWaiting_ && (queue_.back().end || queuedBytes_ >= kWakeLimit)) dataReady_.notify_one();
}

void ReadAheadPass::Run() {
    int failure = kSuccess;
    try {
        Decode();
    } catch (const std::bad_alloc&) {
        failure = kNoMemory;
    } catch (...) {
        failure = kReadFailed;
    }
    if (failure != kSuccess) {
        // What was queued is dropped: the caller learns that the pass broke down, at the entry it waits for.
        Outcome outcome;
        outcome.code = failure;
        outcome.reached = false;
        outcome.endsPass = true;
        std::lock_guard<std::mutex> lock(mutex_);
        queue_.clear();
        queue_.push_back(Record{wanted_, true, {}, outcome});
        queuedBytes_ = CostOf(0);
        Queued();
    }
    std::lock_guard<std::mutex> lock(mutex_);
    finished_ = true;
    dataReady_.notify_all();
}

void ReadAheadPass::Decode() {
    Archive archive;
    Outcome failed;
    failed.reached = false;
    failed.endsPass = true;
    failed.code = archive.Open(path_, false, password_);
    if (failed.code != kSuccess) {
        failed.missingVolume = archive.MissingVolume();
        std::uint32_t first = 0;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            first = wanted_;
        }
        PushEnd(first, std::move(failed));
        return;
    }
    for (std::uint32_t position = 0; position < decoded_.size(); ++position) {
        Header header;
        int code = archive.ReadHeader(header);
        // Skipping a split file stops at its next piece in the next volume: that is no entry of its own.
        while (code == kSuccess && header.splitBefore) {
            code = archive.Skip();
            if (code == kSuccess) code = archive.ReadHeader(header);
        }
        bool wanted = false;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (stop_) return;
            wanted = position >= wanted_ && decoded_[position];
        }
        if (code == kSuccess && !wanted) code = archive.Skip();
        if (code != kSuccess) {
            failed.code = code;
            failed.missingVolume = archive.MissingVolume();
            PushEnd(position, std::move(failed));
            return;
        }
        if (!wanted) {
            PushEnd(position, Outcome{});
            continue;
        }
        Outcome outcome;
        outcome.code =
            archive.Test([&](const std::uint8_t* data, std::size_t length) { return Push(position, data, length); });
        // After a data error the library reads on to the next header; after anything else the pass is gone.
        outcome.endsPass = archive.SinkStopped() ||
                           (outcome.code != kSuccess && outcome.code != kBadData && outcome.code != kBadPassword);
        outcome.missingVolume = archive.MissingVolume();
        const bool ends = outcome.endsPass;
        PushEnd(position, std::move(outcome));
        if (ends) return;
    }
}

bool ReadAheadPass::Push(std::uint32_t position, const std::uint8_t* data, std::size_t length) {
    while (length > 0) {
        const std::size_t piece = std::min(length, kPieceLimit);
        Record record;
        record.position = position;
        record.data.assign(data, data + piece);
        std::unique_lock<std::mutex> lock(mutex_);
        if (!WaitForRoom(lock)) return false;
        queuedBytes_ += CostOf(piece);
        queue_.push_back(std::move(record));
        Queued();
        data += piece;
        length -= piece;
    }
    return true;
}

void ReadAheadPass::PushEnd(std::uint32_t position, Outcome outcome) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!WaitForRoom(lock)) return;
    queuedBytes_ += CostOf(0);
    queue_.push_back(Record{position, true, {}, std::move(outcome)});
    Queued();
}

ReadAheadPass::Outcome ReadAheadPass::Take(std::uint32_t position, const DataSink& sink) {
    std::unique_lock<std::mutex> lock(mutex_);
    wanted_ = std::max(wanted_, position);
    next_ = position + 1;
    for (;;) {
        if (queue_.empty() && !finished_) {
            consumerWaiting_ = true;
            dataReady_.wait(lock, [this] {
                return finished_ || (!queue_.empty() && (queue_.back().end || queuedBytes_ >= kWakeLimit));
            });
            consumerWaiting_ = false;
        }
        if (queue_.empty()) {
            // The pass ended without a word about this entry; it cannot be read on.
            Outcome outcome;
            outcome.code = kEndArchive;
            outcome.reached = false;
            outcome.endsPass = true;
            return outcome;
        }
        Record record = std::move(queue_.front());
        queue_.pop_front();
        queuedBytes_ -= CostOf(record.data.size());
        // The thread waits until half the queue is free: fewer, larger wake-ups.
        if (workerWaiting_ && queuedBytes_ <= kQueueLimit / 2) roomReady_.notify_one();
        if (record.end && record.outcome.endsPass && record.position < position) {
            // The pass broke down on an entry before this one: that is this entry's failure too.
            record.outcome.reached = false;
            return record.outcome;
        }
        if (record.position < position) continue;
        if (record.end) return record.outcome;
        lock.unlock();
        const bool stored = sink(record.data.data(), record.data.size());
        lock.lock();
        if (!stored) {
            stop_ = true;
            roomReady_.notify_all();
            Outcome outcome;
            outcome.code = kBadData;
            outcome.endsPass = true;
            outcome.sinkStopped = true;
            return outcome;
        }
    }
}

}  // namespace Arkova::Rar
