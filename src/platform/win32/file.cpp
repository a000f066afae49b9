#include "platform/file.h"

#include <windows.h>

#include <algorithm>

namespace Arkova::Platform {

namespace {

HANDLE AsHandle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

// ReadFile and WriteFile take 32-bit lengths; larger requests go in pieces of this size.
constexpr std::size_t kMaxIoChunk = 1u << 30;

// Each thread's event for the completion of its overlapped reads, made at its first read and closed with the thread.
class ReadEvent {
public:
    ReadEvent() : event_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~ReadEvent() {
        if (event_ != nullptr) ::CloseHandle(event_);
    }
    ReadEvent(const ReadEvent&) = delete;
    ReadEvent& operator=(const ReadEvent&) = delete;
    HANDLE Get() const { return event_; }

private:
    HANDLE event_;
};

HANDLE ThreadReadEvent() {
    thread_local ReadEvent event;
    return event.Get();
}

}  // namespace

bool InputFile::Open(const std::wstring& path) {
    Close();
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    handle_ = reinterpret_cast<std::intptr_t>(h);
    return true;
}

bool InputFile::OpenForParallelReads(const std::wstring& path) {
    Close();
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_FLAG_OVERLAPPED | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    overlapped_ = h != INVALID_HANDLE_VALUE;
    if (!overlapped_) {
        h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    }
    if (h == INVALID_HANDLE_VALUE) return false;
    handle_ = reinterpret_cast<std::intptr_t>(h);
    return true;
}

void InputFile::Close() {
    if (IsOpen()) ::CloseHandle(AsHandle(handle_));
    handle_ = kInvalidHandle;
    overlapped_ = false;
}

bool InputFile::Size(std::uint64_t& size) const {
    LARGE_INTEGER value{};
    if (!IsOpen() || !::GetFileSizeEx(AsHandle(handle_), &value)) return false;
    size = static_cast<std::uint64_t>(value.QuadPart);
    return true;
}

bool InputFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t length, std::size_t& bytesRead) const {
    bytesRead = 0;
    if (!IsOpen()) return false;
    auto* out = static_cast<char*>(buffer);
    while (bytesRead < length) {
        // The offset travels in the OVERLAPPED record, so concurrent readers never race on a file position.
        std::uint64_t position = offset + bytesRead;
        OVERLAPPED overlapped{};
        overlapped.Offset = static_cast<DWORD>(position & 0xFFFFFFFFu);
        overlapped.OffsetHigh = static_cast<DWORD>(position >> 32);
        DWORD want = static_cast<DWORD>(std::min(length - bytesRead, kMaxIoChunk));
        DWORD got = 0;
        if (overlapped_) {
            overlapped.hEvent = ThreadReadEvent();
            if (overlapped.hEvent == nullptr) return false;
        }
        if (!::ReadFile(AsHandle(handle_), out + bytesRead, want, &got, &overlapped)) {
            DWORD error = ::GetLastError();
            if (error == ERROR_IO_PENDING && !::GetOverlappedResult(AsHandle(handle_), &overlapped, &got, TRUE)) {
                error = ::GetLastError();
            } else if (error == ERROR_IO_PENDING) {
                error = ERROR_SUCCESS;
            }
            if (error == ERROR_HANDLE_EOF) break;
            if (error != ERROR_SUCCESS) return false;
        }
        if (got == 0) break;
        bytesRead += got;
    }
    return true;
}

bool OutputFile::Create(const std::wstring& path) {
    Close();
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    handle_ = reinterpret_cast<std::intptr_t>(h);
    position_ = 0;
    return true;
}

CreateNewResult OutputFile::CreateNew(const std::wstring& path) {
    Close();
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        DWORD error = ::GetLastError();
        if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS || error == ERROR_ACCESS_DENIED) {
            // A folder of that name answers "access denied"; the replacing path reports it properly.
            return CreateNewResult::NameTaken;
        }
        return error == ERROR_PATH_NOT_FOUND ? CreateNewResult::NoFolder : CreateNewResult::Failed;
    }
    handle_ = reinterpret_cast<std::intptr_t>(h);
    position_ = 0;
    return CreateNewResult::Created;
}

bool OutputFile::Write(const void* data, std::size_t length) {
    if (!WriteAt(position_, data, length)) return false;
    position_ += length;
    return true;
}

bool OutputFile::WriteAt(std::uint64_t offset, const void* data, std::size_t length) {
    if (!IsOpen()) return false;
    const auto* in = static_cast<const char*>(data);
    while (length > 0) {
        DWORD want = static_cast<DWORD>(std::min(length, kMaxIoChunk));
        DWORD written = 0;
        // Every write names its offset, so writes from two threads never race on the handle's file position.
        OVERLAPPED overlapped{};
        overlapped.Offset = static_cast<DWORD>(offset);
        overlapped.OffsetHigh = static_cast<DWORD>(offset >> 32);
        if (!::WriteFile(AsHandle(handle_), in, want, &written, &overlapped) || written == 0) return false;
        in += written;
        offset += written;
        length -= written;
    }
    return true;
}

bool OutputFile::Reserve(std::uint64_t size) {
    if (!IsOpen() || size == 0) return false;
    // An allocation below the end of the file would cut the file there.
    LARGE_INTEGER length{};
    if (!::GetFileSizeEx(AsHandle(handle_), &length) || static_cast<std::uint64_t>(length.QuadPart) >= size) {
        return false;
    }
    FILE_ALLOCATION_INFO allocation{};
    allocation.AllocationSize.QuadPart = static_cast<LONGLONG>(size);
    return ::SetFileInformationByHandle(AsHandle(handle_), FileAllocationInfo, &allocation, sizeof(allocation)) != 0;
}

bool OutputFile::SetModifiedTime(std::uint64_t fileTimeUtc) {
    if (!IsOpen()) return false;
    FILETIME time{static_cast<DWORD>(fileTimeUtc & 0xFFFFFFFFu), static_cast<DWORD>(fileTimeUtc >> 32)};
    return ::SetFileTime(AsHandle(handle_), nullptr, nullptr, &time) != 0;
}

bool OutputFile::Close() {
    if (!IsOpen()) return true;
    bool ok = ::CloseHandle(AsHandle(handle_)) != 0;
    handle_ = kInvalidHandle;
    return ok;
}

}  // namespace Arkova::Platform
