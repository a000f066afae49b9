// What the destination folder dialog is asked and what it answers: the caller fills the inputs, the dialog the
// outputs (only when it was confirmed). A plain record; one per showing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Arkova {

struct DestinationRequest {
    // In.
    std::wstring archivePath;
    std::int32_t selectedCount = 0;  // rows selected in the item list
    bool allFilesPreset = true;      // preselect "전체 파일"; true exactly when no row is selected

    // Kept by the dialog while it is shown.
    std::wstring initialFolder;               // the archive's folder, else the desktop
    std::vector<std::wstring> recentFolders;  // the recent destinations, most recent first

    // Out.
    std::wstring destination;  // the folder text at OK, at most 259 characters
    bool extractAll = true;
    bool createSubfolder = false;
    bool keepPaths = true;
    bool newerOnly = false;
    bool deleteArchive = false;     // its check box is hidden: always false
    bool rememberSettings = false;  // its check box is hidden: always false
};

}  // namespace Arkova
