#include <gtest/gtest.h>

#include "archive/dos_time.h"

namespace Arkova {
namespace {

std::uint16_t Date(unsigned year, unsigned month, unsigned day) {
    return static_cast<std::uint16_t>(((year - 1980) << 9) | (month << 5) | day);
}
std::uint16_t Time(unsigned hour, unsigned minute, unsigned second) {
    return static_cast<std::uint16_t>((hour << 11) | (minute << 5) | (second / 2));
}

TEST(DosTimeTest, ConvertsTheWholeRange) {
    EXPECT_EQ(DosDateTimeToTicks(Date(1980, 1, 1), 0), 119600064000000000ULL);
    EXPECT_EQ(DosDateTimeToTicks(Date(2000, 2, 29), Time(12, 0, 0)), 125962992000000000ULL);
    EXPECT_EQ(DosDateTimeToTicks(Date(2107, 12, 31), Time(23, 59, 58)), 159992927980000000ULL);
}

TEST(DosTimeTest, FieldsOutOfRangeGiveZero) {
    EXPECT_EQ(DosDateTimeToTicks(0, 0), 0u) << "month 0";
    EXPECT_EQ(DosDateTimeToTicks(Date(2001, 13, 1), 0), 0u);
    EXPECT_EQ(DosDateTimeToTicks(Date(2001, 2, 29), 0), 0u) << "not a leap year";
    EXPECT_EQ(DosDateTimeToTicks(Date(2001, 1, 1), Time(24, 0, 0)), 0u);
    EXPECT_EQ(DosDateTimeToTicks(Date(2001, 1, 1), static_cast<std::uint16_t>(Time(0, 60, 0))), 0u);
}

}  // namespace
}  // namespace Arkova
