// JPEG files for tests, compressed by libjpeg-turbo itself: a picture filled by a function of the pixel position.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace Arkova::Testing {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
};

// Baseline JPEG (4:2:0) of width x height at the given quality; empty on failure.
std::vector<std::uint8_t> MakeJpeg(int width, int height, const std::function<Rgb(int x, int y)>& pixel,
                                   int quality = 90);
// One colour all over.
std::vector<std::uint8_t> MakeSolidJpeg(int width, int height, Rgb colour, int quality = 90);

}  // namespace Arkova::Testing
