#include "ui/win32/png_image.h"

#include <algorithm>

#include "ui/win32/gdiplus.h"

namespace Arkova {

GdiplusSession::GdiplusSession() {
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok) token_ = 0;
}

GdiplusSession::~GdiplusSession() {
    if (token_ != 0) Gdiplus::GdiplusShutdown(token_);
}

PngImage PngImage::Load(const std::wstring& path) {
    PngImage image;
    Gdiplus::Bitmap bitmap(path.c_str());
    if (bitmap.GetLastStatus() != Gdiplus::Ok || bitmap.GetWidth() == 0 || bitmap.GetHeight() == 0) return image;
    const int width = static_cast<int>(bitmap.GetWidth());
    const int height = static_cast<int>(bitmap.GetHeight());
    std::vector<std::uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
    Gdiplus::BitmapData data{};
    data.Width = static_cast<UINT>(width);
    data.Height = static_cast<UINT>(height);
    data.Stride = width * 4;
    data.PixelFormat = PixelFormat32bppPARGB;
    data.Scan0 = pixels.data();
    Gdiplus::Rect area(0, 0, width, height);
    if (bitmap.LockBits(&area, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf, PixelFormat32bppPARGB,
                        &data) != Gdiplus::Ok) {
        return image;
    }
    bitmap.UnlockBits(&data);
    image.width_ = width;
    image.height_ = height;
    image.pixels_ = std::move(pixels);
    return image;
}

PngImage PngImage::Brightened(int delta) const {
    PngImage result = *this;
    for (std::uint32_t& pixel : result.pixels_) {
        const int alpha = static_cast<int>(pixel >> 24);
        if (alpha == 0) continue;
        const int shift = delta * alpha / 255;
        std::uint32_t shifted = pixel & 0xFF000000u;
        for (int channel = 0; channel < 3; ++channel) {
            int value = static_cast<int>((pixel >> (8 * channel)) & 0xFF) + shift;
            // Premultiplied: a channel never exceeds its alpha.
            shifted |= static_cast<std::uint32_t>(std::clamp(value, 0, alpha)) << (8 * channel);
        }
        pixel = shifted;
    }
    return result;
}

RECT PngImage::FitInto(const RECT& box) const {
    const int boxWidth = box.right - box.left, boxHeight = box.bottom - box.top;
    if (Empty() || boxWidth <= 0 || boxHeight <= 0) return {box.left, box.top, box.left, box.top};
    double scale = std::min({1.0, static_cast<double>(boxWidth) / width_, static_cast<double>(boxHeight) / height_});
    const int width = std::max(1, static_cast<int>(width_ * scale + 0.5));
    const int height = std::max(1, static_cast<int>(height_ * scale + 0.5));
    const int x = box.left + (boxWidth - width) / 2;
    const int y = box.top + (boxHeight - height) / 2;
    return {x, y, x + width, y + height};
}

void PngImage::Draw(HDC dc, const RECT& target) const {
    if (Empty() || target.right <= target.left || target.bottom <= target.top) return;
    Gdiplus::Bitmap bitmap(width_, height_, width_ * 4, PixelFormat32bppPARGB,
                           reinterpret_cast<BYTE*>(const_cast<std::uint32_t*>(pixels_.data())));
    Gdiplus::Graphics graphics(dc);
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHighQuality);
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    graphics.DrawImage(&bitmap,
                       Gdiplus::Rect(target.left, target.top, target.right - target.left, target.bottom - target.top));
}

}  // namespace Arkova
