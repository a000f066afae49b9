#include "ui/win32/about_box.h"

#include "resource.h"
#include "wingui/dialog.h"

namespace Arkova {

namespace {

class AboutBox : public WinGui::Dialog {
public:
    AboutBox() : Dialog(IDD_ABOUT) {}

protected:
    bool OnInitDialog() override {
        HICON icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_ARKOVA));
        ::SendDlgItemMessageW(Handle(), IDC_ABOUT_ICON, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
        return true;
    }
};

}  // namespace

void ShowAboutBox(HWND owner) { AboutBox().ShowModal(owner); }

}  // namespace Arkova
