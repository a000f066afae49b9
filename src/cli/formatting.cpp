#include "cli/formatting.h"

#include <algorithm>
#include <cwchar>

#include "platform/file_time.h"

namespace Arkova::Cli {

std::wstring FormatFileTime(std::uint64_t fileTime) {
    if (fileTime == 0) return std::wstring(19, L' ');
    std::uint64_t seconds = fileTime / Platform::kTicksPerSecond;
    std::uint64_t days = seconds / 86400;
    unsigned secondOfDay = static_cast<unsigned>(seconds % 86400);
    // Civil date from days since 1601-01-01 (a 400-year cycle boundary, so the arithmetic stays simple).
    std::uint64_t cycle = days / 146097;
    std::uint64_t dayOfCycle = days % 146097;
    std::uint64_t centuries = std::min<std::uint64_t>(dayOfCycle / 36524, 3);
    std::uint64_t dayOfCentury = dayOfCycle - centuries * 36524;
    std::uint64_t quads = dayOfCentury / 1461;
    std::uint64_t dayOfQuad = dayOfCentury % 1461;
    std::uint64_t yearsInQuad = std::min<std::uint64_t>(dayOfQuad / 365, 3);
    std::uint64_t year = 1601 + cycle * 400 + centuries * 100 + quads * 4 + yearsInQuad;
    unsigned dayOfYear = static_cast<unsigned>(dayOfQuad - yearsInQuad * 365);
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    static constexpr unsigned kMonthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    unsigned month = 0;
    while (month < 11) {
        unsigned length = kMonthDays[month] + (month == 1 && leap ? 1 : 0);
        if (dayOfYear < length) break;
        dayOfYear -= length;
        ++month;
    }
    wchar_t text[32];
    std::swprintf(text, 32, L"%04llu-%02u-%02u %02u:%02u:%02u", static_cast<unsigned long long>(year), month + 1,
                  dayOfYear + 1, secondOfDay / 3600, secondOfDay / 60 % 60, secondOfDay % 60);
    return text;
}

std::wstring FormatAttributes(std::uint32_t attributes) {
    std::wstring text = L".....";
    if (attributes & 0x10) text[0] = L'D';
    if (attributes & 0x01) text[1] = L'R';
    if (attributes & 0x02) text[2] = L'H';
    if (attributes & 0x04) text[3] = L'S';
    if (attributes & 0x20) text[4] = L'A';
    return text;
}

std::wstring PadLeft(const std::wstring& text, std::size_t width) {
    return text.size() >= width ? text : std::wstring(width - text.size(), L' ') + text;
}

}  // namespace Arkova::Cli
