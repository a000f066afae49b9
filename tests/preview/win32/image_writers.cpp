#include "image_writers.h"

#include <wincodec.h>

namespace Arkova::Testing {

namespace {

template <typename T>
struct Released {
    T* pointer = nullptr;
    ~Released() {
        if (pointer != nullptr) pointer->Release();
    }
    T* operator->() const { return pointer; }
};

}  // namespace

std::vector<std::uint8_t> EncodeWithWic(const GUID& container, int width, int height, const PixelFunction& pixel) {
    std::vector<std::uint8_t> bgr(static_cast<std::size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            Rgb colour = pixel(x, y);
            std::uint8_t* out = &bgr[(static_cast<std::size_t>(y) * width + x) * 3];
            out[0] = colour.blue;
            out[1] = colour.green;
            out[2] = colour.red;
        }
    }
    Released<IWICImagingFactory> factory;
    Released<IWICBitmap> bitmap;
    Released<IStream> stream;
    Released<IWICBitmapEncoder> encoder;
    Released<IWICBitmapFrameEncode> frame;
    Released<IPropertyBag2> properties;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    const bool written =
        SUCCEEDED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                     reinterpret_cast<void**>(&factory.pointer))) &&
        SUCCEEDED(factory->CreateBitmapFromMemory(static_cast<UINT>(width), static_cast<UINT>(height),
                                                  GUID_WICPixelFormat24bppBGR, static_cast<UINT>(width * 3),
                                                  static_cast<UINT>(bgr.size()), bgr.data(), &bitmap.pointer)) &&
        SUCCEEDED(::CreateStreamOnHGlobal(nullptr, TRUE, &stream.pointer)) &&
        SUCCEEDED(factory->CreateEncoder(container, nullptr, &encoder.pointer)) &&
        SUCCEEDED(encoder->Initialize(stream.pointer, WICBitmapEncoderNoCache)) &&
        SUCCEEDED(encoder->CreateNewFrame(&frame.pointer, &properties.pointer)) &&
        SUCCEEDED(frame->Initialize(properties.pointer)) &&
        SUCCEEDED(frame->SetSize(static_cast<UINT>(width), static_cast<UINT>(height))) &&
        SUCCEEDED(frame->SetPixelFormat(&format)) && SUCCEEDED(frame->WriteSource(bitmap.pointer, nullptr)) &&
        SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
    if (!written) return {};
    HGLOBAL memory = nullptr;
    STATSTG stat{};
    if (FAILED(::GetHGlobalFromStream(stream.pointer, &memory)) || FAILED(stream->Stat(&stat, STATFLAG_NONAME))) {
        return {};
    }
    const auto* bytes = static_cast<const std::uint8_t*>(::GlobalLock(memory));
    std::vector<std::uint8_t> file(bytes, bytes + stat.cbSize.QuadPart);
    ::GlobalUnlock(memory);
    return file;
}

// Codes of 8 bits throughout (minimum code size 7, a clear code before the table would grow to 256), so every
// byte of the data is one code: the simplest valid LZW stream.
std::vector<std::uint8_t> MakeSolidGif(int width, int height, Rgb colour) {
    std::vector<std::uint8_t> gif = {'G', 'I', 'F', '8', '9', 'a'};
    auto put16 = [&gif](int value) {
        gif.push_back(static_cast<std::uint8_t>(value & 0xFF));
        gif.push_back(static_cast<std::uint8_t>(value >> 8));
    };
    put16(width);
    put16(height);
    gif.insert(gif.end(), {0xF6, 0, 0});  // a global table of 128 colours
    gif.insert(gif.end(), {colour.red, colour.green, colour.blue});
    gif.resize(gif.size() + 127 * 3, 0);
    gif.push_back(0x2C);
    put16(0);
    put16(0);
    put16(width);
    put16(height);
    gif.push_back(0);
    gif.push_back(7);
    std::vector<std::uint8_t> codes;
    const int pixels = width * height;
    for (int i = 0; i < pixels; ++i) {
        if (i % 120 == 0) codes.push_back(128);  // clear
        codes.push_back(0);
    }
    codes.push_back(129);  // end
    for (std::size_t at = 0; at < codes.size(); at += 255) {
        const std::size_t block = std::min<std::size_t>(255, codes.size() - at);
        gif.push_back(static_cast<std::uint8_t>(block));
        gif.insert(gif.end(), codes.begin() + static_cast<long>(at), codes.begin() + static_cast<long>(at + block));
    }
    gif.push_back(0);
    gif.push_back(0x3B);
    return gif;
}

}  // namespace Arkova::Testing
