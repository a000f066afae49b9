// The console as the jobs' front end: a progress line with both bars on standard error, questions on the
// terminal, messages and the test report as text. Without a terminal nobody is asked: existing files are skipped
// (and named at the end) unless -y or -n said otherwise, and no password is asked for.
#pragma once

#include <string>

#include "cli/console.h"
#include "cli/options.h"
#include "frontend/job_front_end.h"

namespace Arkova::Cli {

class ConsoleFrontEnd : public JobFrontEnd {
public:
    ConsoleFrontEnd(Console& console, const Options& options);

    std::unique_ptr<ExtractProgressDialog> CreateProgressDialog() override;
    OverwriteAnswer AskOverwrite(const std::wstring& name) override;
    PasswordReply AskPassword(const std::wstring& archiveName, bool wrongPassword) override;
    void ShowMessage(const std::wstring& text, const std::wstring& caption, MessageIcon icon) override;
    void ShowTestReport(const TestReport& report) override;
    void ShowFailures(const std::vector<EntryFailure>& failures) override;
    // One "arkova-cli: warning: " line each, also with -q: they are part of the result.
    void ShowWarnings(const std::vector<std::wstring>& warnings) override;
    // The portable merge; Ctrl+C during it stops it cleanly, so the staging folder is still removed.
    CopyResult CopyFolderContents(const std::wstring& source, const std::wstring& destination) override;

    // Existing files were skipped because nobody could be asked, not because the user said so.
    bool SkippedUnasked() const { return skippedUnasked_; }
    bool PasswordWasAsked() const { return passwordAsked_; }

private:
    Console& console_;
    ExistingFiles existing_;
    bool quiet_;
    bool skippedUnasked_ = false;
    bool passwordAsked_ = false;
};

}  // namespace Arkova::Cli
