// Where the main window and its children go, as arithmetic over plain rectangles, so the rules are tested without
// a window: the frame's placement from the saved rectangle, the children's layout from the client size (minimum
// sizes, splitter ranges, the search bar), and the welcome panel's two buttons.
#pragma once

#include <optional>

namespace Arkova {

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    int Right() const { return x + width; }
    int Bottom() const { return y + height; }
    bool operator==(const Rect&) const = default;
};

// --- The frame ---------------------------------------------------------------------------------------------------

struct SavedPlacement {
    bool remember = true;
    int x = -1, y = -1, width = -1, height = -1;
    bool maximized = false;
};

struct FramePlacement {
    Rect rect;
    bool maximized = false;
};

// `savedMonitorWork` is the work area of the monitor the saved rectangle touches (none when it touches none);
// `nearestWork` that of the monitor nearest the created frame, whose size is `created`.
FramePlacement PlaceFrame(const SavedPlacement& saved, std::optional<Rect> savedMonitorWork, int screenWidth,
                          int screenHeight, const Rect& created, const Rect& nearestWork);

// --- The children ------------------------------------------------------------------------------------------------

struct LayoutInput {
    int clientWidth = 0;
    int clientHeight = 0;
    int dpi = 96;
    int toolbarHeight = 0;  // 0 while the toolbar is hidden
    int statusHeight = 0;
    int treeWidth = 0;      // the vertical splitter's position
    int previewSplitY = 0;  // the horizontal splitter's position, in client coordinates
    bool previewVisible = false;
    bool searchVisible = false;
};

struct SplitterRange {
    int minimum = 0;
    int maximum = 0;
};

struct ChildLayout {
    Rect toolbar;
    Rect tree;
    Rect verticalSplitter;  // between tree and list
    Rect list;
    bool previewShown = false;
    Rect horizontalSplitter;  // between tree and preview
    Rect preview;
    bool searchShown = false;
    Rect searchEdit;
    Rect searchClear;
    SplitterRange verticalRange;
    SplitterRange horizontalRange;
    // The splitter positions clamped into their ranges, to be stored back.
    int treeWidth = 0;
    int previewSplitY = 0;
};

inline constexpr int kSplitterThickness = 5;  // pixels at every DPI

ChildLayout LayoutChildren(const LayoutInput& input);

// --- The welcome panel -------------------------------------------------------------------------------------------

struct WelcomeButtons {
    Rect open;
    Rect compress;
};

// The two buttons centred as a pair; nothing when the panel has no area.
std::optional<WelcomeButtons> PlaceWelcomeButtons(int panelWidth, int panelHeight, int dpi);

}  // namespace Arkova
