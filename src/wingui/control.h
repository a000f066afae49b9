#pragma once
// The base of the thin control classes. A control object is bound to one child window, either one it created
// (and destroys) or an existing dialog item it was attached to. The parent's window or dialog procedure hands
// each WM_COMMAND and WM_NOTIFY that a bound child sends back to that child's object (RouteNotification), so a
// button handles its own click. Controls live on the UI thread; they are neither copied nor moved, because the
// child window keeps a pointer to the object.

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <string_view>

namespace Arkova::WinGui {

// What every control's CreateArgs has. Position and size are at 96 DPI and scaled by the parent's DPI.
struct ControlArgs {
    HWND parent = nullptr;
    int id = 0;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    std::wstring text;
    DWORD style = 0;  // added to the control's own styles
    DWORD exStyle = 0;
    bool visible = true;
    HFONT font = nullptr;  // nullptr: the parent's font; the caller keeps the font alive
};

class Control {
public:
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control();

    // Binds to item `id` of `dialog`; false when there is no such item or it is bound to another object.
    bool Attach(HWND dialog, int id);
    // Unbinds; a created window is destroyed, an attached one stays.
    void Detach();

    HWND Handle() const { return hwnd_; }
    int Id() const;
    std::wstring Text() const;
    void SetText(std::wstring_view text);
    bool IsEnabled() const;
    void SetEnabled(bool enabled);
    bool IsVisible() const;
    void SetVisible(bool visible);
    void SetFont(HFONT font);
    void Focus();
    // Pixels, in the parent's client coordinates.
    RECT Bounds() const;
    void SetBounds(const RECT& bounds);

    // The object bound to a child window, or nullptr.
    static Control* FromHandle(HWND window);

    // For parents' procedures: delivers WM_COMMAND and WM_NOTIFY from a bound child to its object. true when
    // the control handled it (result holds the WM_NOTIFY answer); false leaves it to the parent.
    static bool RouteNotification(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

protected:
    Control() = default;

    // Creates the child window: WS_CHILD, WS_VISIBLE unless args.visible is false, `style` and args.style.
    bool CreateControl(const wchar_t* className, const ControlArgs& args, DWORD style);

    // The notification code of a WM_COMMAND this control sent; false when nobody handled it.
    virtual bool OnCommand(int code);
    virtual bool OnNotify(NMHDR& header, LRESULT& result);

private:
    bool Bind(HWND window, bool owned);

    HWND hwnd_ = nullptr;
    bool owned_ = false;
};

}  // namespace Arkova::WinGui
