// The unpacked data of a single-stream archive (gzip, bzip2, xz, ...) as a seekable stream, so that the tar
// handler reads the tar inside it while it is being decompressed, without an intermediate file. A worker thread runs
// the outer handler's extraction into a bounded pipe; reading forward takes from the pipe, seeking forward skips,
// and seeking back further than the last bytes kept starts the decompression again from the beginning.
// The library calls Read and Seek from one thread at a time; the worker is stopped and joined by Stop or the
// destructor, on every path.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "archive/sevenzip/com_object.h"

namespace Arkova::SevenZip {

class Library;

// Bytes from the decompressing worker to the reader, at most a fixed amount in flight.
class BytePipe {
public:
    explicit BytePipe(std::size_t capacity) : buffer_(capacity) {}

    // The worker's side: false once the reader has closed the pipe.
    bool Write(const std::uint8_t* data, std::size_t size);
    // The worker is done; `result` is the outer handler's operation result for the item (kResultOk, ...).
    void Finish(std::int32_t result);
    // The reader's side: waits for data; 0 at the end.
    std::size_t Read(std::uint8_t* data, std::size_t size);
    // The reader gives up: a waiting writer returns false.
    void Close();
    std::optional<std::int32_t> Result() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::uint8_t> buffer_;
    std::size_t head_ = 0;
    std::size_t size_ = 0;
    bool closed_ = false;
    std::optional<std::int32_t> result_;
};

class DecompressedStream final : public ComObject<DecompressedStream, IInStream> {
public:
    // `outer` holds exactly one item, whose unpacked data this stream reads.
    DecompressedStream(std::shared_ptr<const Library> library, IInArchive* outer);
    ~DecompressedStream();

    HResult ARKOVA_COM_CALL Read(void* data, std::uint32_t size, std::uint32_t* processed) override;
    HResult ARKOVA_COM_CALL Seek(std::int64_t offset, std::uint32_t origin, std::uint64_t* newPosition) override;

    // Reads on to the end of the unpacked data, so that the outer handler has checked all of it.
    void Drain();
    // The outer handler's result once the worker of the current pass has finished; empty while it runs.
    std::optional<std::int32_t> OuterResult() const { return pipe_ ? pipe_->Result() : std::nullopt; }
    // Stops the worker; the stream reads nothing afterwards.
    void Stop();

private:
    void Start();
    // Takes up to `size` bytes from the pipe into `data` (or discards them when null), keeping the last ones seen.
    std::size_t Take(std::uint8_t* data, std::size_t size);

    std::shared_ptr<const Library> library_;
    ComPtr<IInArchive> outer_;
    std::shared_ptr<BytePipe> pipe_;
    std::thread worker_;
    bool stopped_ = false;
    std::uint64_t position_ = 0;  // where the next Read reads
    std::uint64_t consumed_ = 0;  // how much the current pass has delivered
    std::optional<std::uint64_t> size_;
    std::vector<std::uint8_t> recent_;  // the last bytes delivered, ending at consumed_
};

}  // namespace Arkova::SevenZip
