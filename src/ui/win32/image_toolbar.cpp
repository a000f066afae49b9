#include "ui/win32/image_toolbar.h"

#include "wingui/buffered_paint.h"
#include "wingui/dpi.h"

namespace Arkova {

namespace {

constexpr int kSeparatorWidth = 8;
constexpr COLORREF kBottomLine = RGB(200, 200, 200);

}  // namespace

bool HoverButton::Create(HWND parent, int id, const RECT& bounds, const std::wstring& label,
                         const std::wstring& imagePath, HFONT font, UINT dpi) {
    label_ = label;
    font_ = font;
    dpi_ = dpi;
    image_ = PngImage::Load(imagePath);
    hoverImage_ = image_.Brightened(30);
    pressedImage_ = image_.Brightened(-30);
    CreateArgs args;
    args.className = L"HoverButtonClass";
    args.title = label;
    args.style = WS_CHILD | WS_VISIBLE;
    args.exStyle = WS_EX_TRANSPARENT;
    args.x = bounds.left;
    args.y = bounds.top;
    args.width = bounds.right - bounds.left;
    args.height = bounds.bottom - bounds.top;
    args.parent = parent;
    args.menu = reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
    args.cursor = ::LoadCursorW(nullptr, IDC_HAND);
    args.background = nullptr;
    return Window::Create(args);
}

void HoverButton::OnPaint(HDC dc, const RECT&) {
    RECT client{};
    ::GetClientRect(Handle(), &client);
    WinGui::BufferedPaint buffer(dc, client);
    HDC memory = buffer.Dc();
    if (Pressed()) {
        WinGui::FillSolid(memory, client, RGB(180, 208, 240));
        WinGui::FrameSolid(memory, client, RGB(0, 90, 180));
    } else if (Hovered()) {
        WinGui::FillSolid(memory, client, RGB(200, 224, 250));
        WinGui::FrameSolid(memory, client, RGB(0, 120, 215));
    } else {
        WinGui::FillSolid(memory, client, ::GetSysColor(COLOR_MENU));
    }
    const bool labelled = !label_.empty();
    auto scaled = [this](int value) { return WinGui::Scale(value, dpi_); };
    RECT box{client.left + scaled(4), client.top + scaled(4), client.right - scaled(4),
             client.bottom - scaled(labelled ? 24 : 4)};
    const PngImage& image = Pressed() ? pressedImage_ : Hovered() ? hoverImage_ : image_;
    image.Draw(memory, image.FitInto(box));
    if (labelled) {
        RECT strip{client.left + 2, client.bottom - scaled(20), client.right - 2, client.bottom - scaled(2)};
        WinGui::SelectedObject selected(memory, font_);
        ::SetBkMode(memory, TRANSPARENT);
        ::SetTextColor(memory, RGB(0, 0, 0));
        ::DrawTextW(memory, label_.c_str(), -1, &strip, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    }
}

bool ImageToolbar::Create(HWND parent, int id, int buttonWidth, int buttonHeight, UINT dpi) {
    buttonWidth_ = buttonWidth;
    buttonHeight_ = buttonHeight;
    dpi_ = dpi;
    // Scaled with the buttons, so the labels keep their place under the images at every DPI.
    font_.Reset(::CreateFontW(-WinGui::Scale(13, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH, L"맑은 고딕"));
    CreateArgs args;
    args.className = L"ImageToolbarClass";
    args.style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
    args.x = 0;
    args.y = 0;
    args.width = 100;
    args.height = Height();
    args.parent = parent;
    args.menu = reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
    args.background = nullptr;
    return Window::Create(args);
}

void ImageToolbar::AddButtons(const std::vector<ToolbarButtonSpec>& entries, const std::wstring& imageFolder) {
    int x = 4;
    for (const ToolbarButtonSpec& entry : entries) {
        if (entry.separator) {
            x += kSeparatorWidth;
            continue;
        }
        auto button = std::make_unique<HoverButton>();
        RECT bounds{x, 2, x + buttonWidth_, 2 + buttonHeight_};
        if (button->Create(Handle(), entry.id, bounds, entry.label, imageFolder + entry.imageFile, font_.Get(), dpi_)) {
            const int id = entry.id;
            button->onClick = [this, id] {
                if (onClick) onClick(id);
            };
            buttons_.push_back(std::move(button));
            buttonX_.push_back(x);
        }
        x += buttonWidth_ + 2;
    }
}

HWND ImageToolbar::ButtonWindow(int id) const {
    for (const auto& button : buttons_) {
        if (::GetDlgCtrlID(button->Handle()) == id) return button->Handle();
    }
    return nullptr;
}

void ImageToolbar::SetButtonsVisible(bool visible) {
    for (const auto& button : buttons_) ::ShowWindow(button->Handle(), visible ? SW_SHOWNA : SW_HIDE);
}

void ImageToolbar::PlaceButtons() {
    // At the places they were added, separator gaps included, so a resize never closes the gaps.
    for (size_t i = 0; i < buttons_.size(); ++i) {
        ::SetWindowPos(buttons_[i]->Handle(), nullptr, buttonX_[i], 2, buttonWidth_, buttonHeight_,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void ImageToolbar::OnSize(int, int) { PlaceButtons(); }

void ImageToolbar::OnPaint(HDC dc, const RECT&) {
    RECT client{};
    ::GetClientRect(Handle(), &client);
    WinGui::BufferedPaint buffer(dc, client);
    WinGui::FillSolid(buffer.Dc(), client, ::GetSysColor(COLOR_MENU));
    RECT line{client.left, client.bottom - 1, client.right, client.bottom};
    WinGui::FillSolid(buffer.Dc(), line, kBottomLine);
}

LRESULT ImageToolbar::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) return 1;
    return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace Arkova
