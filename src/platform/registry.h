// Per-user registry keys and typed values under HKEY_CURRENT_USER, shaped like the Win32 registry API so that the
// settings and the shell integration read the same on every platform.
//
// On Windows this is the real registry. Elsewhere it is an SQLite database ($ARKOVA_REGISTRY, or else
// ${XDG_CONFIG_HOME:-~/.config}/arkova/registry.sqlite3) with the same semantics: key and value names compare
// without regard to case, the unnamed (default) value exists, data is kept as the exact bytes written (strings as
// UTF-16LE with their NUL), results are Win32 error codes, and every operation is one transaction, so several
// programs may use the store at once.
//
// A RegistryKey owns its handle and closes it on destruction. One object is used by one thread at a time; separate
// objects may be used from separate threads.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Arkova::Platform {

// Win32 error codes (LONG) as the registry functions return them.
using RegistryResult = long;
inline constexpr RegistryResult kRegistryOk = 0;
inline constexpr RegistryResult kRegistryNotFound = 2;       // ERROR_FILE_NOT_FOUND
inline constexpr RegistryResult kRegistryAccessDenied = 5;   // ERROR_ACCESS_DENIED
inline constexpr RegistryResult kRegistryInvalidHandle = 6;  // ERROR_INVALID_HANDLE
inline constexpr RegistryResult kRegistryInvalidData = 13;   // ERROR_INVALID_DATA
inline constexpr RegistryResult kRegistryInvalidParameter = 87;
inline constexpr RegistryResult kRegistryBadPathName = 161;   // ERROR_BAD_PATHNAME
inline constexpr RegistryResult kRegistryMoreData = 234;      // ERROR_MORE_DATA
inline constexpr RegistryResult kRegistryNoMoreItems = 259;   // ERROR_NO_MORE_ITEMS
inline constexpr RegistryResult kRegistryBadDatabase = 1009;  // ERROR_BADDB
inline constexpr RegistryResult kRegistryKeyDeleted = 1018;   // ERROR_KEY_DELETED

// Value types, numbered as Win32 numbers them.
inline constexpr std::uint32_t kRegistryTypeNone = 0;
inline constexpr std::uint32_t kRegistryTypeString = 1;        // REG_SZ
inline constexpr std::uint32_t kRegistryTypeExpandString = 2;  // REG_EXPAND_SZ
inline constexpr std::uint32_t kRegistryTypeBinary = 3;        // REG_BINARY
inline constexpr std::uint32_t kRegistryTypeDword = 4;         // REG_DWORD

// KEY_READ, KEY_WRITE or both.
enum class RegistryAccess { Read, Write, ReadWrite };

// Longest key name that sub-key enumeration returns, as the 256-character buffer of RegEnumKeyExW allows.
inline constexpr std::size_t kRegistryMaxKeyName = 255;

class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey() { Close(); }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    RegistryKey(RegistryKey&& other) noexcept;
    RegistryKey& operator=(RegistryKey&& other) noexcept;

    // RegOpenKeyExW(HKEY_CURRENT_USER, path): an existing key. Components are separated by "\".
    RegistryResult Open(const std::wstring& path, RegistryAccess access);
    // RegCreateKeyExW(HKEY_CURRENT_USER, path): the key, created with its missing parents when absent.
    RegistryResult Create(const std::wstring& path, RegistryAccess access);
    void Close();
    bool IsOpen() const { return handle_ != nullptr; }

    // RegQueryValueExW. `type` and `data` may be null. `size` holds the buffer's capacity in bytes and receives the
    // stored size; a buffer too small gives kRegistryMoreData. An empty name is the default value.
    RegistryResult QueryValue(const std::wstring& name, std::uint32_t* type, void* data, std::uint32_t* size) const;
    // RegSetValueExW with the exact bytes given.
    RegistryResult SetValue(const std::wstring& name, std::uint32_t type, const void* data, std::uint32_t size);
    RegistryResult SetDword(const std::wstring& name, std::uint32_t value);
    // REG_SZ (or REG_EXPAND_SZ) as UTF-16LE with its terminating NUL.
    RegistryResult SetString(const std::wstring& name, std::wstring_view text,
                             std::uint32_t type = kRegistryTypeString);
    RegistryResult DeleteValue(const std::wstring& name);
    // RegEnumKeyExW: the name of the sub-key at `index`; kRegistryNoMoreItems past the last.
    RegistryResult EnumSubKey(std::uint32_t index, std::wstring& name) const;

private:
    // The HKEY on Windows; elsewhere the SQLite connection, with the key's row and the access it was opened for.
    void* handle_ = nullptr;
#ifndef _WIN32
    // Open and Create: connects and finds (or makes) the key's row in one transaction.
    RegistryResult Attach(const std::wstring& path, RegistryAccess access, bool create);

    std::int64_t keyId_ = -1;
    RegistryAccess access_ = RegistryAccess::Read;
#endif
};

// RegDeleteKeyW(HKEY_CURRENT_USER, path): deletes a key that has no sub-keys, with its values.
RegistryResult DeleteKey(const std::wstring& path);

// Registry strings are UTF-16LE. The bytes of `text` with a terminating NUL, and back: the text up to the first
// NUL (or the end) of `count` bytes; an odd last byte is ignored.
std::vector<std::uint8_t> RegistryStringBytes(std::wstring_view text);
std::wstring RegistryStringFromBytes(const std::uint8_t* bytes, std::size_t count);

}  // namespace Arkova::Platform
