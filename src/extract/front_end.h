// Everything a job, the password prompt and the archive test need from the person in front of the program: the
// progress window, the overwrite and password questions, messages, the test report, and the copy of a finished
// parallel extraction into its destination. The Win32 windows, the console and the tests' scripted double
// implement it. User-interface thread only.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "dialogs/overwrite.h"
#include "dialogs/test_report.h"
#include "extract/progress_dialog.h"

namespace Arkova {

enum class MessageIcon { Information, Warning, Error };

// One round of the password dialog.
struct PasswordReply {
    bool accepted = false;
    std::wstring password;
    bool remember = true;
};

// An entry that was not extracted, and why.
struct EntryFailure {
    std::wstring path;
    std::wstring reason;
};

// What copying a finished parallel extraction into its destination came to.
struct CopyResult {
    enum class Outcome { Done, Failed, Aborted } outcome = Outcome::Done;
    std::vector<EntryFailure> failures;
    std::vector<std::wstring> skipped;
};

class JobFrontEnd {
public:
    virtual ~JobFrontEnd() = default;

    virtual std::unique_ptr<ExtractProgressDialog> CreateProgressDialog() = 0;
    // "'name' 파일이 이미 존재합니다." with overwrite, skip, rename and cancel, and "모든 파일에 적용".
    virtual OverwriteAnswer AskOverwrite(const std::wstring& name) = 0;
    // The decision for one conflict of a job: the answer given "for all files" earlier in `state`, else a new
    // question whose answer `state` then keeps.
    OverwriteDecision ResolveConflict(ConflictState& state, const std::wstring& name);
    virtual PasswordReply AskPassword(const std::wstring& archiveName, bool wrongPassword) = 0;
    virtual void ShowMessage(const std::wstring& text, const std::wstring& caption, MessageIcon icon) = 0;
    virtual void ShowTestReport(const TestReport& report) = 0;
    // The entries a job could not extract, shown once at its end.
    virtual void ShowFailures(const std::vector<EntryFailure>& failures) = 0;
    // Moves or copies the contents of `source` into `destination`, merging with folders that exist there and
    // asking about existing files. This implementation renames where it can and copies where it must.
    virtual CopyResult CopyFolderContents(const std::wstring& source, const std::wstring& destination);
    // Asked between the files of that copy: true stops it as if the user had cancelled (Aborted).
    virtual bool CopyShouldStop() { return false; }
};

}  // namespace Arkova
