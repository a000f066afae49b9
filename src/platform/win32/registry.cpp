#include "platform/registry.h"

#include <windows.h>

namespace Arkova::Platform {

namespace {

REGSAM SamOf(RegistryAccess access) {
    switch (access) {
        case RegistryAccess::Read:
            return KEY_READ;
        case RegistryAccess::Write:
            return KEY_WRITE;
        case RegistryAccess::ReadWrite:
            return KEY_READ | KEY_WRITE;
    }
    return KEY_READ;
}

HKEY HandleOf(void* handle) { return static_cast<HKEY>(handle); }

}  // namespace

RegistryKey::RegistryKey(RegistryKey&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }

RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = other.handle_;
        other.handle_ = nullptr;
    }
    return *this;
}

RegistryResult RegistryKey::Open(const std::wstring& path, RegistryAccess access) {
    Close();
    HKEY key = nullptr;
    LONG result = ::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, SamOf(access), &key);
    if (result == ERROR_SUCCESS) handle_ = key;
    return result;
}

RegistryResult RegistryKey::Create(const std::wstring& path, RegistryAccess access) {
    Close();
    HKEY key = nullptr;
    LONG result = ::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, SamOf(access),
                                    nullptr, &key, nullptr);
    if (result == ERROR_SUCCESS) handle_ = key;
    return result;
}

void RegistryKey::Close() {
    if (handle_ != nullptr) ::RegCloseKey(HandleOf(handle_));
    handle_ = nullptr;
}

RegistryResult RegistryKey::QueryValue(const std::wstring& name, std::uint32_t* type, void* data,
                                       std::uint32_t* size) const {
    if (handle_ == nullptr) return ERROR_INVALID_HANDLE;
    DWORD storedType = REG_NONE;
    DWORD bytes = size != nullptr ? *size : 0;
    LONG result = ::RegQueryValueExW(HandleOf(handle_), name.c_str(), nullptr, &storedType, static_cast<BYTE*>(data),
                                     size != nullptr ? &bytes : nullptr);
    if (type != nullptr) *type = storedType;
    if (size != nullptr) *size = bytes;
    return result;
}

RegistryResult RegistryKey::SetValue(const std::wstring& name, std::uint32_t type, const void* data,
                                     std::uint32_t size) {
    if (handle_ == nullptr) return ERROR_INVALID_HANDLE;
    return ::RegSetValueExW(HandleOf(handle_), name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
}

RegistryResult RegistryKey::DeleteValue(const std::wstring& name) {
    if (handle_ == nullptr) return ERROR_INVALID_HANDLE;
    return ::RegDeleteValueW(HandleOf(handle_), name.c_str());
}

RegistryResult RegistryKey::EnumSubKey(std::uint32_t index, std::wstring& name) const {
    if (handle_ == nullptr) return ERROR_INVALID_HANDLE;
    wchar_t buffer[kRegistryMaxKeyName + 1] = {};
    DWORD length = static_cast<DWORD>(kRegistryMaxKeyName + 1);
    LONG result = ::RegEnumKeyExW(HandleOf(handle_), index, buffer, &length, nullptr, nullptr, nullptr, nullptr);
    if (result == ERROR_SUCCESS) name.assign(buffer, length);
    return result;
}

RegistryResult DeleteKey(const std::wstring& path) { return ::RegDeleteKeyW(HKEY_CURRENT_USER, path.c_str()); }

}  // namespace Arkova::Platform
