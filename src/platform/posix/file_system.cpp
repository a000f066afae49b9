#include "platform/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <vector>

#include "platform/posix/native_path.h"

namespace Arkova::Platform {

namespace {

std::uint32_t AttributesOf(const struct stat& st, const std::string& nativePath) {
    std::uint32_t attributes = S_ISDIR(st.st_mode) ? kAttributeDirectory : kAttributeArchive;
    if ((st.st_mode & S_IWUSR) == 0) attributes |= kAttributeReadOnly;
    std::size_t slash = nativePath.find_last_of('/');
    std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    if (nativePath.size() > nameStart + 1 && nativePath[nameStart] == '.') attributes |= kAttributeHidden;
    return attributes;
}

}  // namespace

bool PathExists(const std::wstring& path) {
    struct stat st {};
    return !path.empty() && ::lstat(NativePath(path).c_str(), &st) == 0;
}

bool FileAttributes(const std::wstring& path, std::uint32_t& attributes) {
    struct stat st {};
    std::string native = NativePath(path);
    if (path.empty() || ::stat(native.c_str(), &st) != 0) return false;
    attributes = AttributesOf(st, native);
    return true;
}

bool IsDirectory(const std::wstring& path) {
    std::uint32_t attributes = 0;
    return FileAttributes(path, attributes) && (attributes & kAttributeDirectory) != 0;
}

bool LastWriteTime(const std::wstring& path, std::uint64_t& fileTimeUtc) {
    struct stat st {};
    if (path.empty() || ::stat(NativePath(path).c_str(), &st) != 0) return false;
    fileTimeUtc = TimespecToFileTime(st.st_mtim);
    return true;
}

bool SetLastWriteTime(const std::wstring& path, std::uint64_t fileTimeUtc) {
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1] = FileTimeToTimespec(fileTimeUtc);
    return ::utimensat(AT_FDCWD, NativePath(path).c_str(), times, 0) == 0;
}

bool MakeDirectory(const std::wstring& path) {
    if (path.empty()) return false;
    return ::mkdir(NativePath(path).c_str(), 0777) == 0 || errno == EEXIST;
}

bool MakeDirectories(const std::wstring& path) {
    if (path.empty()) return false;
    if (IsDirectory(path)) return true;
    std::size_t separator = LastSeparator(path);
    if (separator != std::wstring::npos && separator > 0 && !MakeDirectories(path.substr(0, separator))) return false;
    MakeDirectory(path);
    return IsDirectory(path);
}

bool RemoveFile(const std::wstring& path) { return ::unlink(NativePath(path).c_str()) == 0; }

bool RemoveEmptyDirectory(const std::wstring& path) { return ::rmdir(NativePath(path).c_str()) == 0; }

bool RemoveTree(const std::wstring& path) {
    std::string native = NativePath(path);
    struct stat st {};
    if (::lstat(native.c_str(), &st) != 0) return errno == ENOENT;
    if (!S_ISDIR(st.st_mode)) return ::unlink(native.c_str()) == 0;
    DIR* dir = ::opendir(native.c_str());
    if (dir == nullptr) return false;
    std::vector<std::string> names;
    while (struct dirent* entry = ::readdir(dir)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(dir);
    bool ok = true;
    for (const std::string& name : names) ok = RemoveTree(Utf8ToWide(native + "/" + name)) && ok;
    return ::rmdir(native.c_str()) == 0 && ok;
}

bool RenamePath(const std::wstring& from, const std::wstring& to, bool replaceExisting) {
    std::string nativeFrom = NativePath(from);
    std::string nativeTo = NativePath(to);
    if (replaceExisting) return ::rename(nativeFrom.c_str(), nativeTo.c_str()) == 0;
    // link() refuses an existing target atomically, which rename() cannot; folders fall back to a checked rename.
    if (::link(nativeFrom.c_str(), nativeTo.c_str()) == 0) return ::unlink(nativeFrom.c_str()) == 0;
    if (errno == EEXIST) return false;
    struct stat st {};
    if (::lstat(nativeTo.c_str(), &st) == 0) return false;
    return ::rename(nativeFrom.c_str(), nativeTo.c_str()) == 0;
}

bool ListDirectory(const std::wstring& path, std::vector<DirectoryEntry>& entries) {
    entries.clear();
    std::string native = NativePath(path);
    DIR* dir = ::opendir(native.c_str());
    if (dir == nullptr) return false;
    while (struct dirent* entry = ::readdir(dir)) {
        std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        struct stat st {};
        bool isFolder = ::lstat((native + "/" + name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        entries.push_back({Utf8ToWide(name), isFolder});
    }
    ::closedir(dir);
    return true;
}

std::wstring StagingFolderFor(const std::wstring& destination) {
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch()).count();
    std::wstring base = JoinPath(destination, L".arkova-extract-" + std::to_wstring(ms));
    std::wstring path = base;
    for (unsigned n = 2; PathExists(path); ++n) path = base + L"-" + std::to_wstring(n);
    return path;
}

std::wstring TempDirectory() {
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = (tmp != nullptr && *tmp != '\0') ? tmp : "/tmp";
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return Utf8ToWide(folder);
}

std::wstring ExecutablePath() {
    std::vector<char> buffer(4096);
    ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0) return {};
    return Utf8ToWide(std::string(buffer.data(), static_cast<std::size_t>(n)));
}

}  // namespace Arkova::Platform
