#include "ui/main_window_layout.h"

#include <algorithm>

namespace Arkova {

namespace {

int Scaled(int value, int dpi) {
    // MulDiv rounds half away from zero; sizes here are positive.
    return static_cast<int>((static_cast<long long>(value) * dpi + 48) / 96);
}

// Shares `available` between two minimums in their ratio when both do not fit.
void ShareMinimums(int available, int& first, int& second) {
    if (available >= first + second) return;
    first = first + second <= 0 ? available / 2 : first * available / (first + second);
    second = available - first;
}

Rect CentredIn(const Rect& area, int width, int height) {
    return {area.x + (area.width - width) / 2, area.y + (area.height - height) / 2, width, height};
}

}  // namespace

FramePlacement PlaceFrame(const SavedPlacement& saved, std::optional<Rect> savedMonitorWork, int screenWidth,
                          int screenHeight, const Rect& created, const Rect& nearestWork) {
    if (!saved.remember || saved.width < 1 || saved.height < 1) {
        return {CentredIn(nearestWork, created.width, created.height), false};
    }
    Rect rect{saved.x, saved.y, saved.width, saved.height};
    if (savedMonitorWork) {
        const Rect& work = *savedMonitorWork;
        if (rect.x + rect.width < work.x + 50) rect.x = work.x;
        if (rect.y + rect.height < work.y + 50) rect.y = work.y;
        if (rect.x > work.Right() - 50) rect.x = work.Right() - rect.width;
        if (rect.y > work.Bottom() - 50) rect.y = work.Bottom() - rect.height;
    } else {
        rect.x = (screenWidth - rect.width) / 2;
        rect.y = (screenHeight - rect.height) / 2;
    }
    return {rect, saved.maximized};
}

ChildLayout LayoutChildren(const LayoutInput& in) {
    ChildLayout out;
    const int s = in.dpi;
    const int w = in.clientWidth;
    const int t = in.toolbarHeight;
    out.toolbar = {0, 0, w, t};
    const int b = std::max(1, in.clientHeight - t - in.statusHeight);

    int treeMin = Scaled(100, s), listMin = Scaled(100, s);
    int treeHeightMin = Scaled(50, s), previewMin = Scaled(50, s);
    ShareMinimums(w - kSplitterThickness, treeMin, listMin);

    out.verticalRange = {treeMin, std::max(treeMin, w - listMin - kSplitterThickness)};
    out.treeWidth = std::clamp(in.treeWidth, out.verticalRange.minimum, out.verticalRange.maximum);

    int treeHeight = b;
    out.previewSplitY = in.previewSplitY;
    if (in.previewVisible) {
        ShareMinimums(b - kSplitterThickness, treeHeightMin, previewMin);
        out.horizontalRange = {treeHeightMin + t, std::max(treeHeightMin + t, b + t - previewMin - kSplitterThickness)};
        out.previewSplitY = std::clamp(in.previewSplitY, out.horizontalRange.minimum, out.horizontalRange.maximum);
        treeHeight = out.previewSplitY - t;
        out.previewShown = true;
        out.horizontalSplitter = {0, out.previewSplitY, out.treeWidth, kSplitterThickness};
        out.preview = {0, out.previewSplitY + kSplitterThickness, out.treeWidth,
                       std::max(1, b + t - out.previewSplitY - kSplitterThickness)};
    }

    const int searchBand = in.searchVisible ? Scaled(32, s) : 0;
    out.tree = {0, t, std::max(1, out.treeWidth), std::max(1, treeHeight)};
    out.verticalSplitter = {out.treeWidth, t, kSplitterThickness, b};
    const int listX = out.treeWidth + kSplitterThickness;
    out.list = {listX, t, std::max(1, w - listX), std::max(1, b - searchBand)};

    if (in.searchVisible) {
        const int gap = Scaled(4, s), height = Scaled(26, s);
        const int y = t + out.list.height + (Scaled(32, s) - Scaled(26, s)) / 2;
        out.searchShown = true;
        out.searchEdit = {listX + gap, y, std::max(Scaled(100, s), w - Scaled(26, s) - listX - 3 * gap), height};
        out.searchClear = {w - gap - Scaled(26, s), y, Scaled(26, s), Scaled(26, s)};
    }
    return out;
}

std::optional<WelcomeButtons> PlaceWelcomeButtons(int panelWidth, int panelHeight, int dpi) {
    if (panelWidth <= 0 || panelHeight <= 0) return std::nullopt;
    const int width = Scaled(150, dpi), height = Scaled(120, dpi), gap = Scaled(30, dpi);
    const int x = (panelWidth - 2 * width - gap) / 2;
    const int y = (panelHeight - height) / 2;
    return WelcomeButtons{{x, y, width, height}, {x + width + gap, y, width, height}};
}

}  // namespace Arkova
