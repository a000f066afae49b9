#pragma once
// A drop-down list (or, with CBS_DROPDOWN in args.style, an editable combo box).

#include <functional>

#include "wingui/control.h"

namespace Arkova::WinGui {

class ComboBox : public Control {
public:
    struct CreateArgs : ControlArgs {
        bool editable = false;
        int dropHeight = 200;  // height of the open list, 96 DPI
    };

    ComboBox() = default;
    bool Create(const CreateArgs& args);

    // Index of the new item, or -1.
    int AddItem(std::wstring_view text);
    int ItemCount() const;
    std::wstring ItemText(int index) const;
    void Clear();
    // -1 when nothing is chosen.
    int SelectedIndex() const;
    void SetSelectedIndex(int index);

    // Runs when the user picks another item (CBN_SELCHANGE; not for SetSelectedIndex).
    std::function<void()> onSelectionChanged;

protected:
    bool OnCommand(int code) override;
};

}  // namespace Arkova::WinGui
