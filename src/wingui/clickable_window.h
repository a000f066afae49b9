#pragma once
// A window that behaves as a push button drawn by its owner: it tracks whether the mouse is over it and whether a
// press is under way, repaints on each change, and clicks only when a press that began on it ends inside it.
// Derived classes paint from Hovered() and Pressed(). UI thread only.

#include <functional>

#include "wingui/window.h"

namespace Arkova::WinGui {

class ClickableWindow : public Window {
public:
    std::function<void()> onClick;

protected:
    bool Hovered() const { return hovered_; }
    bool Pressed() const { return pressed_; }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    bool hovered_ = false;
    bool pressed_ = false;
};

}  // namespace Arkova::WinGui
