#include "support/jpeg_writer.h"

#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace Arkova::Testing {

std::vector<std::uint8_t> MakeJpeg(int width, int height, const std::function<Rgb(int x, int y)>& pixel, int quality) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(width) * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            Rgb colour = pixel(x, y);
            row[static_cast<std::size_t>(x) * 3] = colour.red;
            row[static_cast<std::size_t>(x) * 3 + 1] = colour.green;
            row[static_cast<std::size_t>(x) * 3 + 2] = colour.blue;
        }
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<std::uint8_t> bytes(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return bytes;
}

std::vector<std::uint8_t> MakeSolidJpeg(int width, int height, Rgb colour, int quality) {
    return MakeJpeg(
        width, height, [colour](int, int) { return colour; }, quality);
}

}  // namespace Arkova::Testing
