// Everything a job, the password prompt and the archive test need from the person in front of the program: the
// progress window, the overwrite and password questions, messages, the test report, the failure list, the
// decoder's warnings, and the copy of a finished parallel extraction into its destination. The Win32 windows, the
// console and the tests' scripted double implement it. User-interface thread only.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "frontend/copy_result.h"
#include "frontend/entry_failure.h"
#include "frontend/message_icon.h"
#include "frontend/overwrite_answer.h"
#include "frontend/password_reply.h"
#include "frontend/progress_dialog.h"
#include "frontend/test_report.h"

namespace Arkova {

class JobFrontEnd {
public:
    virtual ~JobFrontEnd() = default;

    virtual std::unique_ptr<ExtractProgressDialog> CreateProgressDialog() = 0;
    // "'name' 파일이 이미 존재합니다." with overwrite, skip, rename and cancel, and "모든 파일에 적용".
    virtual OverwriteAnswer AskOverwrite(const std::wstring& name) = 0;
    virtual PasswordReply AskPassword(const std::wstring& archiveName, bool wrongPassword) = 0;
    virtual void ShowMessage(const std::wstring& text, const std::wstring& caption, MessageIcon icon) = 0;
    virtual void ShowTestReport(const TestReport& report) = 0;
    // The entries a job could not extract, shown once at its end.
    virtual void ShowFailures(const std::vector<EntryFailure>& failures) = 0;
    // What the decoder found odd in data it still delivered (trailing bytes after a compressed stream, say), in its
    // own English words, each once: shown once at the end of an extraction or a test, after its failures and
    // report. Never called with an empty list. A warning is not a failure: the job still succeeded.
    virtual void ShowWarnings(const std::vector<std::wstring>& warnings) = 0;
    // Moves or copies the contents of `source` into `destination` (created when missing), merging with folders
    // that exist there and asking about existing files through AskOverwrite. MergeFolderContents (extract/) is the
    // portable implementation.
    virtual CopyResult CopyFolderContents(const std::wstring& source, const std::wstring& destination) = 0;
};

}  // namespace Arkova
