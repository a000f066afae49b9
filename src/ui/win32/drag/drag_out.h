// Dragging rows of the item list out to the file manager, the desktop or any other drop target. The files are
// extracted only when the drop happens, on the first request for the data after it: into the folder under the
// pointer when that is a shell folder, otherwise into a new temporary folder whose files the target is given.
// Everything here runs on the UI thread (the drag loop calls back on it).
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "extract/extraction_job.h"

namespace Arkova {

// The drag loop's process-wide state: while it runs, files dropped on the main window are ignored; dropConfirmed is
// set when the button was released over a window that is not the program's own.
struct DragFlags {
    bool dragInProgress = false;
    bool dropConfirmed = false;
};
DragFlags& DragState();

// (items, destination folder, display folder) -> extracted; the main window's ExtractItems.
using DragExtractFunction = std::function<bool(const std::vector<DragItem>& items, const std::wstring& destination,
                                               const std::wstring& displayDestination)>;

// What a drag needs from the window it starts in. Every callable must stay safe to call after the drag loop ended
// (a drop target may keep the data and ask for it later) and answer failure once the window is gone.
struct DragOutSetup {
    DragExtractFunction extract;
    // The browsed folder when the drag started: the dropped files' paths are made relative to it, as the item
    // extraction places them.
    std::wstring currentFolder;
    // Makes a new temporary folder (like Ui::TemporaryFolders::MakeNew), removed when the program ends; empty on
    // failure.
    std::function<std::wstring(const std::wstring& wanted)> makeTemporaryFolder;
    // Where the drop extracts in place; empty for the temporary folder. FindDropFolder when not set.
    std::function<std::wstring()> findDropFolder;
};

// Runs the system's drag loop over the items (copy or move allowed). The drop effect, or 0 when nothing was
// dragged, the drag was cancelled or the loop failed.
DWORD RunDragOut(const std::vector<DragItem>& items, DragOutSetup setup, HWND sourceWindow);

}  // namespace Arkova
