// The portable half of dragging rows out of the browser: the items made from the selected rows, the paths the drop
// target is given, and the CF_HDROP block that carries them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archive/archive_item.h"
#include "extract/extraction_job.h"

namespace Arkova::Ui {

// One item per selected row, in list order. A file row takes the last entry whose browser path equals its full
// path; a file row that names no entry is left out (it would otherwise stand for entry 0). Names are cut at 255
// characters, as the list hands them out.
std::vector<DragItem> BuildDragItems(const std::vector<SelectedRow>& rows, const std::vector<ArchiveItem>& entries,
                                     const std::wstring& currentFolder);

// Where each item lands in `folder`: its path below the browsed folder, as the item extraction places it, with "\"
// separators. Inside a sub-folder this is the name alone, so the list and the extracted files agree.
std::vector<std::wstring> DropFilePaths(const std::vector<DragItem>& items, const std::wstring& folder,
                                        const std::wstring& currentFolder);
// The bare names of the items, for drop targets that look at the data before the drop.
std::vector<std::wstring> DragItemNames(const std::vector<DragItem>& items);

// The CF_HDROP file list: a 20-byte header (list offset 20, drop point 0,0, non-client 0, wide 1), each path in
// UTF-16LE with its terminating zero, and one more zero character. No paths gives the header and two zero
// characters (24 bytes), so that no reader runs past the end looking for the first name's end.
std::vector<std::uint8_t> FileListBlock(const std::vector<std::wstring>& paths);

}  // namespace Arkova::Ui
