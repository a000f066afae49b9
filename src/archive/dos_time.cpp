#include "archive/dos_time.h"

#include "platform/file_time.h"

namespace Arkova {

namespace {

// Days from 1970-01-01 to the given civil date (proleptic Gregorian).
std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day) {
    year -= month <= 2 ? 1 : 0;
    std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    unsigned yearOfEra = static_cast<unsigned>(year - era * 400);
    unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

bool IsLeapYear(unsigned year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

unsigned DaysInMonth(unsigned year, unsigned month) {
    static constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

}  // namespace

std::uint64_t DosDateTimeToTicks(std::uint16_t dosDate, std::uint16_t dosTime) {
    unsigned year = 1980u + (dosDate >> 9);
    unsigned month = (dosDate >> 5) & 0x0F;
    unsigned day = dosDate & 0x1F;
    unsigned hour = dosTime >> 11;
    unsigned minute = (dosTime >> 5) & 0x3F;
    unsigned second = (dosTime & 0x1F) * 2u;
    if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || hour > 23 || minute > 59 ||
        second > 59) {
        return 0;
    }
    std::int64_t seconds = DaysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
    return Platform::kUnixEpochTicks + static_cast<std::uint64_t>(seconds) * Platform::kTicksPerSecond;
}

}  // namespace Arkova
