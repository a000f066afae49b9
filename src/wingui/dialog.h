#pragma once
// The base of dialogs made from a dialog template in the program's resources, modal or modeless. The object is
// kept in DWLP_USER from WM_INITDIALOG on; the dialog procedure calls the virtual members below, and WM_COMMAND
// and WM_NOTIFY from bound child controls go to those controls first (a Button with onClick handles its click;
// anything a control leaves reaches OnCommand/OnNotify). UI thread only; not copied or moved.
//
//   class AboutDialog : public Dialog {
//   public:
//       AboutDialog() : Dialog(IDD_ABOUT) {}
//   protected:
//       bool OnInitDialog() override { ok_.Attach(Handle(), IDOK); ok_.onClick = [this] { End(IDOK); }; return true; }
//   private:
//       Button ok_;
//   };
//   AboutDialog().ShowModal(owner);

#include <windows.h>

#include <string>
#include <string_view>

namespace Arkova::WinGui {

class Dialog {
public:
    explicit Dialog(int templateId, HINSTANCE instance = nullptr);
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;
    // Destroys a modeless dialog that is still open; derived handlers no longer run by then.
    virtual ~Dialog();

    // Runs the dialog until End; returns End's code, or -1 when the dialog could not be made.
    INT_PTR ShowModal(HWND owner);
    // Creates the dialog (shown if its template says WS_VISIBLE) and returns at once; the message pump of
    // message_pump.h gives it keyboard navigation. false when it could not be made.
    bool CreateModeless(HWND owner);
    // Creates a DS_CONTROL | WS_CHILD template as a child of `parent` (a page inside another dialog), hidden
    // unless its template says WS_VISIBLE. The parent's dialog manager gives it keyboard navigation, so it stays
    // out of the pump's list. `instance` nullptr: the one given to the constructor. false when it could not be made.
    bool CreateChild(HWND parent, HINSTANCE instance = nullptr);
    // Closes the dialog: EndDialog for a modal one, DestroyWindow for a modeless one.
    void End(INT_PTR code);

    HWND Handle() const { return hwnd_; }
    HWND Item(int id) const { return ::GetDlgItem(hwnd_, id); }
    bool IsModal() const { return modal_; }
    // The code given to End, or -1 while the dialog has not ended.
    INT_PTR EndCode() const { return endCode_; }
    std::wstring ItemText(int id) const;
    void SetItemText(int id, std::wstring_view text);

    static Dialog* FromHandle(HWND dialog);

protected:
    // Bind controls here. true lets Windows focus the first tab stop; false when the handler set the focus.
    virtual bool OnInitDialog();
    // Default: IDOK and IDCANCEL end the dialog with their id.
    virtual bool OnCommand(int id, int code, HWND control);
    virtual bool OnNotify(NMHDR& header, LRESULT& result);
    // A brush for the static control's background (the caller keeps it alive), or nullptr for the default.
    virtual HBRUSH OnCtlColorStatic(HDC dc, HWND control);
    // Default: End(IDCANCEL).
    virtual void OnClose();
    virtual void OnDestroy() {}
    // Every message no member above handled. Return true with `result` set when handled.
    virtual bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Leaves a modeless dialog on screen without this object: the window keeps running on whatever procedure the
    // caller gives it next, and the object no longer sees or destroys it. Returns the window.
    HWND Release();

private:
    static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    void Detach();

    int templateId_;
    HINSTANCE instance_;
    HWND hwnd_ = nullptr;
    bool modal_ = false;
    INT_PTR endCode_ = -1;
};

}  // namespace Arkova::WinGui
