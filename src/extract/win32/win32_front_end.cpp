#include "extract/win32/win32_front_end.h"

#include <shellapi.h>

#include "dialogs/win32/overwrite_dialog.h"
#include "dialogs/win32/password_dialog.h"
#include "dialogs/win32/report_dialogs.h"
#include "extract/win32/progress_window.h"
#include "frontend/job_warnings.h"
#include "frontend/texts.h"

namespace Arkova {

namespace {

UINT MessageBoxIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return MB_ICONINFORMATION;
        case MessageIcon::Warning:
            return MB_ICONWARNING;
        case MessageIcon::Error:
            return MB_ICONERROR;
    }
    return MB_ICONINFORMATION;
}

// SHFileOperationW takes lists of paths, each ended by a NUL and the list by a second one.
std::wstring PathList(const std::wstring& path) { return path + L'\0'; }

}  // namespace

Win32FrontEnd::Win32FrontEnd(HWND owner, Platform::ShellActions& shell) : owner_(owner), shell_(shell) {}

HWND Win32FrontEnd::PromptOwner() const { return jobWindow_ != nullptr ? jobWindow_ : owner_; }

std::unique_ptr<ExtractProgressDialog> Win32FrontEnd::CreateProgressDialog() {
    auto window = std::make_unique<ProgressWindow>(owner_, shell_);
    window->onWindowChanged = [this](HWND shown) { jobWindow_ = shown; };
    return window;
}

OverwriteAnswer Win32FrontEnd::AskOverwrite(const std::wstring& name) {
    return AskOverwriteDialog(PromptOwner(), name);
}

PasswordReply Win32FrontEnd::AskPassword(const std::wstring& archiveName, bool wrongPassword) {
    return AskPasswordDialog(PromptOwner(), archiveName, wrongPassword);
}

void Win32FrontEnd::ShowMessage(const std::wstring& text, const std::wstring& caption, MessageIcon icon) {
    ::MessageBoxW(PromptOwner(), text.c_str(), caption.c_str(), MB_OK | MessageBoxIcon(icon));
}

void Win32FrontEnd::ShowTestReport(const TestReport& report) { ShowTestReportDialog(PromptOwner(), report); }

void Win32FrontEnd::ShowFailures(const std::vector<EntryFailure>& failures) {
    ShowFailureListDialog(PromptOwner(), failures);
}

void Win32FrontEnd::ShowWarnings(const std::vector<std::wstring>& warnings) {
    ShowMessage(WarningsMessageKorean(warnings), kCaptionWarning, MessageIcon::Warning);
}

CopyResult Win32FrontEnd::CopyFolderContents(const std::wstring& source, const std::wstring& destination) {
    std::wstring from = PathList(source + L"\\*");
    std::wstring to = PathList(destination);
    SHFILEOPSTRUCTW operation{};
    operation.hwnd = PromptOwner();
    operation.wFunc = FO_COPY;
    operation.pFrom = from.c_str();
    operation.pTo = to.c_str();
    operation.fFlags = FOF_NOCONFIRMMKDIR;
    int error = ::SHFileOperationW(&operation);

    CopyResult result;
    if (error != 0 && error != ERROR_CANCELLED) {
        result.outcome = CopyResult::Outcome::Failed;
        result.failures.push_back({destination, FailureReason::MoveIntoDestination,
                                   L"SHFileOperation " + std::to_wstring(error), DecodeResult::Ok});
    } else if (error == ERROR_CANCELLED || operation.fAnyOperationsAborted) {
        result.outcome = CopyResult::Outcome::Aborted;
    }
    return result;
}

}  // namespace Arkova
