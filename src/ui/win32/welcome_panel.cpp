#include "ui/win32/welcome_panel.h"

#include "ui/main_window_layout.h"
#include "wingui/buffered_paint.h"
#include "wingui/dpi.h"

namespace Arkova {

bool ImageButton::Create(HWND parent, const std::wstring& label, const std::wstring& imagePath, UINT dpi) {
    label_ = label;
    dpi_ = dpi;
    image_ = PngImage::Load(imagePath);
    font_.Reset(::CreateFontW(-WinGui::Scale(16, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, HANGUL_CHARSET,
                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH, L"맑은 고딕"));
    CreateArgs args;
    args.className = L"ArkovaImageButton";
    args.title = label;
    args.style = WS_CHILD | WS_VISIBLE;
    args.x = 0;
    args.y = 0;
    args.width = WinGui::Scale(150, dpi);
    args.height = WinGui::Scale(120, dpi);
    args.parent = parent;
    args.background = nullptr;
    return Window::Create(args);
}

void ImageButton::OnPaint(HDC dc, const RECT&) {
    RECT client{};
    ::GetClientRect(Handle(), &client);
    WinGui::BufferedPaint buffer(dc, client);
    HDC memory = buffer.Dc();
    COLORREF face = Pressed() ? RGB(220, 220, 220) : Hovered() ? RGB(245, 245, 245) : RGB(255, 255, 255);
    WinGui::FillSolid(memory, client, face);
    WinGui::FrameSolid(memory, client, RGB(200, 200, 200));

    const int size = WinGui::Scale(48, dpi_);
    const int top = WinGui::Scale(15, dpi_);
    const int left = (client.right - size) / 2;
    image_.Draw(memory, image_.FitInto({left, top, left + size, top + size}));

    RECT label{client.left + 4, top + size + WinGui::Scale(8, dpi_), client.right - 4, client.bottom - 4};
    WinGui::SelectedObject selected(memory, font_.Get());
    ::SetBkMode(memory, TRANSPARENT);
    ::SetTextColor(memory, RGB(60, 60, 60));
    ::DrawTextW(memory, label_.c_str(), -1, &label, DT_CENTER | DT_TOP | DT_SINGLELINE | DT_END_ELLIPSIS);
}

bool WelcomePanel::Create(HWND parent, UINT dpi, const std::wstring& imageFolder) {
    dpi_ = dpi;
    CreateArgs args;
    args.className = L"ArkovaWelcomePanel";
    args.style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
    args.x = 0;
    args.y = 0;
    args.width = 100;
    args.height = 100;
    args.parent = parent;
    args.background = nullptr;
    if (!Window::Create(args)) return false;
    open_.Create(Handle(), L"압축 파일 열기", imageFolder + L"btn_welcome_open.png", dpi);
    compress_.Create(Handle(), L"새로 압축하기", imageFolder + L"btn_welcome_compress.png", dpi);
    open_.onClick = [this] {
        if (onOpen) onOpen();
    };
    compress_.onClick = [this] {
        if (onCompress) onCompress();
    };
    return true;
}

void WelcomePanel::SetVisible(bool visible) {
    const int show = visible ? SW_SHOWNA : SW_HIDE;
    ::ShowWindow(Handle(), show);
    ::ShowWindow(open_.Handle(), show);
    ::ShowWindow(compress_.Handle(), show);
}

void WelcomePanel::OnSize(int width, int height) {
    auto buttons = PlaceWelcomeButtons(width, height, static_cast<int>(dpi_));
    if (!buttons) return;
    for (auto [button, rect] : {std::pair{&open_, buttons->open}, std::pair{&compress_, buttons->compress}}) {
        ::SetWindowPos(button->Handle(), nullptr, rect.x, rect.y, rect.width, rect.height,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void WelcomePanel::OnPaint(HDC dc, const RECT&) {
    RECT client{};
    ::GetClientRect(Handle(), &client);
    WinGui::BufferedPaint buffer(dc, client);
    // A vertical gradient, one band per row.
    const int height = std::max(1L, client.bottom - client.top);
    for (int y = 0; y < height; ++y) {
        auto mix = [&](int top, int bottom) { return top + (bottom - top) * y / height; };
        RECT row{client.left, y, client.right, y + 1};
        WinGui::FillSolid(buffer.Dc(), row, RGB(mix(41, 27), mix(128, 100), mix(185, 160)));
    }
}

LRESULT WelcomePanel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_LBUTTONDOWN:
            // The panel fills the window: a press on it moves the window, as a press on its caption would.
            ::ReleaseCapture();
            ::SendMessageW(::GetAncestor(Handle(), GA_ROOT), WM_NCLBUTTONDOWN, HTCAPTION, 0);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        default:
            return Window::HandleMessage(message, wParam, lParam);
    }
}

}  // namespace Arkova
