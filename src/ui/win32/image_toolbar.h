// The main window's toolbar: a row of image buttons with labels under them, lighter while the pointer is over a
// button and darker while it is pressed. Each button reports its click with its identifier. UI thread.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/win32/png_image.h"
#include "wingui/clickable_window.h"
#include "wingui/gdi_handles.h"
#include "wingui/window.h"

namespace Arkova {

// One toolbar entry: a button, or a separator (no window, a gap).
struct ToolbarButtonSpec {
    int id = 0;
    std::wstring imageFile;  // in the folder "res" beside the program
    std::wstring label;
    bool separator = false;
};

class HoverButton : public WinGui::ClickableWindow {
public:
    // The label's strip and the image's margins scale with `dpi`, as the label's font does.
    bool Create(HWND parent, int id, const RECT& bounds, const std::wstring& label, const std::wstring& imagePath,
                HFONT font, UINT dpi);

protected:
    void OnPaint(HDC dc, const RECT& dirty) override;

private:
    std::wstring label_;
    PngImage image_, hoverImage_, pressedImage_;
    HFONT font_ = nullptr;
    UINT dpi_ = 96;
};

class ImageToolbar : public WinGui::Window {
public:
    // The buttons are `buttonWidth` × `buttonHeight` pixels; the toolbar is 4 pixels taller.
    bool Create(HWND parent, int id, int buttonWidth, int buttonHeight, UINT dpi);
    void AddButtons(const std::vector<ToolbarButtonSpec>& entries, const std::wstring& imageFolder);
    int Height() const { return buttonHeight_ + 4; }
    // The button's window, for placing a popup under it; nullptr when there is none.
    HWND ButtonWindow(int id) const;
    void SetButtonsVisible(bool visible);

    std::function<void(int id)> onClick;

protected:
    void OnSize(int width, int height) override;
    void OnPaint(HDC dc, const RECT& dirty) override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void PlaceButtons();

    int buttonWidth_ = 0;
    int buttonHeight_ = 0;
    UINT dpi_ = 96;
    WinGui::Font font_;
    std::vector<std::unique_ptr<HoverButton>> buttons_;
    std::vector<int> buttonX_;  // each button's left edge
};

}  // namespace Arkova
