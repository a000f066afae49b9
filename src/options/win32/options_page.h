#pragma once
// One page of the options dialog: a child dialog that the dialog places in its page area, shows when its name is
// chosen in the page list, fills from the stored settings (Load) and stores back when "저장" is pressed (Save).
// The options dialog owns its pages; they live for one showing. UI thread only.

#include <windows.h>

#include <string>

#include "wingui/dialog.h"

namespace Arkova {

class OptionsPage : protected WinGui::Dialog {
public:
    ~OptionsPage() override;

    // Creates the page's child dialog, hidden, inside `pageRect` (pixels, the dialog's client coordinates).
    virtual bool Create(HWND dialog, HINSTANCE instance, const RECT& pageRect) = 0;
    // Puts the stored settings into the controls.
    virtual void Load() = 0;
    // Stores the controls' states.
    virtual void Save() = 0;

    const std::wstring& Name() const { return name_; }
    // nullptr until Create succeeded.
    HWND PageWindow() const { return Handle(); }
    HWND DialogWindow() const { return dialog_; }

protected:
    OptionsPage(std::wstring name, int templateId);

    // What every page's Create does first: the child dialog, moved into the rectangle and hidden.
    bool CreatePageWindow(HWND dialog, HINSTANCE instance, const RECT& pageRect);

private:
    std::wstring name_;
    HWND dialog_ = nullptr;
};

}  // namespace Arkova
