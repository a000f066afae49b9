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
// Stores a REG_SZ with its NUL, creating the key when needed.
bool WriteString(const std::wstring& name, const std::wstring& text);
// Removes a value; false when the key cannot be opened for writing or the value is absent.
bool DeleteSetting(const std::wstring& name);

// A DWORD flag with its default when absent or unreadable; any non-zero value is on.
bool ReadFlag(const std::wstring& name, bool defaultValue);

// The settings key under HKEY_CURRENT_USER.
inline constexpr wchar_t kSettingsKey[] = L"Software\\Arkova";
inline constexpr wchar_t kDefaultWelcomeMsg[] = L"초고속 통합압축 프로그램";

// Defaults of the flags that are read where they are used (the two parallel ones through JobSettings).
inline constexpr bool kDefaultUseParallelAllExtract = true;
inline constexpr bool kDefaultUseParallelTempFolder = true;
inline constexpr bool kDefaultCloseDialogOnFinished = false;
inline constexpr bool kDefaultOpenDestFolderOnFinished = false;

// The window and start settings, loaded once when the main window is created and saved together.
struct GlobalSettings {
    bool rememberWindowPos = true;
    std::int32_t windowX = -1;
    std::int32_t windowY = -1;
    std::int32_t windowW = -1;
    std::int32_t windowH = -1;
    bool windowMaximized = false;
    std::wstring welcomeMsg = kDefaultWelcomeMsg;
    // -1: the decoder's own default; 0: the system ANSI code page; otherwise a Windows code-page number.
    std::int32_t codePage = -1;
};

// The process-wide instance, used on the user-interface thread only.
GlobalSettings& Globals();

// Reads the stored values over `settings`; a value that cannot be read leaves its field as it was.
void LoadSettings(GlobalSettings& settings = Globals());
// Writes the block; the window rectangle only while rememberWindowPos is on. Failed writes are ignored.
void SaveSettings(const GlobalSettings& settings = Globals());

}  // namespace Arkova
