#include "archive/sevenzip/streams.h"

#include "archive/crc32.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace Arkova::SevenZip {

namespace {
constexpr HResult kNegativeSeek = static_cast<HResult>(0x80070083u);
constexpr HResult kReadFault = static_cast<HResult>(0x8007001Eu);
}  // namespace

FileInStream::FileInStream(Platform::InputFile file, std::uint64_t size) : file_(std::move(file)), size_(size) {
    buffer_.resize(kBufferSize);
}

bool FileInStream::Fill(std::uint64_t offset) {
    std::size_t got = 0;
    if (!file_.ReadAt(offset, buffer_.data(), buffer_.size(), got)) {
        bufferLength_ = 0;
        return false;
    }
    bufferOffset_ = offset;
    bufferLength_ = got;
    return true;
}

HResult FileInStream::Read(void* data, std::uint32_t size, std::uint32_t* processed) {
    if (processed != nullptr) *processed = 0;
    if (size == 0 || position_ >= size_) return kOk;
    std::uint64_t wanted = std::min<std::uint64_t>(size, size_ - position_);
    bool buffered = position_ >= bufferOffset_ && position_ < bufferOffset_ + bufferLength_;
    std::size_t got = 0;
    if (!buffered && wanted >= kBufferSize) {
        // Large reads go straight to the file.
        if (!file_.ReadAt(position_, data, static_cast<std::size_t>(wanted), got)) return kReadFault;
    } else {
        if (!buffered && !Fill(position_)) return kReadFault;
        std::size_t at = static_cast<std::size_t>(position_ - bufferOffset_);
        got = std::min<std::size_t>(static_cast<std::size_t>(wanted), bufferLength_ - at);
        std::memcpy(data, buffer_.data() + at, got);
    }
    position_ += got;
    if (processed != nullptr) *processed = static_cast<std::uint32_t>(got);
    return kOk;
}

HResult FileInStream::Seek(std::int64_t offset, std::uint32_t origin, std::uint64_t* newPosition) {
    std::int64_t base = 0;
    switch (origin) {
        case 0:
            base = 0;
            break;
        case 1:
            base = static_cast<std::int64_t>(position_);
            break;
        case 2:
            base = static_cast<std::int64_t>(size_);
            break;
        default:
            return kInvalidArgument;
    }
    if (offset < 0 && base + offset < 0) return kNegativeSeek;
    position_ = static_cast<std::uint64_t>(base + offset);
    if (newPosition != nullptr) *newPosition = position_;
    return kOk;
}

HResult FileInStream::GetSize(std::uint64_t* size) {
    if (size == nullptr) return kInvalidArgument;
    *size = size_;
    return kOk;
}

std::vector<std::uint8_t> FileInStream::Head(std::size_t length) {
    std::vector<std::uint8_t> head(static_cast<std::size_t>(std::min<std::uint64_t>(length, size_)));
    std::size_t got = 0;
    if (!file_.ReadAt(0, head.data(), head.size(), got)) got = 0;
    head.resize(got);
    position_ = 0;
    return head;
}

HResult MemoryOutStream::Write(const void* data, std::uint32_t size, std::uint32_t* processed) {
    if (processed != nullptr) *processed = 0;
    try {
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        data_.insert(data_.end(), bytes, bytes + size);
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    if (processed != nullptr) *processed = size;
    return kOk;
}

HResult CrcOutStream::Write(const void* data, std::uint32_t size, std::uint32_t* processed) {
    crc_ = Crc32(static_cast<const std::uint8_t*>(data), size, crc_);
    if (processed != nullptr) *processed = size;
    return kOk;
}

HResult FileOutStream::Write(const void* data, std::uint32_t size, std::uint32_t* processed) {
    if (processed != nullptr) *processed = 0;
    if (failed_ || !file_.Write(data, size)) {
        failed_ = true;
        return kFail;
    }
    if (processed != nullptr) *processed = size;
    return kOk;
}

bool FileOutStream::Finish(std::uint64_t modifiedTime) {
    if (!file_.IsOpen()) return false;
    if (!failed_ && modifiedTime != 0) file_.SetModifiedTime(modifiedTime);
    bool closed = file_.Close();
    return closed && !failed_;
}

}  // namespace Arkova::SevenZip
