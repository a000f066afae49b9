// A PNG file read once into premultiplied 32-bit pixels, drawn scaled with high-quality filtering. A file that
// cannot be read gives an empty image, which draws nothing. Needs a GdiplusSession. UI thread.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace Arkova {

class PngImage {
public:
    PngImage() = default;
    static PngImage Load(const std::wstring& path);

    bool Empty() const { return pixels_.empty(); }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Every visible pixel's colour shifted by delta × alpha / 255, clamped: the hover (+30) and pressed (-30) looks.
    PngImage Brightened(int delta) const;
    // Draws the image scaled into `target`, blended over what is there.
    void Draw(HDC dc, const RECT& target) const;
    // The largest rectangle of the image's proportions that fits `box`, centred in it (never enlarged).
    RECT FitInto(const RECT& box) const;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;  // premultiplied BGRA, top-down rows
};

}  // namespace Arkova
