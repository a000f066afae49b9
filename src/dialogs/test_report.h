// The texts that summarise an archive test report.
#pragma once

#include <cstdint>
#include <string>

#include "frontend/test_report.h"

namespace Arkova {

std::size_t PassedCount(const TestReport& report);
std::size_t FailedCount(const TestReport& report);
// "All N file(s) passed." or "N passed, M error(s)".
std::wstring TestSummary(const TestReport& report);
// "Archive Test Result - OK" or "Archive Test Result - Error Found".
std::wstring TestReportTitle(const TestReport& report);
// "OK" or "Error".
const wchar_t* TestStatusText(const ItemTestResult& result);
// 8 upper-case hexadecimal digits.
std::wstring CrcText(std::uint32_t crc);

}  // namespace Arkova
