#include "dialogs/win32/report_dialogs.h"

#include <string>

#include "dialogs/test_report.h"
#include "resource.h"
#include "wingui/dialog.h"
#include "wingui/dpi.h"
#include "wingui/list_view.h"

namespace Arkova {

namespace {

// Room for the header's margins and its divider.
constexpr int kHeaderPadding = 16;

struct Column {
    const wchar_t* header;
    int width;  // at 96 DPI
    int format;
};

// A summary with an icon over a read-only list of rows; OK, Escape and the close box end it.
class ReportDialog : public WinGui::Dialog {
public:
    struct Layout {
        int iconId, summaryId, listId;
        std::vector<Column> columns;
    };

    ReportDialog(int templateId, Layout layout) : Dialog(templateId), layout_(std::move(layout)) {}

protected:
    virtual bool HasProblems() const = 0;
    virtual std::wstring Title() const = 0;
    virtual std::wstring Summary() const = 0;
    virtual std::vector<std::vector<std::wstring>> Rows() const = 0;

    bool OnInitDialog() override {
        ::SendDlgItemMessageW(
            Handle(), layout_.iconId, STM_SETICON,
            reinterpret_cast<WPARAM>(::LoadIconW(nullptr, HasProblems() ? IDI_WARNING : IDI_INFORMATION)), 0);
        SetItemText(layout_.summaryId, Summary());
        ::SetWindowTextW(Handle(), Title().c_str());
        list_.Attach(Handle(), layout_.listId);
        list_.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_DOUBLEBUFFER,
                               LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_DOUBLEBUFFER);
        for (const Column& column : layout_.columns) {
            int index = list_.AddColumn(column.header, column.width, column.format);
            // A header wider than its column (e.g. "Expected CRC" in a larger font) widens it rather than being cut.
            int needed = static_cast<int>(::SendMessageW(list_.Handle(), LVM_GETSTRINGWIDTHW, 0,
                                                         reinterpret_cast<LPARAM>(column.header))) +
                         WinGui::Scale(kHeaderPadding, WinGui::DpiForWindow(list_.Handle()));
            if (needed > list_.ColumnWidth(index)) {
                ::SendMessageW(list_.Handle(), LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(index), needed);
            }
        }
        // Rows go in with painting off: a visible list view repaints after every insert.
        list_.SetRedraw(false);
        for (const auto& row : Rows()) list_.AddRow(row);
        list_.SetRedraw(true);
        return true;
    }

private:
    Layout layout_;
    WinGui::ListView list_;
};

class TestReportDialog : public ReportDialog {
public:
    explicit TestReportDialog(const TestReport& report)
        : ReportDialog(IDD_TEST_REPORT, {IDC_REPORT_ICON,
                                         IDC_REPORT_SUMMARY,
                                         IDC_REPORT_LIST,
                                         {{L"Status", 60, LVCFMT_CENTER},
                                          {L"File Name", 200, LVCFMT_LEFT},
                                          {L"Expected CRC", 80, LVCFMT_RIGHT},
                                          {L"Actual CRC", 80, LVCFMT_RIGHT}}}),
          report_(report) {}

protected:
    bool HasProblems() const override { return FailedCount(report_) > 0; }
    std::wstring Title() const override { return TestReportTitle(report_); }
    std::wstring Summary() const override { return report_.archiveName + L"\n" + TestSummary(report_); }
    std::vector<std::vector<std::wstring>> Rows() const override {
        std::vector<std::vector<std::wstring>> rows;
        rows.reserve(report_.results.size());
        for (const ItemTestResult& result : report_.results) {
            rows.push_back(
                {TestStatusText(result), result.path, CrcText(result.expectedCrc), CrcText(result.actualCrc)});
        }
        return rows;
    }

private:
    const TestReport& report_;
};

class FailureListDialog : public ReportDialog {
public:
    explicit FailureListDialog(const std::vector<EntryFailure>& failures)
        : ReportDialog(IDD_FAILURES, {IDC_FAILURES_ICON,
                                      IDC_FAILURES_SUMMARY,
                                      IDC_FAILURES_LIST,
                                      {{L"항목", 250, LVCFMT_LEFT}, {L"원인", 330, LVCFMT_LEFT}}}),
          failures_(failures) {}

protected:
    bool HasProblems() const override { return true; }
    std::wstring Title() const override { return L"압축 풀기 실패 목록"; }
    std::wstring Summary() const override {
        return std::to_wstring(failures_.size()) +
               L"개 항목을 처리하지 못했습니다.\n각 항목의 원인은 아래 목록에 있습니다.";
    }
    std::vector<std::vector<std::wstring>> Rows() const override {
        std::vector<std::vector<std::wstring>> rows;
        rows.reserve(failures_.size());
        for (const EntryFailure& failure : failures_) rows.push_back({failure.path, FailureReasonTextKorean(failure)});
        return rows;
    }

private:
    const std::vector<EntryFailure>& failures_;
};

}  // namespace

void ShowTestReportDialog(HWND owner, const TestReport& report) { TestReportDialog(report).ShowModal(owner); }

void ShowFailureListDialog(HWND owner, const std::vector<EntryFailure>& failures) {
    if (failures.empty()) return;
    FailureListDialog(failures).ShowModal(owner);
}

}  // namespace Arkova
