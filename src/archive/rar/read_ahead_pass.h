// One extraction pass over a RAR archive on a thread of its own, so that decoding the next entries overlaps with
// the caller writing the current one. The pass reads the archive once, front to back: entries before the one asked
// for are skipped (in a solid archive that still decodes them), the entry asked for and the ones after it are
// decoded ahead into a queue bounded to a few MiB, whatever the entries' sizes.
//
// Owned and called by one thread; the pass's own thread only runs the library. Destruction stops and joins it.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace Arkova::Rar {

class ReadAheadPass {
public:
    using DataSink = std::function<bool(const std::uint8_t* data, std::size_t length)>;

    // What became of an entry asked for.
    struct Outcome {
        int code = 0;                // the library's answer (Rar::Code)
        bool reached = true;         // false: the pass failed before the entry's header (kEndArchive: it ended first)
        bool endsPass = false;       // the archive cannot be read on in this pass
        bool sinkStopped = false;    // the sink returned false: the pass was stopped
        std::wstring missingVolume;  // the volume the library could not open; empty when none
    };

    // `decoded[i]` tells whether entry i's data is wanted at all (not for folders, nor for encrypted entries without
    // a password): the others are always skipped. The first entry asked for must be `first` or later.
    ReadAheadPass(std::wstring path, std::wstring password, std::vector<bool> decoded, std::uint32_t first);
    ~ReadAheadPass();
    ReadAheadPass(const ReadAheadPass&) = delete;
    ReadAheadPass& operator=(const ReadAheadPass&) = delete;

    // The first entry that can still be asked for; earlier ones need a new pass.
    std::uint32_t Next() const { return next_; }
    // Hands the entry's data to the sink, in order, and says how its decoding ended. Positions only grow.
    Outcome Take(std::uint32_t position, const DataSink& sink);

private:
    struct Record {
        std::uint32_t position = 0;
        bool end = false;  // the entry's outcome; otherwise a piece of its data
        std::vector<std::uint8_t> data;
        Outcome outcome;
    };

    void Run();
    void Decode();
    // Queues a piece of the entry's data, waiting for room; false once the pass is stopped.
    bool Push(std::uint32_t position, const std::uint8_t* data, std::size_t length);
    void PushEnd(std::uint32_t position, Outcome outcome);
    // With the lock held: false once the pass is stopped.
    bool WaitForRoom(std::unique_lock<std::mutex>& lock);
    void Queued();
    void Stop();

    const std::wstring path_;
    std::wstring password_;
    const std::vector<bool> decoded_;
    std::uint32_t next_ = 0;  // the caller's side only

    std::mutex mutex_;
    std::condition_variable dataReady_;  // the caller waits for data
    std::condition_variable roomReady_;  // the pass's thread waits for room, or to stop
    std::deque<Record> queue_;
    std::size_t queuedBytes_ = 0;
    std::uint32_t wanted_ = 0;  // entries before it are skipped
    bool stop_ = false;
    bool finished_ = false;
    bool consumerWaiting_ = false;
    bool workerWaiting_ = false;
    std::thread thread_;
};

}  // namespace Arkova::Rar
