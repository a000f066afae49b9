#include "fastzip/entry_streamer.h"

#include <bzlib.h>
#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <new>
#include <optional>

#include "fastzip/deflate_pieces.h"
#include "fastzip/part_buffers.h"
#include "fastzip/tail_offer.h"
#include "fastzip/windowless_inflater.h"
#include "platform/memory.h"

namespace Arkova::FastZip {

struct EntryStreamer::State {
    std::unique_ptr<std::uint8_t[]> input;
    std::unique_ptr<std::uint8_t[]> output;
    z_stream z{};
    bool inflateReady = false;

    ~State() {
        if (inflateReady) inflateEnd(&z);
    }
};

EntryStreamer::EntryStreamer(const ZipFileReader& reader, std::size_t pieceSize, RelayBoard* board,
                             MemoryBudget* budget)
    : reader_(reader), pieceSize_(pieceSize), board_(board), budget_(budget), state_(new (std::nothrow) State) {
    if (!state_) return;
    state_->input.reset(new (std::nothrow) std::uint8_t[pieceSize_]);
    state_->output.reset(new (std::nothrow) std::uint8_t[pieceSize_]);
    state_->inflateReady = inflateInit2(&state_->z, -MAX_WBITS) == Z_OK;
}

EntryStreamer::~EntryStreamer() = default;

bool EntryStreamer::Ready() const { return state_ && state_->input && state_->output && state_->inflateReady; }

bool EntryStreamer::Begin(const ZipEntry& entry, std::wstring& failure) {
    lastFailure_ = Failure::Data;
    readOffset_ = entry.dataOffset;
    leftToRead_ = entry.compressedSize;
    produced_ = 0;
    crc_ = 0;
    if (Ready()) return true;
    failure = L"Out of memory for the entry '" + entry.name + L"'";
    return false;
}

bool EntryStreamer::Run(const ZipEntry& entry, const Sink& sink, std::wstring& failure) {
    if (!Begin(entry, failure)) return false;
    bool ok = false;
    if (entry.method == kMethodStored) {
        ok = Copy(entry, sink, failure);
    } else if (entry.method == kMethodDeflate) {
        ok = Inflate(entry, sink, failure);
    } else if (entry.method == kMethodBzip2) {
        ok = Bunzip(entry, sink, failure);
    } else {
        lastFailure_ = Failure::Method;
        failure = L"Unsupported compression method: " + std::to_wstring(entry.method);
        return false;
    }
    return ok && Finish(entry, failure);
}

bool EntryStreamer::RunWhole(const ZipEntry& entry, libdeflate_decompressor* decompressor, const Sink& sink,
                             const Restart& restart, const Place& place, std::wstring& failure) {
    if (entry.method != kMethodDeflate || decompressor == nullptr) return Run(entry, sink, failure);
    if (!Begin(entry, failure)) return false;
    return InflateWhole(entry, decompressor, sink, restart, place, failure) && Finish(entry, failure);
}

bool EntryStreamer::Finish(const ZipEntry& entry, std::wstring& failure) {
    if (produced_ != entry.uncompressedSize) {
        failure = L"The entry '" + entry.name + L"' is shorter than its stated size";
        return false;
    }
    if (entry.crcKnown && crc_ != entry.crc32) {
        lastFailure_ = Failure::Crc;
        failure = L"CRC mismatch in '" + entry.name + L"': the data is damaged";
        return false;
    }
    lastFailure_ = Failure::None;
    return true;
}

bool EntryStreamer::ReadPiece(std::size_t& length, std::wstring& failure) {
    length = static_cast<std::size_t>(std::min<std::uint64_t>(leftToRead_, pieceSize_));
    if (!reader_.ReadExactAt(readOffset_, state_->input.get(), length)) {
        lastFailure_ = Failure::Read;
        failure = L"Failed to read compressed data";
        return false;
    }
    readOffset_ += length;
    leftToRead_ -= length;
    return true;
}

bool EntryStreamer::Deliver(const ZipEntry& entry, const Sink& sink, const std::uint8_t* data, std::size_t length,
                            std::wstring& failure) {
    if (length == 0) return true;
    return Pass(entry, sink, data, length, libdeflate_crc32(crc_, data, length), failure);
}

bool EntryStreamer::DeliverPlaced(const ZipEntry& entry, const Sink& sink, std::size_t length, std::uint32_t crc,
                                  std::wstring& failure) {
    const auto combined = static_cast<std::uint32_t>(crc32_combine(crc_, crc, static_cast<z_off_t>(length)));
    return Pass(entry, sink, nullptr, length, combined, failure);
}

bool EntryStreamer::Pass(const ZipEntry& entry, const Sink& sink, const std::uint8_t* data, std::size_t length,
                         std::uint32_t crcAfter, std::wstring& failure) {
    produced_ += length;
    // Checked as the data comes, so that a lying size cannot make us write without end.
    if (produced_ > entry.uncompressedSize) {
        failure = L"The entry '" + entry.name + L"' is longer than its stated size";
        return false;
    }
    crc_ = crcAfter;
    if (sink(data, length)) return true;
    if (!failure.empty()) lastFailure_ = Failure::Sink;
    return false;
}

bool EntryStreamer::Copy(const ZipEntry& entry, const Sink& sink, std::wstring& failure) {
    while (leftToRead_ > 0) {
        std::size_t length = 0;
        if (!ReadPiece(length, failure) || !Deliver(entry, sink, state_->input.get(), length, failure)) return false;
    }
    return true;
}

bool EntryStreamer::ReadWhole(const ZipEntry& entry, std::uint8_t* input, std::wstring& failure) {
    leftToRead_ = 0;
    if (reader_.ReadExactAt(entry.dataOffset, input, static_cast<std::size_t>(entry.compressedSize))) return true;
    lastFailure_ = Failure::Read;
    failure = L"Failed to read compressed data";
    return false;
}

bool EntryStreamer::InflateWhole(const ZipEntry& entry, libdeflate_decompressor* decompressor, const Sink& sink,
                                 const Restart& restart, const Place& place, std::wstring& failure) {
    // Parts are decoded into buffers of their own: only a decode in one call needs the entry's size at once.
    const bool inParts = restart && DecodesInParts(entry);
    Platform::LargeBuffer input, output;
    if (!input.Allocate(static_cast<std::size_t>(entry.compressedSize)) ||
        (!inParts && !output.Allocate(static_cast<std::size_t>(entry.uncompressedSize)))) {
        return Inflate(entry, sink, failure);
    }
    if (!ReadWhole(entry, input.Data(), failure)) return false;
    if (inParts) {
        PartsOutcome outcome = InflateInParts(entry, decompressor, input.Data(), sink, place, failure);
        if (outcome != PartsOutcome::DecodeAgain) return outcome == PartsOutcome::Delivered;
        // The parts were patched into the compressed data, so it is read again.
        if (!restart() || !ReadWhole(entry, input.Data(), failure)) return false;
        produced_ = 0;
        crc_ = 0;
        lastFailure_ = Failure::Data;
        if (!output.Allocate(static_cast<std::size_t>(entry.uncompressedSize))) {
            input.Free();
            readOffset_ = entry.dataOffset;
            leftToRead_ = entry.compressedSize;
            return Inflate(entry, sink, failure);
        }
    }
    return InflateInOneCall(entry, decompressor, input, output.Data(), sink, failure);
}

bool EntryStreamer::InflateInOneCall(const ZipEntry& entry, libdeflate_decompressor* decompressor,
                                     Platform::LargeBuffer& input, std::uint8_t* output, const Sink& sink,
                                     std::wstring& failure) {
    std::size_t produced = 0;
    libdeflate_result result =
        libdeflate_deflate_decompress(decompressor, input.Data(), static_cast<std::size_t>(entry.compressedSize),
                                      output, static_cast<std::size_t>(entry.uncompressedSize), &produced);
    input.Free();  // not needed while the output is written
    if (result == LIBDEFLATE_INSUFFICIENT_SPACE) {
        failure = L"The entry '" + entry.name + L"' is longer than its stated size";
        return false;
    }
    if (result != LIBDEFLATE_SUCCESS) {
        failure = L"The deflated data of '" + entry.name + L"' is damaged";
        return false;
    }
    return Deliver(entry, sink, output, produced, failure);
}

EntryStreamer::PartsOutcome EntryStreamer::InflateInParts(const ZipEntry& entry, libdeflate_decompressor* decompressor,
                                                          std::uint8_t* input, const Sink& sink, const Place& place,
                                                          std::wstring& failure) {
    const auto deliver = [&](const std::uint8_t* data, std::size_t length) {
        return Deliver(entry, sink, data, length, failure);
    };
    const auto inputLength = static_cast<std::size_t>(entry.compressedSize);
    const auto outputSize = static_cast<std::size_t>(entry.uncompressedSize);
    const std::uint64_t part = std::max<std::uint64_t>(kSplitPartInPieces * pieceSize_, inputLength / 16);
    DeflatePieces pieces(decompressor, input, inputLength);
    // A tail worth a helper's time is at least two parts: its windowless start costs about a block or two. The search
    // for its start stalls the filler, so it is short.
    TailOffer tail(input, inputLength, outputSize, static_cast<std::size_t>(2 * part),
                   static_cast<std::size_t>(std::min<std::uint64_t>(part, 256 << 10)), budget_, place);
    // Parts are expected to pack as the whole entry does, give or take half.
    const double ratio = static_cast<double>(outputSize) / static_cast<double>(std::max<std::size_t>(inputLength, 1));
    PartBuffers buffers(static_cast<std::size_t>(std::min(1.5 * ratio * static_cast<double>(part),
                                                          static_cast<double>(outputSize))));
    OutputRelay relay(deliver, board_, &tail);  // delivers from the buffers: made last, it is gone before them
    std::uint64_t from = std::max<std::uint64_t>(part, DeflatePieces::kFirstStartBit / 8);
    bool decoded = true, atTheTail = false;
    while (!relay.Stopped()) {
        // A part ends at the first block start past its planned length. Where none is found within another such
        // length, the rest is one part: the search costs more than a few parts would save.
        const bool search = from + part / 2 < inputLength;
        const std::uint64_t end =
            tail.NextEnd(search ? from * 8 : 0, search ? (from + part) * 8 : 0, pieces.Produced());
        const std::size_t before = pieces.Produced();
        if (!buffers.Decode(pieces, end, outputSize - before, relay)) {
            decoded = false;
            break;
        }
        const std::size_t fresh = pieces.Produced() - before;
        buffers.Published(relay.Publish(pieces.OutputEnd() - fresh, fresh));
        // The part before goes out now unless a helper has it: the last part alone is left for a helper to take.
        if (!relay.DeliverWhileFree(buffers.PreviousTicket())) break;
        if (end == DeflatePieces::kToTheEnd) break;
        if ((atTheTail = end == tail.TailStart())) break;
        from = end / 8 + part;
    }
    if (!decoded || !atTheTail || relay.Stopped()) tail.Abandon();  // a helper decoding it need not finish first
    if (!relay.Finish()) return PartsOutcome::Stopped;
    if (decoded && atTheTail) {
        // The helper's tail follows this output when it came out and makes up the rest; else the decode goes on.
        const std::size_t produced = pieces.Produced();
        const std::uint8_t* window = produced >= kDeflateWindow ? pieces.OutputEnd() - kDeflateWindow : nullptr;
        if (tail.Join(window, outputSize - produced)) {
            const std::size_t settled = tail.SettledFrom(), length = outputSize - produced;
            if (!deliver(tail.Output(), settled) ||
                (settled < length && !DeliverPlaced(entry, sink, length - settled, tail.SettledCrc(), failure))) {
                return PartsOutcome::Stopped;
            }
        } else {
            Platform::LargeBuffer rest;
            decoded = rest.Reserve(outputSize - produced + pieces.WindowLength()) &&
                      pieces.DecodeNextInto(DeflatePieces::kToTheEnd, rest.Data(), rest.Size()) ==
                          DeflatePieces::Outcome::Decoded;
            const std::size_t fresh = pieces.Produced() - produced;
            if (decoded && !deliver(pieces.OutputEnd() - fresh, fresh)) return PartsOutcome::Stopped;
        }
    }
    // A start found by chance inside a block, or damaged data: the decode in one call decides which.
    if (!decoded || produced_ != entry.uncompressedSize || (entry.crcKnown && crc_ != entry.crc32)) {
        return PartsOutcome::DecodeAgain;
    }
    return PartsOutcome::Delivered;
}

bool EntryStreamer::Inflate(const ZipEntry& entry, const Sink& sink, std::wstring& failure) {
    z_stream& z = state_->z;
    if (inflateReset(&z) != Z_OK) {
        failure = L"The deflated data of '" + entry.name + L"' is damaged";
        return false;
    }
    z.avail_in = 0;  // what the last entry left unread is not this entry's
    for (;;) {
        if (z.avail_in == 0 && leftToRead_ > 0) {
            std::size_t length = 0;
            if (!ReadPiece(length, failure)) return false;
            z.next_in = state_->input.get();
            z.avail_in = static_cast<uInt>(length);
        }
        z.next_out = state_->output.get();
        z.avail_out = static_cast<uInt>(pieceSize_);
        int status = inflate(&z, Z_NO_FLUSH);
        std::size_t got = pieceSize_ - z.avail_out;
        bool stuck = status == Z_BUF_ERROR && got == 0 && z.avail_in == 0 && leftToRead_ == 0;
        if ((status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) || stuck) {
            failure = L"The deflated data of '" + entry.name + L"' is damaged";
            return false;
        }
        if (!Deliver(entry, sink, state_->output.get(), got, failure)) return false;
        if (status == Z_STREAM_END) return true;
    }
}

bool EntryStreamer::Bunzip(const ZipEntry& entry, const Sink& sink, std::wstring& failure) {
    bz_stream bz{};
    if (BZ2_bzDecompressInit(&bz, 0, 0) != BZ_OK) {
        failure = L"Out of memory for the entry '" + entry.name + L"'";
        return false;
    }
    struct End {
        bz_stream& bz;
        ~End() { BZ2_bzDecompressEnd(&bz); }
    } end{bz};
    for (;;) {
        if (bz.avail_in == 0 && leftToRead_ > 0) {
            std::size_t length = 0;
            if (!ReadPiece(length, failure)) return false;
            bz.next_in = reinterpret_cast<char*>(state_->input.get());
            bz.avail_in = static_cast<unsigned>(length);
        }
        bz.next_out = reinterpret_cast<char*>(state_->output.get());
        bz.avail_out = static_cast<unsigned>(pieceSize_);
        unsigned before = bz.avail_in;
        int status = BZ2_bzDecompress(&bz);
        std::size_t got = pieceSize_ - bz.avail_out;
        bool stuck = status == BZ_OK && got == 0 && before == bz.avail_in && leftToRead_ == 0;
        if ((status != BZ_OK && status != BZ_STREAM_END) || stuck) {
            failure = L"The bzip2 data of '" + entry.name + L"' is damaged";
            return false;
        }
        if (!Deliver(entry, sink, state_->output.get(), got, failure)) return false;
        if (status == BZ_STREAM_END) return true;
    }
}

}  // namespace Arkova::FastZip
