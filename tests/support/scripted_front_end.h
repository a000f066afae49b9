// A front end for driving jobs in tests: answers come from scripts, and everything the job showed is recorded.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "extract/folder_merge.h"
#include "extract/wait_for_worker.h"
#include "frontend/job_front_end.h"

namespace Arkova::Testing {

// What the progress windows of one front end were told, in order.
struct ProgressRecord {
    int opened = 0;
    int closed = 0;
    int finished = 0;
    int detached = 0;
    int waitedUntilClosed = 0;
    int marqueesStarted = 0;
    int marqueesStopped = 0;
    std::vector<std::wstring> titles;
    std::vector<std::wstring> names;     // every SetCurrentName
    std::vector<std::wstring> statuses;  // every SetStatusText
    std::vector<int> itemPercents;
    std::vector<int> overallPercents;
    int pumps = 0;
};

class ScriptedProgressDialog : public ExtractProgressDialog {
public:
    ScriptedProgressDialog(ProgressRecord& record, std::function<bool(const ProgressRecord&)> cancelWhen,
                           bool closeOnFinish)
        : record_(record), cancelWhen_(std::move(cancelWhen)), closeOnFinish_(closeOnFinish) {}

    bool Open(const std::wstring& title, const std::wstring&, const std::wstring&) override {
        ++record_.opened;
        record_.titles.push_back(title);
        open_ = true;
        return true;
    }
    void SetCurrentName(const std::wstring& text) override { record_.names.push_back(text); }
    void SetStatusText(const std::wstring& text) override { record_.statuses.push_back(text); }
    void SetItemProgress(int percent) override { record_.itemPercents.push_back(percent); }
    void SetOverallProgress(int percent) override { record_.overallPercents.push_back(percent); }
    void StartItemMarquee() override { ++record_.marqueesStarted; }
    void StopItemMarquee() override { ++record_.marqueesStopped; }
    bool IsCancelled() const override { return cancelled_; }
    void PumpMessages() override {
        ++record_.pumps;
        if (cancelWhen_ && cancelWhen_(record_)) cancelled_ = true;
    }
    void WaitForWorker(JobSignal& signal) override { WaitForWorkerPolling(*this, signal); }
    void Finish() override {
        ++record_.finished;
        if (closeOnFinish_) open_ = false;
    }
    bool IsOpen() const override { return open_; }
    void Close() override {
        if (open_) ++record_.closed;
        open_ = false;
    }
    void Detach() override {
        ++record_.detached;
        open_ = false;
    }
    void RunUntilClosed() override {
        ++record_.waitedUntilClosed;
        open_ = false;
    }

private:
    ProgressRecord& record_;
    std::function<bool(const ProgressRecord&)> cancelWhen_;
    bool closeOnFinish_;
    bool open_ = false;
    bool cancelled_ = false;
};

struct ShownMessage {
    std::wstring text;
    std::wstring caption;
    MessageIcon icon;
};

class ScriptedFrontEnd : public JobFrontEnd {
public:
    std::unique_ptr<ExtractProgressDialog> CreateProgressDialog() override {
        return std::make_unique<ScriptedProgressDialog>(progress, cancelWhen, closeOnFinish);
    }
    OverwriteAnswer AskOverwrite(const std::wstring& name) override {
        overwriteQuestions.push_back(name);
        if (overwriteAnswers.empty()) return {OverwriteDecision::Cancel, false};
        OverwriteAnswer answer = overwriteAnswers.front();
        overwriteAnswers.pop_front();
        return answer;
    }
    PasswordReply AskPassword(const std::wstring& archiveName, bool wrongPassword) override {
        passwordRounds.push_back({archiveName, wrongPassword});
        if (passwordReplies.empty()) return {};
        PasswordReply reply = passwordReplies.front();
        passwordReplies.pop_front();
        return reply;
    }
    void ShowMessage(const std::wstring& text, const std::wstring& caption, MessageIcon icon) override {
        messages.push_back({text, caption, icon});
    }
    void ShowTestReport(const TestReport& report) override { reports.push_back(report); }
    void ShowFailures(const std::vector<EntryFailure>& failures) override { shownFailures.push_back(failures); }
    void ShowWarnings(const std::vector<std::wstring>& warnings) override { shownWarnings.push_back(warnings); }
    CopyResult CopyFolderContents(const std::wstring& source, const std::wstring& destination) override {
        return MergeFolderContents(source, destination, *this);
    }

    // Scripts.
    std::deque<OverwriteAnswer> overwriteAnswers;           // an unscripted question is answered Cancel
    std::deque<PasswordReply> passwordReplies;              // an unscripted round is cancelled
    std::function<bool(const ProgressRecord&)> cancelWhen;  // asked at every pump
    bool closeOnFinish = false;

    // Records.
    ProgressRecord progress;
    std::vector<std::wstring> overwriteQuestions;
    struct PasswordRound {
        std::wstring archiveName;
        bool wrongPassword;
    };
    std::vector<PasswordRound> passwordRounds;
    std::vector<ShownMessage> messages;
    std::vector<TestReport> reports;
    std::vector<std::vector<EntryFailure>> shownFailures;
    std::vector<std::vector<std::wstring>> shownWarnings;
};

}  // namespace Arkova::Testing
