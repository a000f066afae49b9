// "Arkova 정보": the program's icon, name and version. Modal.
#pragma once

#include <windows.h>

namespace Arkova {

void ShowAboutBox(HWND owner);

}  // namespace Arkova
