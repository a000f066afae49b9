#include "ui/archive_notes.h"

#include <algorithm>

namespace Arkova::Ui {

namespace {

std::wstring DisplayableComment(const std::wstring& comment) {
    std::wstring text;
    text.reserve(comment.size() + comment.size() / 16);
    for (std::size_t i = 0; i < comment.size(); ++i) {
        wchar_t c = comment[i];
        if (c == L'\r' && i + 1 < comment.size() && comment[i + 1] == L'\n') continue;
        if (c == L'\r' || c == L'\n') {
            text += L"\r\n";
            continue;
        }
        const bool control = (c < 0x20 && c != L'\t') || (c >= 0x7F && c < 0xA0);
        text += control ? L'?' : c;
    }
    while (!text.empty() &&
           (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ' || text.back() == L'\t')) {
        text.pop_back();
    }
    return text;
}

}  // namespace

std::wstring ArchiveNoticeText(std::size_t warningCount, bool hasComment) {
    std::wstring text;
    if (warningCount > 0) text = L"경고 " + std::to_wstring(warningCount) + L"개";
    if (hasComment) text += text.empty() ? L"설명 있음" : L" · 설명 있음";
    return text;
}

std::wstring ArchiveNotesSummary(std::size_t warningCount, bool hasComment) {
    std::wstring text;
    if (hasComment) text = L"이 압축 파일에 붙어 있는 설명입니다.";
    if (warningCount > 0) {
        if (!text.empty()) text += L"\n";
        text += L"압축 파일을 읽는 동안 경고 " + std::to_wstring(warningCount) +
                L"개가 나왔습니다. 경고는 실패가 아닙니다.";
    }
    return text;
}

std::wstring ArchiveNotesText(const std::wstring& comment, const std::vector<std::wstring>& warnings) {
    std::wstring text = DisplayableComment(comment);
    if (warnings.empty()) return text;
    if (!text.empty()) text += L"\r\n\r\n";
    text += L"[경고]";
    for (const std::wstring& warning : warnings) text += L"\r\n경고: " + warning;
    return text;
}

void MergeWarnings(std::vector<std::wstring>& seen, const std::vector<std::wstring>& more) {
    for (const std::wstring& warning : more) {
        if (std::find(seen.begin(), seen.end(), warning) == seen.end()) seen.push_back(warning);
    }
}

}  // namespace Arkova::Ui
