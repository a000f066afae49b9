// Inflating, bzip2-decoding or copying one large entry piece by piece, so that no buffer of the entry's size is ever
// needed. One streamer belongs to one thread and is reused for every entry that thread streams: its two piece buffers
// and its inflate state are allocated once. The data is read with positional reads, so streamers may run side by side.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "fastzip/memory_budget.h"
#include "fastzip/output_relay.h"
#include "fastzip/tail_offer.h"
#include "fastzip/zip_entry.h"
#include "fastzip/zip_file_reader.h"
#include "platform/memory.h"

struct libdeflate_decompressor;

namespace Arkova::FastZip {

class EntryStreamer {
public:
    // Receives each piece of output; false stops the entry (with `failure` set by the sink, or left empty for a
    // cancel). Null data stands for bytes that went to the place function already: the sink only moves past them.
    using Sink = std::function<bool(const std::uint8_t*, std::size_t)>;
    // Takes output ahead of the sink, at its offset in the entry, on another thread (TailOffer::Place).
    using Place = TailOffer::Place;
    // Makes the sink forget what it got, so that the entry can be delivered again from its start; false when that
    // failed (with `failure` set).
    using Restart = std::function<bool()>;

    // Without a board, no entry is decoded in parts: nobody could deliver them during the decode. A tail decoded
    // beside an entry (TailOffer) holds its output in `budget`, when given.
    EntryStreamer(const ZipFileReader& reader, std::size_t pieceSize, RelayBoard* board = nullptr,
                  MemoryBudget* budget = nullptr);
    ~EntryStreamer();
    EntryStreamer(const EntryStreamer&) = delete;
    EntryStreamer& operator=(const EntryStreamer&) = delete;

    // False when its buffers or inflate state could not be allocated.
    bool Ready() const;
    std::size_t PieceSize() const { return pieceSize_; }

    // What made the last run fail.
    enum class Failure { None, Read, Data, Crc, Sink, Method };

    // `entry` must have its data offset, sizes and method from the local header. True when the whole entry came out
    // with its stated size and CRC-32; else `failure` says why (empty after a cancel by the sink).
    bool Run(const ZipEntry& entry, const Sink& sink, std::wstring& failure);
    // The same for a deflated entry decoded in one call (libdeflate, several times zlib's speed) into a buffer of
    // its size, read whole into another: the caller has set aside its compressed plus its uncompressed size. Where
    // the buffers cannot be had, it inflates piece by piece instead. Without a decompressor, or for an entry that is
    // not deflated, it is Run.
    // An entry that DecodesInParts is decoded in parts (DeflatePieces) and handed to the sink through a relay on the
    // board, so that a helper may deliver each part while the next is decoded; should that fail, the sink is
    // restarted and the entry decoded in one call, which has the last word. Other entries, and any without
    // `restart`, go to the sink in one piece.
    // With `place`, the end of an entry decoded in parts may be handed to it instead of the sink.
    bool RunWhole(const ZipEntry& entry, libdeflate_decompressor* decompressor, const Sink& sink,
                  const Restart& restart, const Place& place, std::wstring& failure);
    // The memory RunWhole takes for an entry.
    static std::uint64_t WholeDecodeBytes(const ZipEntry& entry) {
        return entry.compressedSize + entry.uncompressedSize;
    }
    // Where decoding in parts starts to pay (the parts are a sixteenth of the entry, and no smaller than this), in
    // pieces of the streamer's piece size; small in tests, so that their entries are split into many parts.
    static constexpr std::uint64_t kSplitPartInPieces = 4;
    bool DecodesInParts(const ZipEntry& entry) const {
        return board_ != nullptr && entry.method == kMethodDeflate &&
               entry.compressedSize >= 2 * kSplitPartInPieces * pieceSize_;
    }
    Failure LastFailure() const { return lastFailure_; }
    // For a caller whose own step around the run failed.
    void SetFailure(Failure failure) { lastFailure_ = failure; }
    // The CRC-32 of what the last run produced.
    std::uint32_t Crc() const { return crc_; }

private:
    struct State;

    bool Begin(const ZipEntry& entry, std::wstring& failure);
    bool Finish(const ZipEntry& entry, std::wstring& failure);
    bool InflateWhole(const ZipEntry& entry, libdeflate_decompressor* decompressor, const Sink& sink,
                      const Restart& restart, const Place& place, std::wstring& failure);
    bool ReadWhole(const ZipEntry& entry, std::uint8_t* input, std::wstring& failure);
    bool InflateInOneCall(const ZipEntry& entry, libdeflate_decompressor* decompressor, Platform::LargeBuffer& input,
                          std::uint8_t* output, const Sink& sink, std::wstring& failure);
    enum class PartsOutcome { Delivered, Stopped, DecodeAgain };
    PartsOutcome InflateInParts(const ZipEntry& entry, libdeflate_decompressor* decompressor, std::uint8_t* input,
                                const Sink& sink, const Place& place, std::wstring& failure);
    bool Copy(const ZipEntry& entry, const Sink& sink, std::wstring& failure);
    bool Inflate(const ZipEntry& entry, const Sink& sink, std::wstring& failure);
    bool Bunzip(const ZipEntry& entry, const Sink& sink, std::wstring& failure);
    bool ReadPiece(std::size_t& length, std::wstring& failure);
    bool Deliver(const ZipEntry& entry, const Sink& sink, const std::uint8_t* data, std::size_t length,
                 std::wstring& failure);
    // Moves past `length` bytes with CRC-32 `crc` that went to the place function.
    bool DeliverPlaced(const ZipEntry& entry, const Sink& sink, std::size_t length, std::uint32_t crc,
                       std::wstring& failure);
    // Counts `length` bytes against the stated size and hands them to the sink (null data: placed already), the
    // CRC-32 of all output then being `crcAfter`.
    bool Pass(const ZipEntry& entry, const Sink& sink, const std::uint8_t* data, std::size_t length,
              std::uint32_t crcAfter, std::wstring& failure);

    const ZipFileReader& reader_;
    const std::size_t pieceSize_;
    RelayBoard* const board_;
    MemoryBudget* const budget_;
    std::unique_ptr<State> state_;
    std::uint64_t readOffset_ = 0;
    std::uint64_t leftToRead_ = 0;
    std::uint64_t produced_ = 0;
    std::uint32_t crc_ = 0;
    Failure lastFailure_ = Failure::None;
};

}  // namespace Arkova::FastZip
