#include "app/shell_integration.h"
#include "options/win32/options_pages.h"
#include "resource.h"

namespace Arkova {

namespace {

void Tell(HWND owner, const wchar_t* text, const wchar_t* caption, UINT icon) {
    ::MessageBoxW(owner, text, caption, MB_OK | icon);
}

}  // namespace

ShellOptions::ShellOptions() : OptionsPage(L"쉘 통합", IDD_OPTIONS_SHELL), types_(DefaultShellFileTypes()) {}

bool ShellOptions::Create(HWND dialog, HINSTANCE instance, const RECT& pageRect) {
    return CreatePageWindow(dialog, instance, pageRect);
}

bool ShellOptions::OnInitDialog() {
    list_.Attach(Handle(), IDC_SHELL_TYPES);
    register_.Attach(Handle(), IDC_SHELL_REGISTER);
    unregister_.Attach(Handle(), IDC_SHELL_UNREGISTER);
    list_.SetExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);

    // One column as wide as the list, less room for a vertical scroll bar.
    RECT client{};
    ::GetClientRect(list_.Handle(), &client);
    int width = client.right - ::GetSystemMetrics(SM_CXVSCROLL) - 4;
    int column = list_.AddColumn(L"파일 형식", 0);
    ::SendMessageW(list_.Handle(), LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column),
                   MAKELPARAM(width > 0 ? width : 0, 0));

    list_.onCheckChanged = [this](int row, bool checked) {
        if (filling_ || row < 0 || static_cast<size_t>(row) >= types_.size()) return;
        types_[static_cast<size_t>(row)].checked = checked;
    };
    register_.onClick = [this] { RegisterChecked(); };
    unregister_.onClick = [this] { Unregister(); };

    FillRows();
    Load();
    return false;
}

void ShellOptions::FillRows() {
    filling_ = true;
    list_.SetRedraw(false);
    list_.DeleteAllRows();
    for (const ShellFileType& type : types_) {
        int row = list_.InsertRow(-1, ShellFileTypeText(type));
        if (row >= 0) list_.SetRowChecked(row, type.checked);
    }
    list_.SetRedraw(true);
    filling_ = false;
}

void ShellOptions::Load() {
    if (PageWindow() == nullptr) return;
    LoadRegistrationStates(types_);
    FillRows();
}

void ShellOptions::RegisterChecked() {
    std::vector<std::wstring> extensions = CheckedExtensions(types_);
    if (extensions.empty()) {
        Tell(DialogWindow(), L"등록할 파일 형식을 선택해주세요.", L"알림", MB_ICONINFORMATION);
        return;
    }
    if (!RegisterContextMenu(extensions)) {
        Tell(DialogWindow(), L"쉘 통합 등록에 실패했습니다.\n관리자 권한으로 다시 시도해주세요.", L"오류",
             MB_ICONERROR);
        return;
    }
    Tell(DialogWindow(), L"쉘 통합이 등록되었습니다.", L"성공", MB_ICONINFORMATION);
    Load();
}

void ShellOptions::Unregister() {
    if (!UnregisterContextMenu()) {
        Tell(DialogWindow(), L"쉘 통합 해제에 실패했습니다.", L"오류", MB_ICONERROR);
        return;
    }
    Tell(DialogWindow(), L"쉘 통합이 해제되었습니다.", L"성공", MB_ICONINFORMATION);
    Load();
}

}  // namespace Arkova
