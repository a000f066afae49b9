// One row of the item list and the list's columns: what each cell shows, computed only when a cell is drawn.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace Arkova::Ui {

// A row of the list, made from an entry or made up for a folder that has no entry of its own (then only `name` and
// `isDirectory` are set). The views point into the item list and the folder tree and live as long as they do.
struct ListRow {
    std::wstring_view name;
    bool isDirectory = false;
    std::uint64_t packedSize = 0;
    std::uint64_t size = 0;
    std::uint64_t modifiedTime = 0;  // FILETIME
    std::uint32_t crc = 0;
    std::uint32_t attributes = 0;
    bool isEncrypted = false;
    std::wstring_view method;
    std::wstring_view comment;
    std::wstring_view hostOs;
};

enum ListColumnIndex : int {
    kColumnName,
    kColumnPackedSize,
    kColumnSize,
    kColumnType,
    kColumnModified,
    kColumnMethod,
    kColumnEncryption,
    kColumnCrc,
    kColumnAttributes,
    kColumnComment,
    kColumnHostOs,
    kListColumnCount
};

enum class ColumnAlignment { Left, Right };

struct ListColumn {
    const wchar_t* title;
    ColumnAlignment alignment;
    int width;   // pixels at 96 DPI
    bool shown;  // a hidden column is inserted with width 0
};

inline constexpr std::array<ListColumn, kListColumnCount> kListColumns = {{
    {L"이름", ColumnAlignment::Left, 400, true},
    {L"압축 크기", ColumnAlignment::Right, 90, true},
    {L"원본 크기", ColumnAlignment::Right, 90, true},
    {L"파일 종류", ColumnAlignment::Left, 120, false},
    {L"수정한 날짜", ColumnAlignment::Left, 150, true},
    {L"압축 방식", ColumnAlignment::Left, 120, true},
    {L"암호 방식", ColumnAlignment::Left, 100, false},
    {L"CRC", ColumnAlignment::Left, 100, false},
    {L"속성", ColumnAlignment::Left, 80, false},
    {L"파일 설명", ColumnAlignment::Left, 150, false},
    {L"부가 정보", ColumnAlignment::Left, 200, false},
}};

// The column's width at a DPI, rounded as MulDiv rounds; 0 for a hidden column or an unknown one.
int ColumnWidth(int column, int dpi);

// The text of one cell; empty for an unknown column.
std::wstring CellText(const ListRow& row, int column);

// "YYYY-MM-DD hh:mm:ss" of a FILETIME taken as it is stored (no time-zone change); empty for 0.
std::wstring FormatFileTime(std::uint64_t fileTime);

// "D" for a directory, then R, H, S, A for the attribute bits that are set.
std::wstring AttributeLetters(bool isDirectory, std::uint32_t attributes);

}  // namespace Arkova::Ui
