#include "preview/win32/wic_decoder.h"

#include <windows.h>

#include <wincodec.h>

#include <algorithm>
#include <limits>

namespace Arkova {

namespace {

constexpr GUID kFactory2Class = {0x317d06e8, 0x5f24, 0x433d, {0xbd, 0xf7, 0x79, 0xce, 0x68, 0xd8, 0xab, 0xc2}};
constexpr GUID kFactory1Class = {0xcacaf262, 0x9370, 0x4615, {0xa1, 0x3b, 0x9f, 0x55, 0x39, 0xda, 0x4c, 0x0a}};
constexpr GUID kFactoryInterface = {0xec5ec8a9, 0xc395, 0x4314, {0x9c, 0x77, 0x54, 0xd7, 0xa9, 0x35, 0xff, 0x70}};
constexpr GUID kPremultipliedBgra = {0x6fddc324, 0x4e03, 0x4bfe, {0xb1, 0x85, 0x3d, 0x77, 0x76, 0x8d, 0xc9, 0x10}};

// A COM pointer released when it goes.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() {
        if (pointer_ != nullptr) pointer_->Release();
    }
    T* operator->() const { return pointer_; }
    T* Get() const { return pointer_; }
    T** Out() { return &pointer_; }

private:
    T* pointer_ = nullptr;
};

// The process's imaging factory, made on first use (the initialisation of a local static is thread-safe) and kept
// for the whole process. Systems without the second factory class get the first.
IWICImagingFactory* Factory() {
    static IWICImagingFactory* const factory = [] {
        void* created = nullptr;
        for (const GUID& type : {kFactory2Class, kFactory1Class}) {
            if (SUCCEEDED(::CoCreateInstance(type, nullptr, CLSCTX_INPROC_SERVER, kFactoryInterface, &created))) break;
            created = nullptr;
        }
        return static_cast<IWICImagingFactory*>(created);
    }();
    return factory;
}

}  // namespace

struct WicDecoder::Source {
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
};

bool WicDecoder::LoadFile(const std::wstring& path, std::uint32_t maxWidth, std::uint32_t maxHeight, bool highQuality) {
    Reset();
    IWICImagingFactory* factory = Factory();
    if (factory == nullptr) return false;
    Source source;
    if (FAILED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                  source.decoder.Out()))) {
        return false;
    }
    return Decode(source, maxWidth, maxHeight, highQuality);
}

bool WicDecoder::LoadMemory(const std::uint8_t* data, std::uint64_t length, std::uint32_t maxWidth,
                            std::uint32_t maxHeight, bool highQuality) {
    if (data == nullptr || length == 0) return false;
    Reset();
    if (length > std::numeric_limits<DWORD>::max()) return false;
    IWICImagingFactory* factory = Factory();
    if (factory == nullptr) return false;
    Source source;
    // The stream reads the caller's block in place; it lives only during this call.
    if (FAILED(factory->CreateStream(source.stream.Out())) ||
        FAILED(source.stream->InitializeFromMemory(const_cast<BYTE*>(data), static_cast<DWORD>(length))) ||
        FAILED(factory->CreateDecoderFromStream(source.stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                                source.decoder.Out()))) {
        return false;
    }
    return Decode(source, maxWidth, maxHeight, highQuality);
}

bool WicDecoder::Decode(Source& source, std::uint32_t maxWidth, std::uint32_t maxHeight, bool highQuality) {
    IWICImagingFactory* factory = Factory();
    ComPtr<IWICBitmapFrameDecode> frame;
    UINT width = 0;
    UINT height = 0;
    if (FAILED(source.decoder->GetFrame(0, frame.Out())) || FAILED(frame->GetSize(&width, &height)) || width == 0 ||
        height == 0) {
        return false;
    }
    sourceWidth_ = width;
    sourceHeight_ = height;

    IWICBitmapSource* input = frame.Get();
    ComPtr<IWICBitmapScaler> scaler;
    if (maxWidth != 0 && maxHeight != 0 && (maxWidth < width || maxHeight < height)) {
        const float scale = std::min(static_cast<float>(maxWidth) / static_cast<float>(width),
                                     static_cast<float>(maxHeight) / static_cast<float>(height));
        const UINT scaledWidth = std::max(1u, static_cast<UINT>(static_cast<float>(width) * scale));
        const UINT scaledHeight = std::max(1u, static_cast<UINT>(static_cast<float>(height) * scale));
        if (SUCCEEDED(factory->CreateBitmapScaler(scaler.Out())) &&
            SUCCEEDED(scaler->Initialize(
                frame.Get(), scaledWidth, scaledHeight,
                highQuality ? WICBitmapInterpolationModeFant : WICBitmapInterpolationModeNearestNeighbor))) {
            input = scaler.Get();
        }
    }

    ComPtr<IWICFormatConverter> converter;
    ComPtr<IWICBitmap> bitmap;
    UINT outWidth = 0;
    UINT outHeight = 0;
    if (FAILED(factory->CreateFormatConverter(converter.Out())) ||
        FAILED(converter->Initialize(input, kPremultipliedBgra, WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)) ||
        FAILED(factory->CreateBitmapFromSource(converter.Get(), WICBitmapCacheOnLoad, bitmap.Out())) ||
        FAILED(bitmap->GetSize(&outWidth, &outHeight)) || !AllocatePixels(outWidth, outHeight)) {
        Reset();
        return false;
    }
    if (FAILED(bitmap->CopyPixels(nullptr, stride_, static_cast<UINT>(pixels_.size()), pixels_.data()))) {
        Reset();
        return false;
    }
    return true;
}

}  // namespace Arkova
