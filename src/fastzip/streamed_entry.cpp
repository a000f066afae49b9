#include "fastzip/streamed_entry.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <memory>
#include <new>

namespace Arkova::FastZip {

namespace {

using Buffer = std::unique_ptr<std::uint8_t[]>;

Buffer Allocate(std::size_t size) { return Buffer(new (std::nothrow) std::uint8_t[size]); }

// Releases zlib's state on every way out.
struct InflateStream {
    z_stream z{};
    bool ready = false;
    InflateStream() { ready = inflateInit2(&z, -MAX_WBITS) == Z_OK; }
    ~InflateStream() {
        if (ready) inflateEnd(&z);
    }
};

}  // namespace

StreamedEntry::StreamedEntry(const ZipFileReader& reader, const ZipEntry& entry, std::size_t pieceSize)
    : reader_(reader), entry_(entry), pieceSize_(pieceSize) {}

bool StreamedEntry::Run(const std::function<bool(const std::uint8_t*, std::size_t)>& sink, std::wstring& failure) {
    readOffset_ = entry_.dataOffset;
    leftToRead_ = entry_.compressedSize;
    produced_ = 0;
    crc_ = 0;
    bool ok = false;
    if (entry_.method == kMethodStored) {
        ok = Copy(sink, failure);
    } else if (entry_.method == kMethodDeflate) {
        ok = Inflate(sink, failure);
    } else {
        failure = L"Unsupported compression method: " + std::to_wstring(entry_.method);
        return false;
    }
    if (!ok) return false;
    if (produced_ != entry_.uncompressedSize) {
        failure = L"The entry '" + entry_.name + L"' is shorter than its stated size";
        return false;
    }
    if (crc_ != entry_.crc32) {
        failure = L"CRC mismatch in '" + entry_.name + L"': the data is damaged";
        return false;
    }
    return true;
}

bool StreamedEntry::ReadPiece(std::uint8_t* buffer, std::size_t& length, std::wstring& failure) {
    length = static_cast<std::size_t>(std::min<std::uint64_t>(leftToRead_, pieceSize_));
    if (!reader_.ReadExactAt(readOffset_, buffer, length)) {
        failure = L"Failed to read compressed data";
        return false;
    }
    readOffset_ += length;
    leftToRead_ -= length;
    return true;
}

bool StreamedEntry::Deliver(const std::function<bool(const std::uint8_t*, std::size_t)>& sink,
                            const std::uint8_t* data, std::size_t length, std::wstring& failure) {
    if (length == 0) return true;
    produced_ += length;
    // Checked as the data comes, so that a lying size cannot make us write without end.
    if (produced_ > entry_.uncompressedSize) {
        failure = L"The entry '" + entry_.name + L"' is longer than its stated size";
        return false;
    }
    crc_ = libdeflate_crc32(crc_, data, length);
    return sink(data, length);
}

bool StreamedEntry::Copy(const std::function<bool(const std::uint8_t*, std::size_t)>& sink, std::wstring& failure) {
    Buffer buffer = Allocate(pieceSize_);
    if (!buffer) {
        failure = L"Out of memory for the entry '" + entry_.name + L"'";
        return false;
    }
    while (leftToRead_ > 0) {
        std::size_t length = 0;
        if (!ReadPiece(buffer.get(), length, failure) || !Deliver(sink, buffer.get(), length, failure)) return false;
    }
    return true;
}

bool StreamedEntry::Inflate(const std::function<bool(const std::uint8_t*, std::size_t)>& sink,
                            std::wstring& failure) {
    Buffer input = Allocate(pieceSize_);
    Buffer output = Allocate(pieceSize_);
    InflateStream stream;
    if (!input || !output || !stream.ready) {
        failure = L"Out of memory for the entry '" + entry_.name + L"'";
        return false;
    }
    z_stream& z = stream.z;
    for (;;) {
        if (z.avail_in == 0 && leftToRead_ > 0) {
            std::size_t length = 0;
            if (!ReadPiece(input.get(), length, failure)) return false;
            z.next_in = input.get();
            z.avail_in = static_cast<uInt>(length);
        }
        z.next_out = output.get();
        z.avail_out = static_cast<uInt>(pieceSize_);
        int status = inflate(&z, Z_NO_FLUSH);
        std::size_t got = pieceSize_ - z.avail_out;
        bool stuck = status == Z_BUF_ERROR && got == 0 && z.avail_in == 0 && leftToRead_ == 0;
        if ((status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) || stuck) {
            failure = L"The deflated data of '" + entry_.name + L"' is damaged";
            return false;
        }
        if (!Deliver(sink, output.get(), got, failure)) return false;
        if (status == Z_STREAM_END) return true;
    }
}

}  // namespace Arkova::FastZip
