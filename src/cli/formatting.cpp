#include "cli/formatting.h"

#include "ui/list_row.h"

namespace Arkova::Cli {

std::wstring FormatFileTime(std::uint64_t fileTime) {
    // The same text as the browser's date column, blanks where that column is empty.
    return fileTime == 0 ? std::wstring(19, L' ') : Ui::FormatFileTime(fileTime);
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
