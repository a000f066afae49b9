#include "cli/config_command.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cwchar>
#include <cwctype>

#include "app/recent_folders.h"
#include "app/settings.h"
#include "cli/commands.h"
#include "platform/registry.h"

namespace Arkova::Cli {

namespace {

enum class SettingKind { Flag, Number, CodePage, Text };

struct SettingInfo {
    const wchar_t* name;
    SettingKind kind;
    std::int32_t defaultNumber;  // unused for Text
};

const GlobalSettings kDefaults{};

const SettingInfo kSettings[] = {
    {kSettingRememberWindowPos, SettingKind::Flag, kDefaults.rememberWindowPos ? 1 : 0},
    {kSettingWindowX, SettingKind::Number, kDefaults.windowX},
    {kSettingWindowY, SettingKind::Number, kDefaults.windowY},
    {kSettingWindowW, SettingKind::Number, kDefaults.windowW},
    {kSettingWindowH, SettingKind::Number, kDefaults.windowH},
    {kSettingWindowMaximized, SettingKind::Flag, kDefaults.windowMaximized ? 1 : 0},
    {kSettingWelcomeMsg, SettingKind::Text, 0},
    {kSettingCodePage, SettingKind::CodePage, kDefaults.codePage},
    {kSettingUseParallelAllExtract, SettingKind::Flag, kDefaultUseParallelAllExtract ? 1 : 0},
    {kSettingUseParallelTempFolder, SettingKind::Flag, kDefaultUseParallelTempFolder ? 1 : 0},
    {kSettingCloseDialogOnFinished, SettingKind::Flag, kDefaultCloseDialogOnFinished ? 1 : 0},
    {kSettingOpenDestFolderOnFinished, SettingKind::Flag, kDefaultOpenDestFolderOnFinished ? 1 : 0},
};

// The code pages the window's code-page menu offers; -1 is the reader's default, 0 the system ANSI code page.
const std::int32_t kCodePages[] = {-1,   0,    932,  936,  949,  950,  1250, 1251,
                                   1252, 1253, 1254, 1255, 1256, 1257, 874,  65001};

// ReadString's buffer holds 512 UTF-16 units with the NUL, so longer texts could not be read back.
constexpr std::size_t kMaxWelcomeUnits = 511;

bool SameName(const std::wstring& a, const wchar_t* b) {
    std::wstring other(b);
    return a.size() == other.size() && std::equal(a.begin(), a.end(), other.begin(), [](wchar_t x, wchar_t y) {
               return std::towlower(static_cast<wint_t>(x)) == std::towlower(static_cast<wint_t>(y));
           });
}

const SettingInfo* FindSetting(const std::wstring& name) {
    for (const SettingInfo& setting : kSettings) {
        if (SameName(name, setting.name)) return &setting;
    }
    return nullptr;
}

// The current value as text, with whether it is the default (absent or unreadable in the store).
std::wstring Describe(const SettingInfo& setting) {
    bool stored = false;
    std::wstring value;
    if (setting.kind == SettingKind::Text) {
        stored = ReadString(setting.name, value);
        if (!stored) value = kDefaultWelcomeMsg;
    } else {
        std::uint32_t number = static_cast<std::uint32_t>(setting.defaultNumber);
        stored = ReadDword(setting.name, number);
        if (!stored) number = static_cast<std::uint32_t>(setting.defaultNumber);
        value = setting.kind == SettingKind::Flag ? std::to_wstring(number)
                                                  : std::to_wstring(static_cast<std::int32_t>(number));
    }
    return std::wstring(setting.name) + L" = " + value + (stored ? L"" : L" (default)") + L"\n";
}

bool ParseInt32(const std::wstring& text, std::int32_t& value) {
    if (text.empty()) return false;
    std::size_t start = text[0] == L'-' || text[0] == L'+' ? 1 : 0;
    if (start == text.size()) return false;
    for (std::size_t i = start; i < text.size(); ++i) {
        if (text[i] < L'0' || text[i] > L'9') return false;
    }
    errno = 0;
    long long parsed = std::wcstoll(text.c_str(), nullptr, 10);
    if (errno != 0 || parsed < INT32_MIN || parsed > INT32_MAX) return false;
    value = static_cast<std::int32_t>(parsed);
    return true;
}

// Checks the value against the setting's kind; an empty text means it is acceptable.
std::wstring CheckValue(const SettingInfo& setting, const std::wstring& text, std::int32_t& number) {
    switch (setting.kind) {
        case SettingKind::Flag:
            if (text == L"0" || text == L"1") {
                number = text == L"1" ? 1 : 0;
                return {};
            }
            return L"takes 0 or 1";
        case SettingKind::Number:
            return ParseInt32(text, number) ? std::wstring() : L"takes a whole number from -2147483648 to 2147483647";
        case SettingKind::CodePage:
            if (ParseInt32(text, number) &&
                std::find(std::begin(kCodePages), std::end(kCodePages), number) != std::end(kCodePages)) {
                return {};
            }
            return L"takes one of -1 (the reader's default), 0 (the system code page), 932, 936, 949, 950, "
                   L"1250 to 1257, 874 or 65001";
        case SettingKind::Text:
            if (Platform::RegistryStringBytes(text).size() / 2 - 1 <= kMaxWelcomeUnits) return {};
            return L"holds at most 511 characters";
    }
    return {};
}

int ShowAll(Console& console) {
    for (const SettingInfo& setting : kSettings) console.Out(Describe(setting));
    for (std::size_t i = 0; i < kMaxRecentFolders; ++i) {
        std::wstring folder;
        if (ReadString(RecentFolderValueName(i), folder)) {
            console.Out(RecentFolderValueName(i) + L" = " + folder + L"\n");
        }
    }
    return kExitOk;
}

int Store(const SettingInfo& setting, const std::wstring& text, Console& console) {
    std::int32_t number = 0;
    std::wstring problem = CheckValue(setting, text, number);
    if (!problem.empty()) {
        console.Err(L"config: " + std::wstring(setting.name) + L" " + problem + L".\n");
        return kExitUsageOrOpen;
    }
    bool written = setting.kind == SettingKind::Text ? WriteString(setting.name, text)
                                                     : WriteDword(setting.name, static_cast<std::uint32_t>(number));
    if (!written) {
        console.Err(L"config: the settings could not be written.\n");
        return kExitSomeFailed;
    }
    console.Out(Describe(setting));
    return kExitOk;
}

}  // namespace

int RunConfig(const std::vector<std::wstring>& arguments, Console& console) {
    if (arguments.empty()) return ShowAll(console);
    if (arguments.size() > 2) {
        console.Err(L"config: usage: arkova-cli config [NAME [VALUE]]\n");
        return kExitUsageOrOpen;
    }
    const SettingInfo* setting = FindSetting(arguments[0]);
    if (setting == nullptr) {
        console.Err(L"config: unknown setting '" + arguments[0] + L"'. Run \"arkova-cli config\" to list them.\n");
        return kExitUsageOrOpen;
    }
    if (arguments.size() == 1) {
        console.Out(Describe(*setting));
        return kExitOk;
    }
    return Store(*setting, arguments[1], console);
}

}  // namespace Arkova::Cli
