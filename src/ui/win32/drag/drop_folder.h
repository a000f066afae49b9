// Where a drop lands: the folder under the mouse pointer on the desktop or in an open folder window of the shell,
// found through the shell's list of its windows. UI thread, with COM initialised.
#pragma once

#include <windows.h>

#include <shobjidl.h>

#include <string>

namespace Arkova {

// The desktop (its folder icon under the pointer, or else the desktop folder), an open folder window (its folder
// icon under the pointer, or else the folder it shows), or the empty text for anything else.
std::wstring FindDropFolder();

// The file-system folder whose item cell (its position, `cell` wide and high) holds `point`, in the view's order;
// the empty text when the first cell holding it is not a file-system folder, or no cell holds it.
std::wstring FindFolderItemUnderPoint(IFolderView* view, POINT point, SIZE cell);

}  // namespace Arkova
