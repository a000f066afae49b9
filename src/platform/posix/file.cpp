#include "platform/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/native_path.h"

namespace Arkova::Platform {

bool InputFile::Open(const std::wstring& path) {
    Close();
    int fd = ::open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        return false;
    }
    handle_ = fd;
    return true;
}

bool InputFile::OpenForParallelReads(const std::wstring& path) {
    if (!Open(path)) return false;
    ::posix_fadvise(static_cast<int>(handle_), 0, 0, POSIX_FADV_SEQUENTIAL);
    return true;
}

void InputFile::Close() {
    if (IsOpen()) ::close(static_cast<int>(handle_));
    handle_ = kInvalidHandle;
}

bool InputFile::Size(std::uint64_t& size) const {
    struct stat st {};
    if (!IsOpen() || ::fstat(static_cast<int>(handle_), &st) != 0) return false;
    size = static_cast<std::uint64_t>(st.st_size);
    return true;
}

bool InputFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t length, std::size_t& bytesRead) const {
    bytesRead = 0;
    if (!IsOpen()) return false;
    auto* out = static_cast<char*>(buffer);
    while (bytesRead < length) {
        ssize_t n = ::pread(static_cast<int>(handle_), out + bytesRead, length - bytesRead,
                            static_cast<off_t>(offset + bytesRead));
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) break;
        bytesRead += static_cast<std::size_t>(n);
    }
    return true;
}

bool OutputFile::Create(const std::wstring& path) {
    Close();
    int fd = ::open(NativePath(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    handle_ = fd;
    position_ = 0;
    return true;
}

CreateNewResult OutputFile::CreateNew(const std::wstring& path) {
    Close();
    int fd = ::open(NativePath(path).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        if (errno == EEXIST) return CreateNewResult::NameTaken;
        return errno == ENOENT ? CreateNewResult::NoFolder : CreateNewResult::Failed;
    }
    handle_ = fd;
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
        ssize_t n = ::pwrite(static_cast<int>(handle_), in, length, static_cast<off_t>(offset));
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        in += n;
        offset += static_cast<std::uint64_t>(n);
        length -= static_cast<std::size_t>(n);
    }
    return true;
}

bool OutputFile::Reserve(std::uint64_t size) {
#ifdef __linux__
    if (!IsOpen() || size == 0) return false;
    return ::fallocate(static_cast<int>(handle_), FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(size)) == 0;
#else
    (void)size;
    return false;
#endif
}

bool OutputFile::SetModifiedTime(std::uint64_t fileTimeUtc) {
    if (!IsOpen()) return false;
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1] = FileTimeToTimespec(fileTimeUtc);
    return ::futimens(static_cast<int>(handle_), times) == 0;
}

bool OutputFile::Close() {
    if (!IsOpen()) return true;
    bool ok = ::close(static_cast<int>(handle_)) == 0;
    handle_ = kInvalidHandle;
    return ok;
}

}  // namespace Arkova::Platform
