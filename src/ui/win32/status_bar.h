// The main window's status bar: the selection or search count on the left, the archive summary on the right, and
// one small image button that shows the archive in its folder. UI thread.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "wingui/gdi_handles.h"

namespace Arkova {

class StatusBar {
public:
    enum Part { kSelectionPart = 0, kSpacerPart = 1, kArchivePart = 2 };

    StatusBar() = default;
    StatusBar(const StatusBar&) = delete;
    StatusBar& operator=(const StatusBar&) = delete;
    ~StatusBar();

    bool Create(HWND parent, int id, UINT dpi);
    HWND Handle() const { return window_; }
    int Height() const;
    void SetText(Part part, const std::wstring& text);
    std::wstring Text(Part part) const;
    // Sets the parts' right edges for the DPI.
    void SetDpi(UINT dpi);
    // Adds the button with command `command` and the PNG image; false leaves the bar without it.
    bool AddButton(int command, const std::wstring& imagePath);
    // After every layout of the frame: the bar docks itself again and the button goes back to its place.
    void Relayout();

private:
    HWND window_ = nullptr;
    HWND strip_ = nullptr;
    WinGui::ImageList images_;
    int buttons_ = 0;
};

}  // namespace Arkova
