// What the general page of the options dialog shows, as a plain record: read from the settings (the in-memory
// globals and the stored flags, each with its default) and written back by "저장". UI thread only, like the
// settings themselves.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "app/settings.h"

namespace Arkova {

// The longest welcome text the page keeps (UTF-16 units).
inline constexpr std::size_t kWelcomeMsgMaxLength = 255;

struct GeneralOptionsState {
    bool rememberWindowPos = true;
    // "탐색기 마우스 우클릭으로 압축파일 미리보기": no setting behind it, always shown ticked, never stored.
    bool contextMenuPreview = true;
    bool useParallelAllExtract = kDefaultUseParallelAllExtract;
    bool useParallelTempFolder = kDefaultUseParallelTempFolder;
    bool closeDialogOnFinished = kDefaultCloseDialogOnFinished;
    bool openDestFolderOnFinished = kDefaultOpenDestFolderOnFinished;
    std::wstring welcomeMsg;
};

// The remember flag and the welcome text from `globals`; the four extraction flags from the store.
GeneralOptionsState LoadGeneralOptions(const GlobalSettings& globals = Globals());

// Puts the remember flag and the (cut) welcome text into `globals`, writes all four extraction flags as 0 or 1
// whether they changed or not, then saves the globals as a block.
void SaveGeneralOptions(const GeneralOptionsState& state, GlobalSettings& globals = Globals());

// At most kWelcomeMsgMaxLength units; a surrogate pair at the cut goes as a whole, never half of it.
std::wstring LimitWelcomeMessage(std::wstring_view text);

}  // namespace Arkova
