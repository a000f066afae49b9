#include "dialogs/archive_test.h"

#include "frontend/texts.h"

namespace Arkova {

bool TestArchive(ArchiveSession& session, JobFrontEnd& frontEnd, TestReport* shownReport) {
    if (!session.HasOpenArchive()) {
        frontEnd.ShowMessage(kMessageNoOpenArchive, kCaptionTest, MessageIcon::Information);
        return false;
    }
    // The test holds the decoder for its whole run; the thumbnail workers wait meanwhile.
    std::lock_guard decoderLock(session.decoderMutex);
    TestReport report;
    report.archiveName = FileNamePart(session.archivePath);

    std::unique_ptr<ExtractProgressDialog> dialog = frontEnd.CreateProgressDialog();
    dialog->Open(kTitleArchiveTest, L"", L"");
    bool cancelled = false;
    report.results = session.context.TestAll([&](std::uint32_t current, std::uint32_t total, const std::wstring& path) {
        if (dialog->IsCancelled()) {
            cancelled = true;
            return false;
        }
        dialog->SetOverallProgress(total > 0 ? static_cast<int>(std::uint64_t{current} * 100 / total) : 0);
        dialog->SetCurrentName(path);
        dialog->SetStatusText(kStatusTestingPrefix + std::to_wstring(current) + L" / " + std::to_wstring(total));
        dialog->PumpMessages();
        return true;
    });
    dialog->Close();
    if (cancelled) return false;
    report.warnings = session.context.Decoder()->Warnings();
    frontEnd.ShowTestReport(report);
    if (!report.warnings.empty()) frontEnd.ShowWarnings(report.warnings);
    if (shownReport != nullptr) *shownReport = std::move(report);
    return true;
}

}  // namespace Arkova
