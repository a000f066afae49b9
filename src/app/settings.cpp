#include "app/settings.h"

#include "platform/debug_output.h"
#include "platform/registry.h"

namespace Arkova {

namespace {

using Platform::RegistryAccess;
using Platform::RegistryKey;

// Debugger messages are formatted into a buffer of this many UTF-16 units, the NUL included.
constexpr std::size_t kDebugMessageUnits = 256;
// ReadString's buffer: 1024 bytes, 512 UTF-16 units.
constexpr std::uint32_t kStringBufferBytes = 1024;

void LogQueryFailure(const std::wstring& name, Platform::RegistryResult error) {
    std::wstring message = L"RegistryHelper::ReadDword - QueryDWORDValue failed for '" + name + L"', error=" +
                           std::to_wstring(error) + L"\n";
    // A long value name is cut off rather than overrunning the buffer.
    if (message.size() > kDebugMessageUnits - 1) message.resize(kDebugMessageUnits - 1);
    Platform::WriteDebugOutput(message);
}

bool IsStringType(std::uint32_t type) {
    return type == Platform::kRegistryTypeString || type == Platform::kRegistryTypeExpandString;
}

GlobalSettings& GlobalInstance() {
    static GlobalSettings settings;
    return settings;
}

}  // namespace

GlobalSettings& Globals() { return GlobalInstance(); }

bool ReadDword(const std::wstring& name, std::uint32_t& value) {
    RegistryKey key;
    if (key.Open(kSettingsKey, RegistryAccess::Read) != Platform::kRegistryOk) {
        Platform::WriteDebugOutput(L"RegistryHelper::ReadDword - key.Open failed\n");
        return false;
    }
    // Read into a local buffer, so that a value of another type never leaves half-read bytes in the caller's default.
    std::uint8_t bytes[4] = {};
    std::uint32_t type = Platform::kRegistryTypeNone;
    std::uint32_t size = sizeof bytes;
    Platform::RegistryResult result = key.QueryValue(name, &type, bytes, &size);
    if (result == Platform::kRegistryOk && (type != Platform::kRegistryTypeDword || size != sizeof bytes)) {
        result = Platform::kRegistryInvalidData;
    }
    if (result != Platform::kRegistryOk) {
        LogQueryFailure(name, result);
        return false;
    }
    value = bytes[0] | (static_cast<std::uint32_t>(bytes[1]) << 8) | (static_cast<std::uint32_t>(bytes[2]) << 16) |
            (static_cast<std::uint32_t>(bytes[3]) << 24);
    return true;
}

bool WriteDword(const std::wstring& name, std::uint32_t value) {
    RegistryKey key;
    if (key.Create(kSettingsKey, RegistryAccess::ReadWrite) != Platform::kRegistryOk) return false;
    return key.SetDword(name, value) == Platform::kRegistryOk;
}

bool ReadString(const std::wstring& name, std::wstring& text) {
    RegistryKey key;
    if (key.Open(kSettingsKey, RegistryAccess::Read) != Platform::kRegistryOk) return false;
    std::uint8_t buffer[kStringBufferBytes] = {};
    std::uint32_t type = Platform::kRegistryTypeNone;
    std::uint32_t size = sizeof buffer;
    if (key.QueryValue(name, &type, buffer, &size) != Platform::kRegistryOk || !IsStringType(type)) return false;
    if (size == 0) {
        text.clear();
        return true;
    }
    // Only a whole number of UTF-16 units ending in NUL is a complete string.
    if (size % 2 != 0 || buffer[size - 2] != 0 || buffer[size - 1] != 0) return false;
    text = Platform::RegistryStringFromBytes(buffer, size);
    return true;
}

bool WriteString(const std::wstring& name, const std::wstring& text) {
    RegistryKey key;
    if (key.Create(kSettingsKey, RegistryAccess::ReadWrite) != Platform::kRegistryOk) return false;
    return key.SetString(name, text) == Platform::kRegistryOk;
}

bool DeleteSetting(const std::wstring& name) {
    RegistryKey key;
    if (key.Open(kSettingsKey, RegistryAccess::Write) != Platform::kRegistryOk) return false;
    return key.DeleteValue(name) == Platform::kRegistryOk;
}

bool ReadFlag(const std::wstring& name, bool defaultValue) {
    std::uint32_t value = defaultValue ? 1 : 0;
    if (!ReadDword(name, value)) return defaultValue;
    return value != 0;
}

void LoadSettings(GlobalSettings& settings) {
    std::uint32_t value = 0;
    if (ReadDword(kSettingRememberWindowPos, value)) settings.rememberWindowPos = value != 0;
    if (settings.rememberWindowPos) {
        if (ReadDword(kSettingWindowX, value)) settings.windowX = static_cast<std::int32_t>(value);
        if (ReadDword(kSettingWindowY, value)) settings.windowY = static_cast<std::int32_t>(value);
        if (ReadDword(kSettingWindowW, value)) settings.windowW = static_cast<std::int32_t>(value);
        if (ReadDword(kSettingWindowH, value)) settings.windowH = static_cast<std::int32_t>(value);
        if (ReadDword(kSettingWindowMaximized, value)) settings.windowMaximized = value != 0;
    }
    std::wstring text;
    if (ReadString(kSettingWelcomeMsg, text)) settings.welcomeMsg = text;
    if (ReadDword(kSettingCodePage, value)) settings.codePage = static_cast<std::int32_t>(value);
}

void SaveSettings(const GlobalSettings& settings) {
    WriteDword(kSettingRememberWindowPos, settings.rememberWindowPos ? 1 : 0);
    if (settings.rememberWindowPos) {
        WriteDword(kSettingWindowX, static_cast<std::uint32_t>(settings.windowX));
        WriteDword(kSettingWindowY, static_cast<std::uint32_t>(settings.windowY));
        WriteDword(kSettingWindowW, static_cast<std::uint32_t>(settings.windowW));
        WriteDword(kSettingWindowH, static_cast<std::uint32_t>(settings.windowH));
        WriteDword(kSettingWindowMaximized, settings.windowMaximized ? 1 : 0);
    }
    WriteString(kSettingWelcomeMsg, settings.welcomeMsg);
    WriteDword(kSettingCodePage, static_cast<std::uint32_t>(settings.codePage));
}

}  // namespace Arkova
