#include "cli/console_front_end.h"

#include "archive/decode_result.h"
#include "cli/console_progress_dialog.h"
#include "dialogs/test_report.h"
#include "extract/folder_merge.h"

namespace Arkova::Cli {

namespace {

const wchar_t* ReasonText(FailureReason reason) {
    switch (reason) {
        case FailureReason::Decode:
            return L"";  // the DecodeResult's name instead
        case FailureReason::UnsafePath:
            return L"refused, the path would leave the destination folder";
        case FailureReason::OutOfMemory:
            return L"out of memory";
        case FailureReason::ThreadStart:
            return L"cannot start a thread";
        case FailureReason::Engine:
            return L"the parallel extraction failed";
        case FailureReason::Unexpected:
            return L"unexpected failure";
        case FailureReason::ReadFolder:
            return L"cannot read the folder";
        case FailureReason::CreateFolder:
            return L"cannot create the folder";
        case FailureReason::MoveIntoDestination:
            return L"cannot move it into the destination folder";
        case FailureReason::ReplaceExisting:
            return L"cannot replace the existing file";
        case FailureReason::FileInTheWay:
            return L"a file of that name exists";
        case FailureReason::FolderInTheWay:
            return L"a folder of that name exists";
        case FailureReason::RemoveStaging:
            return L"cannot remove the temporary folder";
    }
    return L"unknown failure";
}

// The English line of a failure: a decoder's result by its name, with the library's explanation after it; an
// engine's or an exception's own text as it is.
std::wstring FailureText(const EntryFailure& failure) {
    if (failure.reason == FailureReason::Decode) {
        std::wstring text = DecodeResultName(failure.decodeResult);
        return failure.detail.empty() ? text : text + L" (" + failure.detail + L")";
    }
    if (!failure.detail.empty() &&
        (failure.reason == FailureReason::Engine || failure.reason == FailureReason::Unexpected)) {
        return failure.detail;
    }
    return ReasonText(failure.reason);
}

struct OverwriteChoice {
    const wchar_t* key;
    OverwriteDecision decision;
    bool forAll;
};

constexpr OverwriteChoice kOverwriteChoices[] = {
    {L"y", OverwriteDecision::Overwrite, false}, {L"n", OverwriteDecision::Skip, false},
    {L"r", OverwriteDecision::Rename, false},    {L"A", OverwriteDecision::Overwrite, true},
    {L"N", OverwriteDecision::Skip, true},       {L"R", OverwriteDecision::Rename, true},
    {L"c", OverwriteDecision::Cancel, false},
};

}  // namespace

ConsoleFrontEnd::ConsoleFrontEnd(Console& console, const Options& options)
    : console_(console), existing_(options.existing), quiet_(options.quiet) {}

std::unique_ptr<ExtractProgressDialog> ConsoleFrontEnd::CreateProgressDialog() {
    return std::make_unique<ConsoleProgressDialog>(console_, !quiet_);
}

OverwriteAnswer ConsoleFrontEnd::AskOverwrite(const std::wstring& name) {
    if (existing_ == ExistingFiles::OverwriteAll) return {OverwriteDecision::Overwrite, true};
    if (existing_ == ExistingFiles::SkipAll) return {OverwriteDecision::Skip, true};
    if (!console_.InputIsTerminal()) {
        skippedUnasked_ = true;
        return {OverwriteDecision::Skip, true};
    }
    for (;;) {
        console_.Err(L"'" + name +
                     L"' already exists. Overwrite? [y]es, [n]o, [r]ename, [A]ll, [N]one, [R]ename all, [c]ancel: ");
        std::wstring answer;
        if (!console_.ReadLine(answer)) {
            console_.Err(L"\n");
            return {OverwriteDecision::Cancel, false};
        }
        for (const OverwriteChoice& choice : kOverwriteChoices) {
            if (answer == choice.key) return {choice.decision, choice.forAll};
        }
    }
}

PasswordReply ConsoleFrontEnd::AskPassword(const std::wstring& archiveName, bool wrongPassword) {
    PasswordReply reply;
    if (!console_.InputIsTerminal()) return reply;
    passwordAsked_ = true;
    console_.Err(wrongPassword ? std::wstring(L"Wrong password, try again: ") : L"Password for " + archiveName + L": ");
    reply.accepted = console_.ReadSecret(reply.password);
    return reply;
}

void ConsoleFrontEnd::ShowMessage(const std::wstring& text, const std::wstring& caption, MessageIcon) {
    console_.Err(L"arkova-cli: [" + caption + L"] " + text + L"\n");
}

void ConsoleFrontEnd::ShowTestReport(const TestReport& report) {
    console_.Out(TestReportTitle(report) + L"\n" + report.archiveName + L"\n" + TestSummary(report) + L"\n");
    BatchedOutput rows(console_);
    rows.Add(L"\nStatus  Expected CRC  Actual CRC  File Name\n");
    for (const ItemTestResult& result : report.results) {
        std::wstring status = TestStatusText(result);
        status.resize(6, L' ');
        rows.Add(status + L"  " + CrcText(result.expectedCrc) + L"      " + CrcText(result.actualCrc) + L"    " +
                 result.path + L"\n");
    }
}

CopyResult ConsoleFrontEnd::CopyFolderContents(const std::wstring& source, const std::wstring& destination) {
    console_.CatchInterrupts(true);
    CopyResult result = MergeFolderContents(source, destination, *this, [this] { return console_.Interrupted(); });
    console_.CatchInterrupts(false);
    return result;
}

void ConsoleFrontEnd::ShowFailures(const std::vector<EntryFailure>& failures) {
    for (const EntryFailure& failure : failures)
        console_.Err(L"arkova-cli: " + failure.path + L": " + FailureText(failure) + L"\n");
}

void ConsoleFrontEnd::ShowWarnings(const std::vector<std::wstring>& warnings) {
    for (const std::wstring& warning : warnings) console_.Err(L"arkova-cli: warning: " + warning + L"\n");
}

}  // namespace Arkova::Cli
