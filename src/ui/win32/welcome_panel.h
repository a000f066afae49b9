// What the main window shows while no archive is open: a blue panel with two large image buttons, "압축 파일 열기"
// and "새로 압축하기", centred as a pair. A press on the panel itself drags the whole window. UI thread.
#pragma once

#include <functional>
#include <string>

#include "ui/win32/png_image.h"
#include "wingui/clickable_window.h"
#include "wingui/gdi_handles.h"
#include "wingui/window.h"

namespace Arkova {

class ImageButton : public WinGui::ClickableWindow {
public:
    bool Create(HWND parent, const std::wstring& label, const std::wstring& imagePath, UINT dpi);

protected:
    void OnPaint(HDC dc, const RECT& dirty) override;

private:
    std::wstring label_;
    PngImage image_;
    UINT dpi_ = 96;
    WinGui::Font font_;
};

class WelcomePanel : public WinGui::Window {
public:
    // Images are read from `imageFolder` (the folder "res" beside the program).
    bool Create(HWND parent, UINT dpi, const std::wstring& imageFolder);
    void SetVisible(bool visible);

    std::function<void()> onOpen;
    std::function<void()> onCompress;

protected:
    void OnSize(int width, int height) override;
    void OnPaint(HDC dc, const RECT& dirty) override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    UINT dpi_ = 96;
    ImageButton open_;
    ImageButton compress_;
};

}  // namespace Arkova
