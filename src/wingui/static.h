#pragma once
// A static text or icon. Clicks are reported only for SS_NOTIFY statics.

#include <functional>

#include "wingui/control.h"

namespace Arkova::WinGui {

class Static : public Control {
public:
    struct CreateArgs : ControlArgs {
        DWORD alignment = SS_LEFT;  // SS_LEFT, SS_CENTER, SS_RIGHT, or SS_ICON for an icon
        bool notify = false;        // SS_NOTIFY: clicks reach onClick
    };

    Static() = default;
    bool Create(const CreateArgs& args);

    // The control does not own the icon: keep it alive while it is shown. Returns the previous icon.
    HICON SetIcon(HICON icon);
    HICON GetIcon() const;

    std::function<void()> onClick;

protected:
    bool OnCommand(int code) override;
};

}  // namespace Arkova::WinGui
