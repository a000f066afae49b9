#include "dialogs/test_report.h"

#include <algorithm>

namespace Arkova {

std::size_t FailedCount(const TestReport& report) {
    return static_cast<std::size_t>(std::count_if(report.results.begin(), report.results.end(),
                                                  [](const ItemTestResult& result) { return !result.ok; }));
}

std::size_t PassedCount(const TestReport& report) { return report.results.size() - FailedCount(report); }

std::wstring TestSummary(const TestReport& report) {
    std::size_t failed = FailedCount(report);
    std::size_t passed = PassedCount(report);
    if (failed == 0) return L"All " + std::to_wstring(passed) + L" file(s) passed.";
    return std::to_wstring(passed) + L" passed, " + std::to_wstring(failed) + L" error(s)";
}

std::wstring TestReportTitle(const TestReport& report) {
    return std::wstring(L"Archive Test Result") + (FailedCount(report) == 0 ? L" - OK" : L" - Error Found");
}

const wchar_t* TestStatusText(const ItemTestResult& result) { return result.ok ? L"OK" : L"Error"; }

std::wstring CrcText(std::uint32_t crc) {
    static const wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring text(8, L'0');
    for (int i = 7; i >= 0; --i, crc >>= 4) text[static_cast<std::size_t>(i)] = kDigits[crc & 0xF];
    return text;
}

}  // namespace Arkova
