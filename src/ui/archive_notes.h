// What the main window tells about an open archive beyond its entries: the archive's comment and the decoder's
// warnings, as the status bar names them and as the notes window shows them.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace Arkova::Ui {

// The status bar's note: "경고 N개", "설명 있음", both joined by " · ", or empty when there is neither.
std::wstring ArchiveNoticeText(std::size_t warningCount, bool hasComment);

// The line over the notes window's text, saying what it holds.
std::wstring ArchiveNotesSummary(std::size_t warningCount, bool hasComment);

// The notes window's text, lines ended by CR LF as an edit control wants them: the comment, then under a
// "[경고]" heading each warning after "경고: ". The comment is the archive's own text: tabs and line breaks stay,
// other control characters show as '?', and trailing blank lines go.
std::wstring ArchiveNotesText(const std::wstring& comment, const std::vector<std::wstring>& warnings);

// Warnings seen so far followed by the new ones that are not among them yet.
void MergeWarnings(std::vector<std::wstring>& seen, const std::vector<std::wstring>& more);

}  // namespace Arkova::Ui
