// Image files for the window tests: PNG, BMP and TIFF through the imaging component's own encoders, GIF by a
// small writer of our own (the component's GIF encoder wants indexed pixels). Needs COM on the thread.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "support/jpeg_writer.h"

namespace Arkova::Testing {

using PixelFunction = std::function<Rgb(int x, int y)>;

// A container format of the imaging component: GUID_ContainerFormatPng, ...Bmp, ...Tiff. Empty on failure.
std::vector<std::uint8_t> EncodeWithWic(const GUID& container, int width, int height, const PixelFunction& pixel);
// A GIF of one colour.
std::vector<std::uint8_t> MakeSolidGif(int width, int height, Rgb colour);

}  // namespace Arkova::Testing
