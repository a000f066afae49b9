#pragma once
// A push button, check box or radio button that handles its own click.

#include <functional>

#include "wingui/control.h"

namespace Arkova::WinGui {

class Button : public Control {
public:
    enum class Kind { Push, DefaultPush, CheckBox, Radio };

    struct CreateArgs : ControlArgs {
        Kind kind = Kind::Push;
        bool tabStop = true;
    };

    Button() = default;
    bool Create(const CreateArgs& args);

    bool Checked() const;
    void SetChecked(bool checked);
    // Presses the button as a mouse click would: the parent gets BN_CLICKED, check boxes toggle.
    void Click();

    // Runs on every BN_CLICKED, after check boxes and radio buttons changed state.
    std::function<void()> onClick;

protected:
    bool OnCommand(int code) override;
};

}  // namespace Arkova::WinGui
