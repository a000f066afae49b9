#include "ui/list_row.h"

#include <algorithm>
#include <cwchar>

#include "dialogs/test_report.h"
#include "frontend/texts.h"
#include "platform/file_time.h"

namespace Arkova::Ui {

namespace {

constexpr wchar_t kTextFile[] = L"파일";
constexpr wchar_t kTextEncrypted[] = L"암호화됨";

std::wstring Decimal(std::uint64_t value) {
    wchar_t text[24];
    std::swprintf(text, 24, L"%llu", static_cast<unsigned long long>(value));
    return text;
}

}  // namespace

int ColumnWidth(int column, int dpi) {
    if (column < 0 || column >= kListColumnCount || !kListColumns[column].shown) return 0;
    long long scaled = static_cast<long long>(kListColumns[column].width) * dpi;
    return static_cast<int>((scaled + 48) / 96);
}

std::wstring CellText(const ListRow& row, int column) {
    switch (column) {
        case kColumnName:
            return std::wstring(row.name);
        case kColumnPackedSize:
            return Decimal(row.packedSize);
        case kColumnSize:
            return Decimal(row.size);
        case kColumnType:
            return row.isDirectory ? kTextFolder : kTextFile;
        case kColumnModified:
            return FormatFileTime(row.modifiedTime);
        case kColumnMethod:
            return std::wstring(row.method);
        case kColumnEncryption:
            return row.isEncrypted ? kTextEncrypted : L"";
        case kColumnCrc:
            return !row.isDirectory && row.crc != 0 ? CrcText(row.crc) : L"";
        case kColumnAttributes:
            return AttributeLetters(row.isDirectory, row.attributes);
        case kColumnComment:
            return std::wstring(row.comment);
        case kColumnHostOs:
            return std::wstring(row.hostOs);
        default:
            return {};
    }
}

std::wstring FormatFileTime(std::uint64_t fileTime) {
    if (fileTime == 0) return {};
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
    wchar_t text[40];
    std::swprintf(text, 40, L"%04llu-%02u-%02u %02u:%02u:%02u", static_cast<unsigned long long>(year), month + 1,
                  dayOfYear + 1, secondOfDay / 3600, secondOfDay / 60 % 60, secondOfDay % 60);
    return text;
}

std::wstring AttributeLetters(bool isDirectory, std::uint32_t attributes) {
    std::wstring text;
    if (isDirectory) text += L'D';
    if (attributes & 0x01) text += L'R';
    if (attributes & 0x02) text += L'H';
    if (attributes & 0x04) text += L'S';
    if (attributes & 0x20) text += L'A';
    return text;
}

}  // namespace Arkova::Ui
