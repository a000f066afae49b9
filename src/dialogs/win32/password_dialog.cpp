#include "dialogs/win32/password_dialog.h"

#include "resource.h"
#include "wingui/button.h"
#include "wingui/dialog.h"
#include "wingui/edit.h"

namespace Arkova {

namespace {

constexpr int kMaxPasswordLength = 255;
constexpr COLORREF kWrongPasswordColour = RGB(220, 53, 69);

class PasswordDialog : public WinGui::Dialog {
public:
    PasswordDialog(const std::wstring& archiveName, bool wrongPassword)
        : Dialog(IDD_PASSWORD), archiveName_(archiveName), wrongPassword_(wrongPassword) {}

    PasswordReply reply;

protected:
    bool OnInitDialog() override {
        HICON icon = ::LoadIconW(nullptr, IDI_SHIELD);
        if (icon == nullptr) icon = ::LoadIconW(nullptr, IDI_WARNING);
        ::SendDlgItemMessageW(Handle(), IDC_PASSWORD_ICON, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
        SetItemText(IDC_PASSWORD_ARCHIVE, archiveName_);
        SetItemText(IDC_PASSWORD_MESSAGE, wrongPassword_ ? L"비밀번호가 올바르지 않습니다. 다시 입력해주세요."
                                                         : L"이 압축 파일은 암호로 보호되어 있습니다.");
        remember_.Attach(Handle(), IDC_PASSWORD_REMEMBER);
        remember_.SetChecked(true);
        show_.Attach(Handle(), IDC_PASSWORD_SHOW);
        password_.Attach(Handle(), IDC_PASSWORD_EDIT);
        password_.SetLimit(kMaxPasswordLength);
        show_.onClick = [this] {
            ::SendMessageW(password_.Handle(), EM_SETPASSWORDCHAR, show_.Checked() ? 0 : L'*', 0);
            ::InvalidateRect(password_.Handle(), nullptr, TRUE);
        };
        password_.Focus();
        return false;
    }

    bool OnCommand(int id, int, HWND) override {
        if (id == IDOK) {
            std::wstring text = password_.Text();
            if (text.size() > kMaxPasswordLength) text.resize(kMaxPasswordLength);
            reply = {true, text, remember_.Checked()};
            End(1);
            return true;
        }
        if (id == IDCANCEL) {
            End(0);
            return true;
        }
        return false;
    }

    void OnClose() override { End(0); }

    HBRUSH OnCtlColorStatic(HDC dc, HWND control) override {
        if (!wrongPassword_ || ::GetDlgCtrlID(control) != IDC_PASSWORD_MESSAGE) return nullptr;
        ::SetTextColor(dc, kWrongPasswordColour);
        ::SetBkMode(dc, TRANSPARENT);
        return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
    }

private:
    std::wstring archiveName_;
    bool wrongPassword_;
    WinGui::Edit password_;
    WinGui::Button show_;
    WinGui::Button remember_;
};

}  // namespace

PasswordReply AskPasswordDialog(HWND owner, const std::wstring& archiveName, bool wrongPassword) {
    PasswordDialog dialog(archiveName, wrongPassword);
    if (dialog.ShowModal(owner) != 1) return {false, L"", true};
    return dialog.reply;
}

}  // namespace Arkova
