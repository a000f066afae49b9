#include "preview/win32/thumbnail.h"

#include <algorithm>
#include <memory>

#include "ui/win32/gdiplus.h"

namespace Arkova {

namespace {

struct StreamRelease {
    void operator()(IStream* stream) const { stream->Release(); }
};

}  // namespace

HBITMAP MakeThumbnail(const std::uint8_t* data, std::size_t length, int size) {
    if (data == nullptr || length == 0 || size <= 0) return nullptr;
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, length);
    if (block == nullptr) return nullptr;
    void* target = ::GlobalLock(block);
    if (target == nullptr) {
        ::GlobalFree(block);
        return nullptr;
    }
    std::copy_n(data, length, static_cast<std::uint8_t*>(target));
    ::GlobalUnlock(block);
    IStream* rawStream = nullptr;
    if (FAILED(::CreateStreamOnHGlobal(block, TRUE, &rawStream))) {
        ::GlobalFree(block);
        return nullptr;
    }
    std::unique_ptr<IStream, StreamRelease> stream(rawStream);  // frees the block

    Gdiplus::Image image(stream.get());
    if (image.GetLastStatus() != Gdiplus::Ok) return nullptr;
    const UINT width = image.GetWidth();
    const UINT height = image.GetHeight();
    if (width == 0 || height == 0) return nullptr;
    const float scale = std::min(static_cast<float>(size) / static_cast<float>(height),
                                 static_cast<float>(size) / static_cast<float>(width));
    const int thumbWidth = std::max(1, static_cast<int>(static_cast<float>(width) * scale));
    const int thumbHeight = std::max(1, static_cast<int>(static_cast<float>(height) * scale));
    std::unique_ptr<Gdiplus::Image> thumbnail(
        image.GetThumbnailImage(static_cast<UINT>(thumbWidth), static_cast<UINT>(thumbHeight), nullptr, nullptr));
    if (thumbnail == nullptr || thumbnail->GetLastStatus() != Gdiplus::Ok) return nullptr;

    Gdiplus::Bitmap square(size, size, PixelFormat32bppARGB);
    if (square.GetLastStatus() != Gdiplus::Ok) return nullptr;
    {
        Gdiplus::Graphics graphics(&square);
        graphics.Clear(Gdiplus::Color(0xFFFFFFFF));
        graphics.DrawImage(thumbnail.get(), (size - thumbWidth) / 2, (size - thumbHeight) / 2, thumbWidth, thumbHeight);
    }
    HBITMAP bitmap = nullptr;
    if (square.GetHBITMAP(Gdiplus::Color(0xFFFFFFFF), &bitmap) != Gdiplus::Ok) return nullptr;
    return bitmap;
}

}  // namespace Arkova
