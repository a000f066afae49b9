#include "options/general_options_state.h"

#include <algorithm>

namespace Arkova {

GeneralOptionsState LoadGeneralOptions(const GlobalSettings& globals) {
    GeneralOptionsState state;
    state.rememberWindowPos = globals.rememberWindowPos;
    state.welcomeMsg = globals.welcomeMsg;
    state.useParallelAllExtract = ReadFlag(kSettingUseParallelAllExtract, kDefaultUseParallelAllExtract);
    state.useParallelTempFolder = ReadFlag(kSettingUseParallelTempFolder, kDefaultUseParallelTempFolder);
    state.closeDialogOnFinished = ReadFlag(kSettingCloseDialogOnFinished, kDefaultCloseDialogOnFinished);
    state.openDestFolderOnFinished = ReadFlag(kSettingOpenDestFolderOnFinished, kDefaultOpenDestFolderOnFinished);
    return state;
}

void SaveGeneralOptions(const GeneralOptionsState& state, GlobalSettings& globals) {
    globals.rememberWindowPos = state.rememberWindowPos;
    globals.welcomeMsg = LimitWelcomeMessage(state.welcomeMsg);
    WriteDword(kSettingUseParallelAllExtract, state.useParallelAllExtract ? 1 : 0);
    WriteDword(kSettingUseParallelTempFolder, state.useParallelTempFolder ? 1 : 0);
    WriteDword(kSettingCloseDialogOnFinished, state.closeDialogOnFinished ? 1 : 0);
    WriteDword(kSettingOpenDestFolderOnFinished, state.openDestFolderOnFinished ? 1 : 0);
    SaveSettings(globals);
}

std::wstring LimitWelcomeMessage(std::wstring_view text) {
    std::size_t length = std::min(text.size(), kWelcomeMsgMaxLength);
    // wchar_t is UTF-16 on Windows only; elsewhere a character is never split.
    if constexpr (sizeof(wchar_t) == 2) {
        if (length < text.size() && length > 0 && text[length - 1] >= 0xD800 && text[length - 1] <= 0xDBFF) {
            --length;
        }
    }
    return std::wstring(text.substr(0, length));
}

}  // namespace Arkova
