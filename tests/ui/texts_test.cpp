// The texts the list, the search box and the status bar show: one wrong threshold or letter is a visible fault.
#include <gtest/gtest.h>

#include "ui/archive_notes.h"
#include "ui/list_row.h"
#include "ui/name_match.h"
#include "ui/status_texts.h"

namespace Arkova::Ui {
namespace {

TEST(StatusTextsTest, SizesChangeUnitAtTheBinaryThresholds) {
    const std::pair<std::uint64_t, const wchar_t*> cases[] = {
        {0, L"0B"},
        {1023, L"1023B"},
        {1024, L"1.0KB"},
        {1536, L"1.5KB"},
        {1048575, L"1024.0KB"},
        {1048576, L"1.0MB"},
        {1073741823, L"1024.0MB"},
        {1073741824, L"1.0GB"},
        {UINT64_MAX, L"17179869184.0GB"},
    };
    for (const auto& [bytes, text] : cases) EXPECT_EQ(FormatSize(bytes), text) << bytes;
}

TEST(StatusTextsTest, SummariesNameCountsSizesAndRatio) {
    EXPECT_EQ(ArchiveSummaryText(0, 0, 0), L"파일: 0, 폴더: 0, 압축 파일 크기: 0B");
    EXPECT_EQ(ArchiveSummaryText(12, 3, 2048), L"파일: 12, 폴더: 3, 압축 파일 크기: 2.0KB");
    EXPECT_EQ(SelectionSummaryText(0, 0, 0, 0), L"");
    EXPECT_EQ(SelectionSummaryText(0, 1, 0, 0), L"1 폴더 선택됨");
    EXPECT_EQ(SelectionSummaryText(2, 0, 4096, 1024), L"2 파일 선택됨, 4.0KB (압축된 크기: 1.0KB, 25.0%)");
    EXPECT_EQ(SelectionSummaryText(1, 0, 0, 10), L"1 파일 선택됨, 0B (압축된 크기: 10B, 0.0%)");
    EXPECT_EQ(SelectionSummaryText(1, 2, 3, 2), L"1 파일, 2 폴더 선택됨, 3B (압축된 크기: 2B, 66.7%)");
    EXPECT_EQ(SearchCountText(7), L"7 items found");
    EXPECT_EQ(SaturatingAdd(UINT64_MAX - 1, 5), UINT64_MAX);
}

TEST(CellTextTest, EachColumnShowsItsField) {
    ListRow file{L"a.txt", false, 10, 20, 125962992000000000ULL, 0xABC, 0x27, true, L"Deflate", L"note", L"FAT"};
    const wchar_t* fileTexts[] = {L"a.txt",   L"10",       L"20",       L"파일", L"2000-02-29 12:00:00",
                                  L"Deflate", L"암호화됨", L"00000ABC", L"RHSA", L"note",
                                  L"FAT"};
    ListRow folder{L"dir", true, 0, 0, 0, 0x1234, 0, false, L"", L"", L""};
    const wchar_t* folderTexts[] = {L"dir", L"0", L"0", L"폴더", L"", L"", L"", L"", L"D", L"", L""};
    for (int column = 0; column < kListColumnCount; ++column) {
        EXPECT_EQ(CellText(file, column), fileTexts[column]) << column;
        EXPECT_EQ(CellText(folder, column), folderTexts[column]) << column;
    }
    file.crc = 0;
    file.modifiedTime = 0;
    EXPECT_EQ(CellText(file, kColumnCrc), L"");
    EXPECT_EQ(CellText(file, kColumnModified), L"");
    EXPECT_EQ(CellText(file, kListColumnCount), L"");
    EXPECT_EQ(FormatFileTime(159992927980000000ULL), L"2107-12-31 23:59:58");
}

TEST(CellTextTest, HiddenColumnsHaveNoWidthAndShownOnesScale) {
    EXPECT_EQ(ColumnWidth(kColumnName, 96), 400);
    EXPECT_EQ(ColumnWidth(kColumnName, 144), 600);
    EXPECT_EQ(ColumnWidth(kColumnPackedSize, 120), 113) << "rounded as MulDiv rounds (112.5)";
    EXPECT_EQ(ColumnWidth(kColumnType, 192), 0);
    EXPECT_EQ(ColumnWidth(kColumnCrc, 96), 0);
    EXPECT_EQ(ColumnWidth(-1, 96), 0);
}

TEST(NameMatchTest, WildcardsIgnoreCaseAndBacktrack) {
    struct Case {
        const wchar_t* name;
        const wchar_t* pattern;
        bool matches;
    };
    const Case cases[] = {
        {L"anything", L"", true},
        {L"", L"", true},
        {L"", L"*", true},
        {L"", L"**", false},
        {L"", L"?", false},
        {L"Photo.JPG", L"*.jpg", true},
        {L"photo.jpg", L"P?OTO.*", true},
        {L"abcabd", L"*abd", true},
        {L"abcab", L"*abd", false},
        {L"a", L"a**", true},
        {L"ab", L"a?c", false},
        {L"\uD55C\uAE00.txt", L"*\uAE00*", true},
        {L"mississippi", L"*sip*", true},
        {L"mississippi", L"m*x*", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WildcardMatch(c.name, c.pattern), c.matches)
            << std::wstring_view(c.pattern).size() << " " << std::wstring_view(c.name).size();
    }
    EXPECT_EQ(SearchPattern(L"doc"), L"*doc*");
    EXPECT_EQ(SearchPattern(L"*.txt"), L"*.txt");
    EXPECT_EQ(SearchPattern(L"a?"), L"a?");
}

TEST(NameMatchTest, NameOrderIgnoresCase) {
    EXPECT_EQ(CompareNamesIgnoringCase(L"ABC", L"abc"), 0);
    EXPECT_LT(CompareNamesIgnoringCase(L"a", L"B"), 0);
    EXPECT_LT(CompareNamesIgnoringCase(L"ab", L"ABC"), 0);
    EXPECT_LT(CompareNamesIgnoringCase(L"_", L"A"), 0) << "as _wcsicmp: letters fold to lower case, after '_'";
}

// The comment is the archive's own text: control characters must not reach the window, line breaks become CR LF.
TEST(ArchiveNotesTest, NoticeAndNotesNameTheCommentAndTheWarnings) {
    EXPECT_EQ(ArchiveNoticeText(0, false), L"");
    EXPECT_EQ(ArchiveNoticeText(2, true), L"경고 2개 · 설명 있음");
    EXPECT_EQ(ArchiveNotesText(L"first\nsecond\x1b[2J\r\n\r\n", {}), L"first\r\nsecond?[2J");
    EXPECT_EQ(ArchiveNotesText(L"", {L"bytes were ignored"}), L"[경고]\r\n경고: bytes were ignored");
    std::vector<std::wstring> seen{L"a"};
    MergeWarnings(seen, {L"a", L"b"});
    EXPECT_EQ(seen, (std::vector<std::wstring>{L"a", L"b"}));
}

}  // namespace
}  // namespace Arkova::Ui
