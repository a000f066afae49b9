// The jobs' front end on Windows: the progress window, the overwrite and password dialogs, message boxes with the
// captions "알림", "오류", "성공" and "경고", the test report, the list of entries that failed, and the shell's own
// copy of a finished parallel extraction into its destination. UI thread only.
#pragma once

#include <windows.h>

#include "frontend/job_front_end.h"
#include "platform/shell.h"

namespace Arkova {

class Win32FrontEnd : public JobFrontEnd {
public:
    // `owner` is the main window (null for none); `shell` opens folders for the progress windows and must outlive
    // them, detached ones included.
    explicit Win32FrontEnd(HWND owner, Platform::ShellActions& shell = Platform::SystemShell());

    // For an owner made after the front end (the main window creates its front end before its window).
    void SetOwner(HWND owner) { owner_ = owner; }

    std::unique_ptr<ExtractProgressDialog> CreateProgressDialog() override;
    OverwriteAnswer AskOverwrite(const std::wstring& name) override;
    PasswordReply AskPassword(const std::wstring& archiveName, bool wrongPassword) override;
    void ShowMessage(const std::wstring& text, const std::wstring& caption, MessageIcon icon) override;
    void ShowTestReport(const TestReport& report) override;
    void ShowFailures(const std::vector<EntryFailure>& failures) override;
    // A "경고" message box naming each warning after "경고: ".
    void ShowWarnings(const std::vector<std::wstring>& warnings) override;
    // SHFileOperationW FO_COPY of source\* into destination, which asks about existing files itself. A copy the
    // shell reports as failed is one failure naming the destination; a copy the user stopped or cut short
    // (an existing file not replaced among them) is Aborted.
    CopyResult CopyFolderContents(const std::wstring& source, const std::wstring& destination) override;

private:
    // Prompts belong to the job's progress window while it is open: owned by the disabled main window, a modal
    // dialog would enable it again when it ends, in the middle of the job.
    HWND PromptOwner() const;

    HWND owner_;
    Platform::ShellActions& shell_;
    HWND jobWindow_ = nullptr;
};

}  // namespace Arkova
