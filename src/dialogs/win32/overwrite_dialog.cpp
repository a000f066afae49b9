#include "dialogs/win32/overwrite_dialog.h"

#include "resource.h"
#include "wingui/button.h"
#include "wingui/dialog.h"

namespace Arkova {

namespace {

class OverwriteDialog : public WinGui::Dialog {
public:
    explicit OverwriteDialog(const std::wstring& name) : Dialog(IDD_OVERWRITE), name_(name) {}

    OverwriteAnswer answer;  // { Cancel, false } unless a choice button ends the dialog

protected:
    bool OnInitDialog() override {
        ::SendDlgItemMessageW(Handle(), IDC_OVERWRITE_ICON, STM_SETICON,
                              reinterpret_cast<WPARAM>(::LoadIconW(nullptr, IDI_WARNING)), 0);
        SetItemText(IDC_OVERWRITE_QUESTION, L"'" + name_ + L"' 파일이 이미 존재합니다.\n어떻게 처리할까요?");
        applyToAll_.Attach(Handle(), IDC_OVERWRITE_APPLY_TO_ALL);
        applyToAll_.SetChecked(true);
        ::SetFocus(Item(IDC_OVERWRITE_OVERWRITE));
        return false;
    }

    bool OnCommand(int id, int, HWND) override {
        switch (id) {
            case IDC_OVERWRITE_OVERWRITE:
                return Choose(OverwriteDecision::Overwrite);
            case IDC_OVERWRITE_SKIP:
                return Choose(OverwriteDecision::Skip);
            case IDC_OVERWRITE_RENAME:
                return Choose(OverwriteDecision::Rename);
            case IDCANCEL:
                End(0);
                return true;
            default:
                return true;  // IDOK from Enter among them
        }
    }

    void OnClose() override { End(0); }

private:
    bool Choose(OverwriteDecision decision) {
        answer = {decision, applyToAll_.Checked()};
        End(1);
        return true;
    }

    std::wstring name_;
    WinGui::Button applyToAll_;
};

}  // namespace

OverwriteAnswer AskOverwriteDialog(HWND owner, const std::wstring& name) {
    OverwriteDialog dialog(name);
    if (dialog.ShowModal(owner) != 1) return {OverwriteDecision::Cancel, false};
    return dialog.answer;
}

}  // namespace Arkova
