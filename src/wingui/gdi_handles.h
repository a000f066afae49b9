#pragma once
// Move-only owners of GDI and USER handles: each frees its handle once, when it goes out of scope or is reset.
// Use them on the thread that created the handle (GDI objects may be shared, but fonts and icons are not freed
// while a window still uses them: keep the owner alive as long as the window).

#include <windows.h>

#include <commctrl.h>

#include <utility>

namespace Arkova::WinGui {

template <typename Handle, auto Free>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { Reset(); }

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

    // Gives up ownership without freeing.
    Handle Release() { return std::exchange(handle_, nullptr); }

    void Reset(Handle handle = nullptr) {
        if (handle_ != nullptr) Free(handle_);
        handle_ = handle;
    }

private:
    Handle handle_ = nullptr;
};

namespace Detail {
inline void DeleteGdiObject(HGDIOBJ object) { ::DeleteObject(object); }
inline void DestroyIconHandle(HICON icon) { ::DestroyIcon(icon); }
inline void DestroyImageList(HIMAGELIST list) { ::ImageList_Destroy(list); }
inline void DeleteMemoryDc(HDC dc) { ::DeleteDC(dc); }
}  // namespace Detail

using Font = UniqueHandle<HFONT, Detail::DeleteGdiObject>;
using Brush = UniqueHandle<HBRUSH, Detail::DeleteGdiObject>;
using Pen = UniqueHandle<HPEN, Detail::DeleteGdiObject>;
using Bitmap = UniqueHandle<HBITMAP, Detail::DeleteGdiObject>;
using Region = UniqueHandle<HRGN, Detail::DeleteGdiObject>;
using Icon = UniqueHandle<HICON, Detail::DestroyIconHandle>;
using ImageList = UniqueHandle<HIMAGELIST, Detail::DestroyImageList>;
using MemoryDc = UniqueHandle<HDC, Detail::DeleteMemoryDc>;

// A window's (or, with nullptr, the screen's) device context, released on scope exit.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_ != nullptr) ::ReleaseDC(window_, dc_);
    }
    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a DC and puts the previous one back on scope exit.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject() {
        if (previous_ != nullptr && previous_ != HGDI_ERROR) ::SelectObject(dc_, previous_);
    }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace Arkova::WinGui
