#include "support/win32/screenshot.h"

#include <shlobj.h>
#include <wincodec.h>

#include <cstdlib>
#include <vector>

#include "support/win32/pump_until.h"
#include "wingui/dpi.h"
#include "wingui/gdi_handles.h"

namespace Arkova::Testing {

namespace {

struct Capture {
    int width = 0;
    int height = 0;
    std::vector<BYTE> pixels;  // 32-bit BGRX, top-down
};

// BitBlt from the screen: PrintWindow draws only the dialog background under Wine.
Capture CaptureScreen(const RECT& area) {
    Capture capture;
    capture.width = area.right - area.left;
    capture.height = area.bottom - area.top;
    if (capture.width <= 0 || capture.height <= 0) return capture;
    WinGui::WindowDc screen(nullptr);
    WinGui::MemoryDc memory(::CreateCompatibleDC(screen.Get()));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = capture.width;
    info.bmiHeader.biHeight = -capture.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    WinGui::Bitmap bitmap(::CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || bits == nullptr) return {};
    {
        WinGui::SelectedObject selected(memory.Get(), bitmap.Get());
        ::BitBlt(memory.Get(), 0, 0, capture.width, capture.height, screen.Get(), area.left, area.top,
                 SRCCOPY | CAPTUREBLT);
        ::GdiFlush();
    }
    auto* first = static_cast<const BYTE*>(bits);
    capture.pixels.assign(first, first + static_cast<size_t>(capture.width) * capture.height * 4);
    return capture;
}

template <typename Interface>
struct ComPtr {
    Interface* pointer = nullptr;
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() {
        if (pointer != nullptr) pointer->Release();
    }
    Interface** operator&() { return &pointer; }
    Interface* operator->() const { return pointer; }
};

bool WritePng(const Capture& capture, const std::wstring& path) {
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICBitmap> bitmap;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    auto stride = static_cast<UINT>(capture.width * 4);
    auto* pixels = const_cast<BYTE*>(capture.pixels.data());
    return SUCCEEDED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                        reinterpret_cast<void**>(&factory))) &&
           SUCCEEDED(factory->CreateBitmapFromMemory(
               static_cast<UINT>(capture.width), static_cast<UINT>(capture.height), GUID_WICPixelFormat32bppBGR, stride,
               static_cast<UINT>(capture.pixels.size()), pixels, &bitmap)) &&
           SUCCEEDED(factory->CreateStream(&stream)) &&
           SUCCEEDED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) &&
           SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) &&
           SUCCEEDED(encoder->Initialize(stream.pointer, WICBitmapEncoderNoCache)) &&
           SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)) && SUCCEEDED(frame->Initialize(nullptr)) &&
           SUCCEEDED(frame->WriteSource(bitmap.pointer, nullptr)) && SUCCEEDED(frame->Commit()) &&
           SUCCEEDED(encoder->Commit());
}

std::wstring ScreenshotFolder(HWND window) {
    const wchar_t* root = _wgetenv(L"ARKOVA_SCREENSHOTS");
    if (root == nullptr || *root == L'\0') return {};
    std::wstring folder = root;
    for (wchar_t& c : folder) {
        if (c == L'/') c = L'\\';
    }
    if (UINT dpi = WinGui::DpiForWindow(window); dpi != WinGui::kDefaultDpi) {
        folder += L"\\" + std::to_wstring(dpi) + L"dpi";
    }
    int made = ::SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    return made == ERROR_SUCCESS || made == ERROR_ALREADY_EXISTS ? folder : std::wstring();
}

}  // namespace

bool SaveWindowPng(HWND window, const std::wstring& path) {
    if (!::IsWindowVisible(window)) return false;
    ::SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ::SetForegroundWindow(window);
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    // What is on screen lags behind painting (Wine hands window contents to the X server later): capture until
    // two captures in a row agree.
    RECT area{};
    ::GetWindowRect(window, &area);
    // Only what is on screen can be read back (Wine captures nothing at all when the area reaches past it), and a
    // large dialog at a high DPI may be larger than the test display.
    const int screenLeft = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int screenTop = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    const RECT screen{screenLeft, screenTop, screenLeft + ::GetSystemMetrics(SM_CXVIRTUALSCREEN),
                      screenTop + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    ::IntersectRect(&area, &area, &screen);
    Capture previous;
    Capture current;
    PumpUntil(
        [&] {
            previous = std::move(current);
            current = CaptureScreen(area);
            return !current.pixels.empty() && current.pixels == previous.pixels;
        },
        2000);
    return !current.pixels.empty() && WritePng(current, path);
}

std::wstring SaveScreenshot(HWND window, std::wstring_view name) {
    std::wstring folder = ScreenshotFolder(window);
    if (folder.empty()) return {};
    std::wstring path = folder + L"\\" + std::wstring(name) + L".png";
    return SaveWindowPng(window, path) ? path : std::wstring();
}

}  // namespace Arkova::Testing
