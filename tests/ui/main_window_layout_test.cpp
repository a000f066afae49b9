// The main window's arithmetic: where a saved frame comes back (snapped, centred, maximised), how the children
// share a small client area, and that splitter positions and the search bar stay inside the window.
#include <gtest/gtest.h>

#include "ui/main_window_layout.h"

namespace Arkova {
namespace {

const Rect kWork{0, 0, 1920, 1040};
const Rect kCreated{0, 0, 1280, 800};

TEST(MainWindowLayout, TheFrameComesBackOnScreenFromWhateverWasSaved) {
    // Nothing saved yet (-1), or remembering off: the created size, centred in the nearest work area.
    EXPECT_EQ(PlaceFrame({}, kWork, 1920, 1080, kCreated, kWork).rect, (Rect{320, 120, 1280, 800}));
    EXPECT_EQ(PlaceFrame({false, 10, 10, 500, 400, true}, kWork, 1920, 1080, kCreated, kWork).rect,
              (Rect{320, 120, 1280, 800}));
    // A rectangle whose right edge is less than 50 pixels into the work area snaps to its left edge.
    FramePlacement snapped = PlaceFrame({true, -760, 100, 800, 600, false}, kWork, 1920, 1080, kCreated, kWork);
    EXPECT_EQ(snapped.rect, (Rect{0, 100, 800, 600}));
    // Beyond the right and bottom edges: pulled back so the frame ends at them.
    EXPECT_EQ(PlaceFrame({true, 1900, 1020, 800, 600, false}, kWork, 1920, 1080, kCreated, kWork).rect,
              (Rect{1120, 440, 800, 600}));
    // Off every monitor: centred on the primary screen with the saved size, and still maximised if it was.
    FramePlacement lost = PlaceFrame({true, 5000, 5000, 800, 600, true}, std::nullopt, 1920, 1080, kCreated, kWork);
    EXPECT_EQ(lost.rect, (Rect{560, 240, 800, 600}));
    EXPECT_TRUE(lost.maximized);
}

TEST(MainWindowLayout, ChildrenShareTheClientAreaAndSplittersStayInRange) {
    LayoutInput input{1200, 700, 96, 58, 22, 300, 300, false, true};
    ChildLayout layout = LayoutChildren(input);
    const int body = 700 - 58 - 22;
    EXPECT_EQ(layout.toolbar, (Rect{0, 0, 1200, 58}));
    EXPECT_EQ(layout.tree, (Rect{0, 58, 300, body}));
    EXPECT_EQ(layout.verticalSplitter, (Rect{300, 58, 5, body}));
    EXPECT_EQ(layout.list, (Rect{305, 58, 895, body - 32})) << "the search bar takes 32 pixels under the list";
    EXPECT_EQ(layout.searchEdit, (Rect{309, 58 + body - 32 + 3, 1200 - 26 - 305 - 12, 26}));
    EXPECT_EQ(layout.searchClear, (Rect{1200 - 4 - 26, 58 + body - 32 + 3, 26, 26}));
    EXPECT_FALSE(layout.previewShown);
    EXPECT_EQ(layout.verticalRange.minimum, 100);
    EXPECT_EQ(layout.verticalRange.maximum, 1200 - 100 - 5);

    // A tree wider than the window allows is pulled back and stored so.
    input.treeWidth = 5000;
    EXPECT_EQ(LayoutChildren(input).treeWidth, 1095);

    // Narrower than both minimums: tree and list share the width in the ratio of their minimums.
    input = {200, 400, 96, 0, 20, 300, 0, false, false};
    layout = LayoutChildren(input);
    EXPECT_EQ(layout.verticalRange.minimum, 97);
    EXPECT_EQ(layout.treeWidth, 97);
    EXPECT_EQ(layout.list.width, 200 - 97 - 5);

    // The preview under the tree, its splitter kept between the two minimum heights; sizes scale with the DPI.
    input = {2400, 1400, 192, 116, 44, 600, 5000, true, false};
    layout = LayoutChildren(input);
    ASSERT_TRUE(layout.previewShown);
    const int bodyHigh = 1400 - 116 - 44;
    EXPECT_EQ(layout.horizontalRange.minimum, 100 + 116);
    EXPECT_EQ(layout.previewSplitY, bodyHigh + 116 - 100 - 5);
    EXPECT_EQ(layout.tree.height, layout.previewSplitY - 116);
    EXPECT_EQ(layout.preview, (Rect{0, layout.previewSplitY + 5, 600, 100}));
    EXPECT_EQ(layout.list.height, bodyHigh) << "no search bar";
}

TEST(MainWindowLayout, WelcomeButtonsAreCentredAsAPair) {
    auto buttons = PlaceWelcomeButtons(1000, 600, 96);
    ASSERT_TRUE(buttons);
    EXPECT_EQ(buttons->open, (Rect{335, 240, 150, 120}));
    EXPECT_EQ(buttons->compress, (Rect{515, 240, 150, 120}));
    EXPECT_EQ(PlaceWelcomeButtons(2000, 1200, 192)->compress.x, 1030);
    EXPECT_FALSE(PlaceWelcomeButtons(0, 600, 96));
}

}  // namespace
}  // namespace Arkova
