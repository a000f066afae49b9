#include "dialogs/archive_test.h"

namespace Arkova {

bool TestArchive(ArchiveSession& session, JobFrontEnd& frontEnd, TestReport* shownReport) {
    if (!session.HasOpenArchive()) {
        frontEnd.ShowMessage(L"열린 압축 파일이 없습니다.", L"테스트", MessageIcon::Information);
        return false;
    }
    TestReport report;
    report.archiveName = FileNamePart(session.archivePath);

    std::unique_ptr<ExtractProgressDialog> dialog = frontEnd.CreateProgressDialog();
    dialog->Open(L"아카이브 테스트", L"", L"");
    bool cancelled = false;
    report.results = session.context.TestAll([&](std::uint32_t current, std::uint32_t total, const std::wstring& path) {
        if (dialog->IsCancelled()) {
            cancelled = true;
            return false;
        }
        dialog->SetOverallProgress(total > 0 ? static_cast<int>(std::uint64_t{current} * 100 / total) : 0);
        dialog->SetCurrentName(path);
        dialog->SetStatusText(L"테스트 중: " + std::to_wstring(current) + L" / " + std::to_wstring(total));
        dialog->PumpMessages();
        return true;
    });
    dialog->Close();
    if (cancelled) return false;
    frontEnd.ShowTestReport(report);
    if (shownReport != nullptr) *shownReport = std::move(report);
    return true;
}

}  // namespace Arkova
