#pragma once
// A single-selection list of texts.

#include <functional>

#include "wingui/control.h"

namespace Arkova::WinGui {

class ListBox : public Control {
public:
    struct CreateArgs : ControlArgs {
        bool border = true;
    };

    ListBox() = default;
    bool Create(const CreateArgs& args);

    // Index of the new item, or -1.
    int AddItem(std::wstring_view text);
    int ItemCount() const;
    std::wstring ItemText(int index) const;
    void Clear();
    // -1 when nothing is chosen.
    int SelectedIndex() const;
    void SetSelectedIndex(int index);

    // LBN_SELCHANGE (user changes only) and LBN_DBLCLK.
    std::function<void()> onSelectionChanged;
    std::function<void()> onDoubleClick;

protected:
    bool OnCommand(int code) override;
};

}  // namespace Arkova::WinGui
