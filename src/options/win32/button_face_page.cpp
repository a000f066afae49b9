#include "options/win32/options_pages.h"

#include <utility>

#include "resource.h"
#include "wingui/dpi.h"

namespace Arkova {

ButtonFacePage::ButtonFacePage(std::wstring name, int templateId) : OptionsPage(std::move(name), templateId) {}

bool ButtonFacePage::CreateFacePage(HWND dialog, HINSTANCE instance, const RECT& pageRect) {
    background_.Reset(::CreateSolidBrush(::GetSysColor(COLOR_BTNFACE)));
    if (!CreatePageWindow(dialog, instance, pageRect)) return false;
    font_ = WinGui::CreateMessageFont(WinGui::DpiForWindow(PageWindow()));
    if (font_) {
        for (HWND child = ::GetWindow(PageWindow(), GW_CHILD); child != nullptr;
             child = ::GetWindow(child, GW_HWNDNEXT)) {
            ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
        }
    }
    return true;
}

HBRUSH ButtonFacePage::PaintFace(HDC dc) {
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
    ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
    return background_ ? background_.Get() : ::GetSysColorBrush(COLOR_BTNFACE);
}

HBRUSH ButtonFacePage::OnCtlColorStatic(HDC dc, HWND) { return PaintFace(dc); }

bool ButtonFacePage::HandleMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    if (message != WM_CTLCOLORBTN && message != WM_CTLCOLORDLG) return false;
    result = reinterpret_cast<LRESULT>(PaintFace(reinterpret_cast<HDC>(wParam)));
    return true;
}

OtherOptions::OtherOptions() : ButtonFacePage(L"기타", IDD_OPTIONS_OTHER) {}

bool OtherOptions::Create(HWND dialog, HINSTANCE instance, const RECT& pageRect) {
    return CreateFacePage(dialog, instance, pageRect);
}

std::vector<std::unique_ptr<OptionsPage>> MakeOptionsPages() {
    std::vector<std::unique_ptr<OptionsPage>> pages;
    pages.push_back(std::make_unique<GeneralOptions>());
    pages.push_back(std::make_unique<ShellOptions>());
    pages.push_back(std::make_unique<OtherOptions>());
    return pages;
}

}  // namespace Arkova
