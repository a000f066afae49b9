// Where the options dialog's controls go when the dialog is resized, as arithmetic over pixel rectangles in the
// dialog's client coordinates. The page list keeps its width and grows downwards; the pages grow to the right and
// downwards; "저장" and "취소" keep their distance from the bottom-right corner. Every distance is the one the
// dialog had when it opened, so its first layout is the template's own at any DPI.
#pragma once

namespace Arkova {

struct LayoutRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const LayoutRect&) const = default;
};

struct OptionsLayout {
    int clientWidth = 0;
    int clientHeight = 0;
    LayoutRect pageList;
    LayoutRect page;
    LayoutRect saveButton;
    LayoutRect cancelButton;
};

// The layout at a new client size, from the layout recorded when the dialog opened. Sizes never go below zero.
OptionsLayout ArrangeOptions(const OptionsLayout& initial, int clientWidth, int clientHeight);

}  // namespace Arkova
