#include "preview/win32/image_preview.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "wingui/buffered_paint.h"

namespace Arkova {

bool ImagePreview::Create(HWND parent, int id) {
    CreateArgs args;
    args.className = L"ArkovaImagePreview";
    args.style = WS_CHILD | WS_CLIPSIBLINGS;
    args.exStyle = WS_EX_STATICEDGE;
    args.x = args.y = 0;
    args.width = args.height = 100;
    args.parent = parent;
    args.menu = reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
    args.classStyle = CS_DBLCLKS;
    args.background = nullptr;
    return Window::Create(args);
}

bool ImagePreview::SetImage(const IImageDecoder& decoder) {
    const std::uint32_t width = decoder.Width();
    const std::uint32_t height = decoder.Height();
    const std::uint8_t* pixels = decoder.Pixels();
    bitmap_.Reset();
    bitmapWidth_ = bitmapHeight_ = 0;
    if (width == 0 || height == 0 || pixels == nullptr || decoder.Stride() < width * 4) {
        ::InvalidateRect(Handle(), nullptr, FALSE);
        return false;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height);  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    WinGui::WindowDc dc(Handle());
    bitmap_.Reset(::CreateDIBSection(dc.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bitmap_.Get() == nullptr || bits == nullptr) {
        bitmap_.Reset();
        ::InvalidateRect(Handle(), nullptr, FALSE);
        return false;
    }
    for (std::uint32_t row = 0; row < height; ++row) {
        std::memcpy(static_cast<std::uint8_t*>(bits) + std::size_t{row} * width * 4,
                    pixels + std::size_t{row} * decoder.Stride(), std::size_t{width} * 4);
    }
    bitmapWidth_ = static_cast<int>(width);
    bitmapHeight_ = static_cast<int>(height);
    ::InvalidateRect(Handle(), nullptr, FALSE);
    return true;
}

void ImagePreview::Clear() {
    bitmap_.Reset();
    bitmapWidth_ = bitmapHeight_ = 0;
    ::InvalidateRect(Handle(), nullptr, FALSE);
}

void ImagePreview::OnPaint(HDC dc, const RECT&) {
    RECT client{};
    ::GetClientRect(Handle(), &client);
    if (client.right <= 0 || client.bottom <= 0) return;
    WinGui::BufferedPaint buffer(dc, client);
    WinGui::FillSolid(buffer.Dc(), client, RGB(0, 0, 0));
    if (bitmap_.Get() == nullptr) return;
    const float scale = std::min(static_cast<float>(client.right) / static_cast<float>(bitmapWidth_),
                                 static_cast<float>(client.bottom) / static_cast<float>(bitmapHeight_));
    const int width = static_cast<int>(static_cast<float>(bitmapWidth_) * scale);
    const int height = static_cast<int>(static_cast<float>(bitmapHeight_) * scale);
    WinGui::MemoryDc source(::CreateCompatibleDC(dc));
    WinGui::SelectedObject selected(source.Get(), bitmap_.Get());
    ::SetStretchBltMode(buffer.Dc(), HALFTONE);
    ::SetBrushOrgEx(buffer.Dc(), 0, 0, nullptr);
    ::StretchBlt(buffer.Dc(), (client.right - width) / 2, (client.bottom - height) / 2, width, height, source.Get(), 0,
                 0, bitmapWidth_, bitmapHeight_, SRCCOPY);
}

void ImagePreview::OnSize(int, int) { ::InvalidateRect(Handle(), nullptr, FALSE); }

void ImagePreview::OnDestroy() { bitmap_.Reset(); }

LRESULT ImagePreview::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_LBUTTONDBLCLK:
            if (bitmap_.Get() != nullptr) {
                NMHDR header{};
                header.hwndFrom = Handle();
                header.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(Handle()));
                header.code = NM_DBLCLK;
                ::SendMessageW(::GetParent(Handle()), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
            }
            return 0;
        default:
            return Window::HandleMessage(message, wParam, lParam);
    }
}

}  // namespace Arkova
