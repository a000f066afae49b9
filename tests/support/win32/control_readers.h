#pragma once
// Reads controls back the way a test sees them, with the raw window messages (independent of the toolkit's own
// control classes, which the tests check).

#include <windows.h>

#include <string>
#include <vector>

namespace Arkova::Testing {

std::wstring WindowText(HWND window);
std::wstring ItemText(HWND dialog, int id);
bool IsChecked(HWND button);
bool IsShown(HWND window);  // visible, with its parents
int ProgressPos(HWND bar);

std::vector<std::wstring> ListViewColumns(HWND list);
// Every row, each with one text per column.
std::vector<std::vector<std::wstring>> ListViewRows(HWND list);

struct TreeRow {
    int depth = 0;
    std::wstring text;
};
// Every item in display order (parents before children), expanded or not.
std::vector<TreeRow> TreeItems(HWND tree);

std::vector<std::wstring> ComboItems(HWND combo);
std::vector<std::wstring> ListBoxItems(HWND list);

// A dialog item's rectangle in the dialog's client coordinates, in pixels and in dialog units.
struct ItemRect {
    RECT pixels{};
    RECT dialogUnits{};
};
ItemRect ControlRect(HWND dialog, int id);

}  // namespace Arkova::Testing
