#pragma once
// A single- or multi-line edit box.

#include <functional>

#include "wingui/control.h"

namespace Arkova::WinGui {

class Edit : public Control {
public:
    struct CreateArgs : ControlArgs {
        bool multiLine = false;
        bool password = false;
        bool readOnly = false;
        bool border = true;
    };

    Edit() = default;
    bool Create(const CreateArgs& args);

    void SetReadOnly(bool readOnly);
    void SetLimit(int characters);
    void SelectAll();

    // Runs on EN_CHANGE: whenever the text changed, by the user or by SetText.
    std::function<void()> onChange;

protected:
    bool OnCommand(int code) override;
};

}  // namespace Arkova::WinGui
