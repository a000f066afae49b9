#include "options/options_layout.h"

#include <algorithm>

namespace Arkova {

namespace {

LayoutRect Moved(const LayoutRect& rect, int dx, int dy) {
    return {rect.left + dx, rect.top + dy, rect.right + dx, rect.bottom + dy};
}

}  // namespace

OptionsLayout ArrangeOptions(const OptionsLayout& initial, int clientWidth, int clientHeight) {
    const int dx = clientWidth - initial.clientWidth;
    const int dy = clientHeight - initial.clientHeight;
    OptionsLayout layout = initial;
    layout.clientWidth = clientWidth;
    layout.clientHeight = clientHeight;
    layout.pageList.bottom = std::max(initial.pageList.top, initial.pageList.bottom + dy);
    layout.page.right = std::max(initial.page.left, initial.page.right + dx);
    layout.page.bottom = std::max(initial.page.top, initial.page.bottom + dy);
    layout.cancelButton = Moved(initial.cancelButton, dx, dy);
    layout.saveButton = Moved(initial.saveButton, dx, dy);
    return layout;
}

}  // namespace Arkova
