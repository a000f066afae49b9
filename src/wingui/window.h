#pragma once
// The base of windows with a class of our own (main window, custom controls). The object owns its HWND and
// is kept in the window's GWLP_USERDATA; the window procedure calls the virtual members below, and WM_COMMAND
// and WM_NOTIFY from bound child controls go to those controls first. UI thread only; not copied or moved.

#include <windows.h>

#include <string>

namespace Arkova::WinGui {

class Window {
public:
    struct CreateArgs {
        const wchar_t* className = L"ArkovaWindow";
        std::wstring title;
        DWORD style = WS_OVERLAPPEDWINDOW;
        DWORD exStyle = 0;
        // Outer position and size in pixels (saved window positions are pixels); CW_USEDEFAULT lets Windows pick.
        int x = CW_USEDEFAULT;
        int y = CW_USEDEFAULT;
        int width = CW_USEDEFAULT;
        int height = CW_USEDEFAULT;
        HWND parent = nullptr;
        HMENU menu = nullptr;  // or the child id, for WS_CHILD windows
        // Used when the class is registered, i.e. by the first window of each class name.
        UINT classStyle = CS_HREDRAW | CS_VREDRAW;
        HICON icon = nullptr;
        HCURSOR cursor = nullptr;                                         // nullptr: the arrow
        HBRUSH background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);  // not owned
    };

    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    // Destroys a window that still exists; derived handlers no longer run by then (call Destroy() first if they
    // must see WM_DESTROY).
    virtual ~Window();

    // Registers the class on first use and creates the window; false when either fails or OnCreate refused.
    bool Create(const CreateArgs& args);
    void Destroy();

    HWND Handle() const { return hwnd_; }

    static Window* FromHandle(HWND window);

protected:
    // false makes CreateWindowEx fail.
    virtual bool OnCreate() { return true; }
    // WM_COMMAND from a menu, an accelerator or a child with no control object (or whose object ignored it).
    virtual bool OnCommand(int id, int code, HWND control);
    virtual bool OnNotify(NMHDR& header, LRESULT& result);
    virtual void OnSize(int width, int height);
    // Between BeginPaint and EndPaint; default paints nothing (the class background was erased).
    virtual void OnPaint(HDC dc, const RECT& dirty);
    // Default: moves to the suggested rectangle.
    virtual void OnDpiChanged(UINT dpi, const RECT& suggested);
    // Default: DestroyWindow.
    virtual void OnClose();
    virtual void OnDestroy() {}
    // Every message no member above handled; default DefWindowProcW.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
};

}  // namespace Arkova::WinGui
