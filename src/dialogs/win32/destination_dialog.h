#pragma once
// The modal dialog "압축이 해제될 폴더" (resource 134) that the extract command shows first: where to extract,
// all or the selected files, and the options. It can create a folder in the tree and let the user name it in
// place; on OK it creates a missing destination (after asking) and moves it to the front of the recent folders.
//
// UI thread only. Initialises COM on the thread for its own use when the caller has not.

#include <windows.h>

#include <cstdint>
#include <string>

#include "dialogs/destination_request.h"

namespace Arkova {

// Fills the request's inputs from the arguments, its initial folder (the archive's folder, else the desktop) and
// its recent folders (from the settings), and shows the dialog. 1 when confirmed with "확인": the outputs are set
// and the recent folders stored. 2 when cancelled or when the dialog could not be shown: the outputs keep their
// values.
int ShowDestinationDialog(DestinationRequest& request, HWND owner, HINSTANCE instance, const std::wstring& archivePath,
                          std::int32_t selectedCount, bool allFilesPreset);

}  // namespace Arkova
