// File-system queries and changes. Paths are wide strings; on Windows "\" and "/" both separate, elsewhere "/".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Arkova::Platform {

#ifdef _WIN32
inline constexpr wchar_t kPathSeparator = L'\\';
#else
inline constexpr wchar_t kPathSeparator = L'/';
#endif

// Windows attribute bits, used on every platform so that archive attributes and file attributes compare directly.
inline constexpr std::uint32_t kAttributeReadOnly = 0x01;
inline constexpr std::uint32_t kAttributeHidden = 0x02;
inline constexpr std::uint32_t kAttributeDirectory = 0x10;
inline constexpr std::uint32_t kAttributeArchive = 0x20;

bool IsPathSeparator(wchar_t c);
// Joins a folder and a relative path with one separator.
std::wstring JoinPath(const std::wstring& folder, const std::wstring& relative);
// Position of the last separator, or npos.
std::size_t LastSeparator(const std::wstring& path);

// True when anything (file, folder, device) exists under the name.
bool PathExists(const std::wstring& path);
bool FileAttributes(const std::wstring& path, std::uint32_t& attributes);
bool IsDirectory(const std::wstring& path);
// Last-write time in FILETIME ticks (100 ns since 1601-01-01, UTC).
bool LastWriteTime(const std::wstring& path, std::uint64_t& fileTimeUtc);
bool SetLastWriteTime(const std::wstring& path, std::uint64_t fileTimeUtc);

// Creates one folder; succeeds also when a folder or file of that name already exists, like CreateDirectoryW with
// ERROR_ALREADY_EXISTS.
bool MakeDirectory(const std::wstring& path);
// Creates a folder and every missing parent; true when the folder exists afterwards.
bool MakeDirectories(const std::wstring& path);
bool RemoveFile(const std::wstring& path);
bool RemoveEmptyDirectory(const std::wstring& path);
// Removes a folder and everything below it; links are removed, never followed.
bool RemoveTree(const std::wstring& path);
// Renames a file, replacing an existing file at the target when `replaceExisting` is set.
bool RenamePath(const std::wstring& from, const std::wstring& to, bool replaceExisting);

struct DirectoryEntry {
    std::wstring name;
    bool isDirectory = false;  // a link to a folder counts as a file: it is moved or removed, never entered
};
// The names in a folder, "." and ".." left out, in no particular order.
bool ListDirectory(const std::wstring& path, std::vector<DirectoryEntry>& entries);

// A new, not yet existing folder in which a whole-archive extraction into `destination` stages its files: on
// Windows "Arkova_Extract_<ms since start>" in the temporary folder, elsewhere a hidden folder inside the
// destination, so that moving the results into place is a rename on the same file system.
std::wstring StagingFolderFor(const std::wstring& destination);

// The folder for temporary files, without a trailing separator.
std::wstring TempDirectory();
// Full path of the running program.
std::wstring ExecutablePath();

}  // namespace Arkova::Platform
