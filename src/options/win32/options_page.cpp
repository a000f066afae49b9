#include "options/win32/options_page.h"

#include <utility>

namespace Arkova {

OptionsPage::OptionsPage(std::wstring name, int templateId) : Dialog(templateId), name_(std::move(name)) {}

OptionsPage::~OptionsPage() = default;

bool OptionsPage::CreatePageWindow(HWND dialog, HINSTANCE instance, const RECT& pageRect) {
    dialog_ = dialog;
    if (!CreateChild(dialog, instance)) return false;
    ::SetWindowPos(Handle(), nullptr, pageRect.left, pageRect.top, pageRect.right - pageRect.left,
                   pageRect.bottom - pageRect.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
    return true;
}

}  // namespace Arkova
