// The bar between two panes of the main window. Dragging it reports each new position, kept inside the range the
// owner's layout gives, in the owner's client coordinates. UI thread.
#pragma once

#include <functional>

#include "wingui/window.h"

namespace Arkova {

class Splitter : public WinGui::Window {
public:
    enum class Orientation { Horizontal = 0, Vertical = 1 };  // vertical: a vertical bar dragged left and right

    bool Create(HWND parent, int id, Orientation orientation);
    void SetRange(int minimum, int maximum);
    void SetPosition(int position) { position_ = position; }

    // The new position, only when it changed.
    std::function<void(int position)> onMoved;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    Orientation orientation_ = Orientation::Vertical;
    int position_ = 0;
    int minimum_ = 0;
    int maximum_ = 0;
    bool dragging_ = false;
};

}  // namespace Arkova
