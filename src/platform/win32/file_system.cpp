#include "platform/file_system.h"

#include <windows.h>

#include <vector>

namespace Arkova::Platform {

namespace {

std::uint64_t ToTicks(const FILETIME& time) {
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

}  // namespace

bool PathExists(const std::wstring& path) {
    return !path.empty() && ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool FileAttributes(const std::wstring& path, std::uint32_t& attributes) {
    DWORD value = path.empty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesW(path.c_str());
    if (value == INVALID_FILE_ATTRIBUTES) return false;
    attributes = value;
    return true;
}

bool IsDirectory(const std::wstring& path) {
    std::uint32_t attributes = 0;
    return FileAttributes(path, attributes) && (attributes & kAttributeDirectory) != 0;
}

bool LastWriteTime(const std::wstring& path, std::uint64_t& fileTimeUtc) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (path.empty() || !::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return false;
    fileTimeUtc = ToTicks(data.ftLastWriteTime);
    return true;
}

bool SetLastWriteTime(const std::wstring& path, std::uint64_t fileTimeUtc) {
    // FILE_FLAG_BACKUP_SEMANTICS lets the same call stamp folders.
    HANDLE h = ::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    FILETIME time{static_cast<DWORD>(fileTimeUtc & 0xFFFFFFFFu), static_cast<DWORD>(fileTimeUtc >> 32)};
    bool ok = ::SetFileTime(h, nullptr, nullptr, &time) != 0;
    ::CloseHandle(h);
    return ok;
}

bool MakeDirectory(const std::wstring& path) {
    if (path.empty()) return false;
    return ::CreateDirectoryW(path.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS;
}

bool MakeDirectories(const std::wstring& path) {
    if (path.empty()) return false;
    if (IsDirectory(path)) return true;
    std::size_t separator = LastSeparator(path);
    // Stop at a drive root ("C:\") or the start of a UNC name: those exist or cannot be made.
    if (separator != std::wstring::npos && separator > 0 && path[separator - 1] != L':' &&
        !MakeDirectories(path.substr(0, separator))) {
        return false;
    }
    MakeDirectory(path);
    return IsDirectory(path);
}

bool RemoveFile(const std::wstring& path) { return ::DeleteFileW(path.c_str()) != 0; }

bool RemoveEmptyDirectory(const std::wstring& path) { return ::RemoveDirectoryW(path.c_str()) != 0; }

bool RemoveTree(const std::wstring& path) {
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return ::GetLastError() == ERROR_FILE_NOT_FOUND;
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        ::SetFileAttributesW(path.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    }
    // A junction or symbolic link is removed itself; what it points to is left alone.
    bool isFolder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    bool isLink = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    if (!isFolder) return ::DeleteFileW(path.c_str()) != 0;
    bool ok = true;
    if (!isLink) {
        WIN32_FIND_DATAW found{};
        HANDLE search = ::FindFirstFileW((path + L"\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                std::wstring name = found.cFileName;
                if (name != L"." && name != L"..") ok = RemoveTree(path + L"\\" + name) && ok;
            } while (::FindNextFileW(search, &found));
            ::FindClose(search);
        }
    }
    return ::RemoveDirectoryW(path.c_str()) != 0 && ok;
}

bool RenamePath(const std::wstring& from, const std::wstring& to, bool replaceExisting) {
    DWORD flags = replaceExisting ? MOVEFILE_REPLACE_EXISTING : 0;
    return ::MoveFileExW(from.c_str(), to.c_str(), flags) != 0;
}

bool ListDirectory(const std::wstring& path, std::vector<DirectoryEntry>& entries) {
    entries.clear();
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return ::GetLastError() == ERROR_FILE_NOT_FOUND;
    do {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
                        (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
        entries.push_back({name, isFolder});
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return true;
}

std::wstring StagingFolderFor(const std::wstring&) {
    std::wstring base = TempDirectory() + L"\\Arkova_Extract_" + std::to_wstring(::GetTickCount64());
    std::wstring path = base;
    for (unsigned n = 2; PathExists(path); ++n) path = base + L"_" + std::to_wstring(n);
    return path;
}

std::wstring TempDirectory() {
    std::vector<wchar_t> buffer(MAX_PATH + 2);
    DWORD n = ::GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
    if (n == 0 || n >= buffer.size()) return L".";
    std::wstring folder(buffer.data(), n);
    while (folder.size() > 3 && IsPathSeparator(folder.back())) folder.pop_back();
    return folder;
}

std::wstring ExecutablePath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) return std::wstring(buffer.data(), n);
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace Arkova::Platform
