// A plain visible top-level window standing in for the main window: the owner that job windows disable.
#pragma once

#include "wingui/window.h"

namespace Arkova::Testing {

class OwnerWindow : public WinGui::Window {
public:
    OwnerWindow() {
        CreateArgs args;
        args.className = L"ArkovaTestOwner";
        args.title = L"Arkova";
        args.style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
        args.x = 60;
        args.y = 40;
        args.width = 900;
        args.height = 640;
        Create(args);
    }
};

}  // namespace Arkova::Testing
