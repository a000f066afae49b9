#include <gtest/gtest.h>

#include "cli/formatting.h"
#include "dialogs/test_report.h"

namespace Arkova::Cli {
namespace {

TEST(FormattingTest, FileTimesPrintAsCalendarDates) {
    EXPECT_EQ(FormatFileTime(0), std::wstring(19, L' '));
    EXPECT_EQ(FormatFileTime(119600064000000000ULL), L"1980-01-01 00:00:00");
    EXPECT_EQ(FormatFileTime(125962992000000000ULL), L"2000-02-29 12:00:00");
    EXPECT_EQ(FormatFileTime(125911584000000000ULL - 1), L"1999-12-31 23:59:59");
    EXPECT_EQ(FormatFileTime(159992927980000000ULL), L"2107-12-31 23:59:58");
    EXPECT_EQ(FormatFileTime(864000000000ULL), L"1601-01-02 00:00:00");
}

TEST(FormattingTest, AttributesAndCrc) {
    EXPECT_EQ(FormatAttributes(0x10), L"D....");
    EXPECT_EQ(FormatAttributes(0x27), L".RHSA");
    EXPECT_EQ(CrcText(0xABC), L"00000ABC");
}

}  // namespace
}  // namespace Arkova::Cli
