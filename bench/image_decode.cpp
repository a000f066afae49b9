// How much the decode-time reduction buys: a ZIP of 200 JPEGs of about 2 megapixels (1632 x 1224, a gradient with
// grain so they compress like photographs) is written to FOLDER and opened as the program opens archives; every
// entry is extracted to memory once (not timed); then each pass decodes all 200 with JpegTurboDecoder: at full
// size, reduced for a 128-pixel thumbnail, and reduced for a 400 x 300 preview pane (fast DCT, as the preview
// does), and the full-size pass with the accurate DCT. Each figure is the median of RUNS passes in milliseconds,
// with the full-size pass divided by it.
//
// Usage: image-decode-bench FOLDER [RUNS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "archive/archive_context.h"
#include "platform/text.h"
#include "preview/jpeg_turbo_decoder.h"
#include "support/jpeg_writer.h"
#include "support/zip_writer.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kImages = 200;
constexpr int kWidth = 1632;
constexpr int kHeight = 1224;

std::vector<std::uint8_t> Photo(int seed) {
    std::mt19937 random(static_cast<unsigned>(seed));
    std::uniform_int_distribution<int> grain(-4, 4);
    return Arkova::Testing::MakeJpeg(
        kWidth, kHeight,
        [&](int x, int y) {
            auto clamp = [](int v) { return static_cast<std::uint8_t>(std::clamp(v, 0, 255)); };
            const int n = grain(random);
            return Arkova::Testing::Rgb{clamp(x * 255 / kWidth + n), clamp(y * 255 / kHeight + n),
                                        clamp((seed * 37) % 256 + n)};
        },
        85);
}

double MedianMs(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: image-decode-bench FOLDER [RUNS]\n", stderr);
        return 2;
    }
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    const std::wstring archive = Arkova::Platform::Utf8ToWide(argv[1]) + L"/photos.zip";

    Arkova::Testing::ZipWriter zip;
    std::uint64_t bytes = 0;
    for (int i = 0; i < kImages; ++i) {
        Arkova::Testing::ZipWriterEntry entry;
        entry.name = "photos/img" + std::to_string(i) + ".jpg";
        entry.content = Photo(i);
        entry.method = 0;  // JPEGs are stored, as archivers do
        bytes += entry.content.size();
        zip.Add(entry);
    }
    if (!zip.Finish().WriteTo(archive)) return 1;

    Arkova::ArchiveContext context;
    if (context.OpenArchive(archive) != Arkova::DecodeResult::Ok) {
        std::fputs("the archive did not open (is the 7-Zip library installed?)\n", stderr);
        return 1;
    }
    std::vector<std::vector<std::uint8_t>> entries;
    for (const Arkova::ArchiveItem& item : context.Items()) {
        if (item.isDirectory) continue;
        entries.emplace_back();
        if (context.Decoder()->ExtractToMemory(item.index, entries.back()) != Arkova::DecodeResult::Ok) return 1;
    }
    std::printf("%zu JPEGs of %dx%d, %.1f MB in the ZIP; median of %d passes\n", entries.size(), kWidth, kHeight,
                static_cast<double>(bytes) / 1e6, runs);

    struct Pass {
        const char* label;
        std::uint32_t maxWidth;
        std::uint32_t maxHeight;
        bool highQuality;
    };
    const Pass passes[] = {{"full size, fast DCT", 0, 0, false},
                           {"thumbnail 128", 128, 128, false},
                           {"pane 400x300", 400, 300, false},
                           {"full size, accurate DCT", 0, 0, true}};
    double fullMs = 0;
    for (const Pass& pass : passes) {
        std::vector<double> times;
        std::uint32_t width = 0;
        std::uint32_t height = 0;
        for (int run = 0; run < runs; ++run) {
            Arkova::JpegTurboDecoder decoder;
            const auto start = Clock::now();
            for (const auto& data : entries) {
                if (!decoder.LoadMemory(data.data(), data.size(), pass.maxWidth, pass.maxHeight, pass.highQuality)) {
                    return 1;
                }
            }
            times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
            width = decoder.Width();
            height = decoder.Height();
        }
        const double ms = MedianMs(times);
        if (fullMs == 0) fullMs = ms;
        std::printf("  %-24s -> %4ux%-4u  %8.1f ms  %6.2f ms/image  speed-up %5.2fx\n", pass.label, width,
                    height, ms, ms / static_cast<double>(entries.size()), fullMs / ms);
    }
    return 0;
}
