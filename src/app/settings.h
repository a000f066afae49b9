// The settings of the per-user key Software\Arkova (HKEY_CURRENT_USER): single values read and written where they
// are used, the eight process-wide globals loaded once and saved as a block, and the recent destination folders.
// Every call opens and closes its own key; callers are on the user-interface thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Arkova {

// Value names of the key.
inline constexpr wchar_t kSettingRememberWindowPos[] = L"RememberWindowPos";
inline constexpr wchar_t kSettingWindowX[] = L"WindowX";
inline constexpr wchar_t kSettingWindowY[] = L"WindowY";
inline constexpr wchar_t kSettingWindowW[] = L"WindowW";
inline constexpr wchar_t kSettingWindowH[] = L"WindowH";
inline constexpr wchar_t kSettingWindowMaximized[] = L"WindowMaximized";
inline constexpr wchar_t kSettingWelcomeMsg[] = L"WelcomeMsg";
inline constexpr wchar_t kSettingCodePage[] = L"CodePage";
inline constexpr wchar_t kSettingUseParallelAllExtract[] = L"UseParallelAllExtract";
inline constexpr wchar_t kSettingUseParallelTempFolder[] = L"UseParallelTempFolder";
inline constexpr wchar_t kSettingCloseDialogOnFinished[] = L"CloseDialogOnFinished";
inline constexpr wchar_t kSettingOpenDestFolderOnFinished[] = L"OpenDestFolderOnFinished";

// Reads a REG_DWORD into `value`; true only when the value exists with that type. The caller sets its default
// first. Failures are written to the debugger output.
bool ReadDword(const std::wstring& name, std::uint32_t& value);
bool WriteDword(const std::wstring& name, std::uint32_t value);
// Reads a REG_SZ or REG_EXPAND_SZ of at most 512 UTF-16 units, its NUL included.
bool ReadString(const std::wstring& name, std::wstring& text);

// A DWORD flag with its default when absent or unreadable; any non-zero value is on.
bool ReadFlag(const std::wstring& name, bool defaultValue);

}  // namespace Arkova
