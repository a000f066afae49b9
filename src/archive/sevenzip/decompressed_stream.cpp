#include "archive/sevenzip/decompressed_stream.h"

#include <algorithm>
#include <cstring>

#include "archive/sevenzip/callbacks.h"
#include "archive/sevenzip/library.h"

namespace Arkova::SevenZip {

namespace {

constexpr std::size_t kPipeCapacity = 1u << 20;
// Enough for the tar handler's look back over a header; older data is read again from the start.
constexpr std::size_t kRecentKept = 256u * 1024;
// What Seek reports as the end before the whole stream has been read: the tar handler only compares item ends
// against it, and meets the real end as a short read.
constexpr std::uint64_t kUnknownSize = 1ull << 62;
constexpr HResult kDataFault = static_cast<HResult>(0x80070017u);  // ERROR_CRC as an HRESULT

class PipeOutStream final : public ComObject<PipeOutStream, ISequentialOutStream> {
public:
    explicit PipeOutStream(std::shared_ptr<BytePipe> pipe) : pipe_(std::move(pipe)) {}
    HResult ARKOVA_COM_CALL Write(const void* data, std::uint32_t size, std::uint32_t* processed) override {
        if (processed != nullptr) *processed = 0;
        if (!pipe_->Write(static_cast<const std::uint8_t*>(data), size)) return kAbort;
        if (processed != nullptr) *processed = size;
        return kOk;
    }

private:
    std::shared_ptr<BytePipe> pipe_;
};

class PipeSink final : public ExtractSink {
public:
    explicit PipeSink(std::shared_ptr<BytePipe> pipe) : pipe_(std::move(pipe)) {}
    ISequentialOutStream* Open(std::uint32_t index) override {
        if (index != 0) return nullptr;
        ComPtr<PipeOutStream> stream(new PipeOutStream(pipe_));
        return stream.AddedReference();
    }
    void Finish(std::uint32_t index, std::int32_t result) override {
        if (index == 0) result_ = result;
    }
    std::optional<std::int32_t> Result() const { return result_; }

private:
    std::shared_ptr<BytePipe> pipe_;
    std::optional<std::int32_t> result_;
};

void Decompress(const std::shared_ptr<const Library>& library, IInArchive* outer,
                const std::shared_ptr<BytePipe>& pipe) {
    std::int32_t result = kResultDataError;
    try {
        PipeSink sink(pipe);
        CallbackState state(*library, std::wstring());
        ProgressRelay progress({});
        ComPtr<ExtractCallback> callback(new ExtractCallback(state, progress, sink));
        const std::uint32_t index = 0;
        HResult call = outer->Extract(&index, 1, 0, callback.Get());
        result = sink.Result().value_or(kResultDataError);
        if (result == kResultOk && state.DataAfterEnd()) result = kResultDataAfterEnd;
        if (call != kOk && result == kResultOk) result = kResultDataError;
    } catch (...) {
        result = kResultDataError;
    }
    pipe->Finish(result);
}

}  // namespace

bool BytePipe::Write(const std::uint8_t* data, std::size_t size) {
    std::unique_lock lock(mutex_);
    while (size > 0) {
        changed_.wait(lock, [this] { return closed_ || size_ < buffer_.size(); });
        if (closed_) return false;
        std::size_t tail = (head_ + size_) % buffer_.size();
        std::size_t piece = std::min({size, buffer_.size() - size_, buffer_.size() - tail});
        std::memcpy(buffer_.data() + tail, data, piece);
        size_ += piece;
        data += piece;
        size -= piece;
        changed_.notify_all();
    }
    return true;
}

void BytePipe::Finish(std::int32_t result) {
    std::lock_guard lock(mutex_);
    result_ = result;
    changed_.notify_all();
}

std::size_t BytePipe::Read(std::uint8_t* data, std::size_t size) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return closed_ || size_ > 0 || result_.has_value(); });
    std::size_t piece = std::min({size, size_, buffer_.size() - head_});
    std::memcpy(data, buffer_.data() + head_, piece);
    head_ = (head_ + piece) % buffer_.size();
    size_ -= piece;
    changed_.notify_all();
    return piece;
}

void BytePipe::Close() {
    std::lock_guard lock(mutex_);
    closed_ = true;
    changed_.notify_all();
}

std::optional<std::int32_t> BytePipe::Result() const {
    std::lock_guard lock(mutex_);
    return result_;
}

DecompressedStream::DecompressedStream(std::shared_ptr<const Library> library, IInArchive* outer)
    : library_(std::move(library)) {
    outer->AddRef();
    outer_ = ComPtr<IInArchive>(outer);
    Start();
}

DecompressedStream::~DecompressedStream() { Stop(); }

void DecompressedStream::Start() {
    pipe_ = std::make_shared<BytePipe>(kPipeCapacity);
    consumed_ = 0;
    recent_.clear();
    worker_ = std::thread(Decompress, library_, outer_.Get(), pipe_);
}

void DecompressedStream::Stop() {
    stopped_ = true;
    if (pipe_) pipe_->Close();
    if (worker_.joinable()) worker_.join();
}

std::size_t DecompressedStream::Take(std::uint8_t* data, std::size_t size) {
    std::size_t kept = recent_.size();
    recent_.resize(kept + size);
    std::size_t got = pipe_->Read(recent_.data() + kept, size);
    recent_.resize(kept + got);
    if (got == 0) {
        if (!size_) size_ = consumed_;
        return 0;
    }
    if (data != nullptr) std::memcpy(data, recent_.data() + kept, got);
    if (recent_.size() > 2 * kRecentKept) {
        recent_.erase(recent_.begin(), recent_.end() - static_cast<std::ptrdiff_t>(kRecentKept));
    }
    consumed_ += got;
    return got;
}

HResult DecompressedStream::Read(void* data, std::uint32_t size, std::uint32_t* processed) {
    if (processed != nullptr) *processed = 0;
    if (stopped_) return kAbort;
    if (size == 0) return kOk;
    try {
        std::uint64_t keptFrom = consumed_ - recent_.size();
        if (position_ < keptFrom) {
            pipe_->Close();
            worker_.join();
            Start();
        }
        // Bytes read before and still kept.
        if (position_ < consumed_ && position_ >= consumed_ - recent_.size()) {
            std::size_t at = recent_.size() - static_cast<std::size_t>(consumed_ - position_);
            std::size_t piece = std::min<std::size_t>(size, recent_.size() - at);
            std::memcpy(data, recent_.data() + at, piece);
            position_ += piece;
            if (processed != nullptr) *processed = static_cast<std::uint32_t>(piece);
            return kOk;
        }
        while (position_ > consumed_) {
            auto skip = static_cast<std::size_t>(std::min<std::uint64_t>(position_ - consumed_, 1u << 20));
            if (Take(nullptr, skip) == 0) break;
        }
        std::size_t got = position_ == consumed_ ? Take(static_cast<std::uint8_t*>(data), size) : 0;
        position_ += got;
        if (processed != nullptr) *processed = static_cast<std::uint32_t>(got);
        if (got == 0) {
            std::optional<std::int32_t> result = pipe_->Result();
            if (result && *result != kResultOk && *result != kResultDataAfterEnd) return kDataFault;
        }
        return kOk;
    } catch (...) {
        return kOutOfMemory;
    }
}

HResult DecompressedStream::Seek(std::int64_t offset, std::uint32_t origin, std::uint64_t* newPosition) {
    std::int64_t base = 0;
    switch (origin) {
        case 0:
            break;
        case 1:
            base = static_cast<std::int64_t>(position_);
            break;
        case 2:
            base = static_cast<std::int64_t>(size_.value_or(kUnknownSize));
            break;
        default:
            return kInvalidArgument;
    }
    if (offset < 0 && base + offset < 0) return kInvalidArgument;
    position_ = static_cast<std::uint64_t>(base + offset);
    if (newPosition != nullptr) *newPosition = position_;
    return kOk;
}

void DecompressedStream::Drain() {
    if (stopped_) return;
    while (Take(nullptr, 1u << 20) != 0) {
    }
}

}  // namespace Arkova::SevenZip
