#include "ui/win32/status_bar.h"

#include <commctrl.h>

#include "ui/win32/png_image.h"
#include "wingui/dpi.h"

namespace Arkova {

StatusBar::~StatusBar() {
    if (window_ != nullptr && ::IsWindow(window_)) ::DestroyWindow(window_);
}

bool StatusBar::Create(HWND parent, int id, UINT dpi) {
    window_ =
        ::CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr), nullptr);
    if (window_ == nullptr) return false;
    SetDpi(dpi);
    strip_ = ::CreateWindowExW(
        0, TOOLBARCLASSNAMEW, L"",
        WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER | CCS_NOPARENTALIGN | CCS_NORESIZE, 0,
        0, 0, 0, window_, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (strip_ == nullptr) return true;
    ::SendMessageW(strip_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    // Its clicks go to the frame, as the menu's commands do.
    ::SendMessageW(strip_, TB_SETPARENT, reinterpret_cast<WPARAM>(parent), 0);
    images_.Reset(::ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 4, 4));
    ::SendMessageW(strip_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_.Get()));
    return true;
}

int StatusBar::Height() const {
    RECT rect{};
    if (window_ == nullptr || !::GetWindowRect(window_, &rect)) return 0;
    return rect.bottom - rect.top;
}

void StatusBar::SetDpi(UINT dpi) {
    int edges[] = {WinGui::Scale(400, dpi), WinGui::Scale(600, dpi), -1};
    ::SendMessageW(window_, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges));
}

void StatusBar::SetText(Part part, const std::wstring& text) {
    if (window_ != nullptr) ::SendMessageW(window_, SB_SETTEXTW, part, reinterpret_cast<LPARAM>(text.c_str()));
}

std::wstring StatusBar::Text(Part part) const {
    if (window_ == nullptr) return {};
    auto length = LOWORD(::SendMessageW(window_, SB_GETTEXTLENGTHW, part, 0));
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    ::SendMessageW(window_, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(text.data()));
    text.resize(length);
    return text;
}

bool StatusBar::AddButton(int command, const std::wstring& imagePath) {
    if (strip_ == nullptr || !images_) return false;
    PngImage image = PngImage::Load(imagePath);
    if (image.Empty()) return false;
    // The image drawn into a 16 × 16 premultiplied bitmap for the image list.
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 16, -16, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC screen = ::GetDC(nullptr);
    WinGui::Bitmap bitmap(::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ::ReleaseDC(nullptr, screen);
    if (!bitmap) return false;
    {
        WinGui::MemoryDc memory(::CreateCompatibleDC(nullptr));
        WinGui::SelectedObject selected(memory.Get(), bitmap.Get());
        image.Draw(memory.Get(), {0, 0, 16, 16});
    }
    int index = ::ImageList_Add(images_.Get(), bitmap.Get(), nullptr);
    if (index < 0) return false;
    TBBUTTON button{};
    button.iBitmap = index;
    button.idCommand = command;
    button.fsState = TBSTATE_ENABLED;
    if (!::SendMessageW(strip_, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button))) return false;
    ++buttons_;
    ::SendMessageW(strip_, TB_AUTOSIZE, 0, 0);
    Relayout();
    return true;
}

void StatusBar::Relayout() {
    if (window_ == nullptr) return;
    ::SendMessageW(window_, WM_SIZE, 0, 0);
    if (strip_ == nullptr || buttons_ == 0) return;
    SIZE ideal{};
    ::SendMessageW(strip_, TB_GETIDEALSIZE, FALSE, reinterpret_cast<LPARAM>(&ideal));
    RECT buttonRect{};
    ::SendMessageW(strip_, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&buttonRect));
    const int height = buttonRect.bottom - buttonRect.top;
    RECT client{};
    ::GetClientRect(window_, &client);
    ::SetWindowPos(strip_, nullptr, client.right - ideal.cx - 20, (client.bottom - height) / 2, ideal.cx, height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace Arkova
