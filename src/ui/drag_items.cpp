#include "ui/drag_items.h"

#include <algorithm>

#include "archive/browser_path.h"
#include "frontend/texts.h"
#include "ui/open_items.h"

namespace Arkova::Ui {

namespace {

constexpr std::size_t kMaxRowName = 255;

void PutUtf16(std::vector<std::uint8_t>& out, std::uint32_t unit) {
    out.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    out.push_back(static_cast<std::uint8_t>(unit >> 8));
}

void PutWide(std::vector<std::uint8_t>& out, const std::wstring& text) {
    for (wchar_t c : text) {
        const auto code = static_cast<std::uint32_t>(c);
        if (code > 0xFFFF) {  // wide characters of 32 bits hold whole code points
            PutUtf16(out, 0xD800 + ((code - 0x10000) >> 10));
            PutUtf16(out, 0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            PutUtf16(out, code);
        }
    }
    PutUtf16(out, 0);
}

void PutLe32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

}  // namespace

std::vector<DragItem> BuildDragItems(const std::vector<SelectedRow>& rows, const std::vector<ArchiveItem>& entries,
                                     const std::wstring& currentFolder) {
    std::vector<DragItem> items;
    std::wstring scratch;
    for (const SelectedRow& row : rows) {
        DragItem item;
        item.name = row.name.substr(0, kMaxRowName);
        item.isFolder = row.typeText == kTextFolder;
        item.fullPath = EntryPathIn(currentFolder, item.name);
        if (!item.isFolder) {
            auto match = std::find_if(entries.rbegin(), entries.rend(), [&](const ArchiveItem& entry) {
                return BrowserPathView(entry.path, scratch) == item.fullPath;
            });
            if (match == entries.rend()) continue;
            item.itemIndex = match->index;
        }
        items.push_back(std::move(item));
    }
    return items;
}

std::vector<std::wstring> DropFilePaths(const std::vector<DragItem>& items, const std::wstring& folder,
                                        const std::wstring& currentFolder) {
    const std::wstring prefix = currentFolder.empty() ? L"" : currentFolder + L"/";
    std::wstring base = folder;
    if (!base.empty() && base.back() != L'\\') base += L'\\';
    std::vector<std::wstring> paths;
    for (const DragItem& item : items) {
        std::wstring relative =
            item.fullPath.rfind(prefix, 0) == 0 ? item.fullPath.substr(prefix.size()) : item.fullPath;
        std::replace(relative.begin(), relative.end(), L'/', L'\\');
        paths.push_back(base + relative);
    }
    return paths;
}

std::vector<std::wstring> DragItemNames(const std::vector<DragItem>& items) {
    std::vector<std::wstring> names;
    for (const DragItem& item : items) names.push_back(item.name);
    return names;
}

std::vector<std::uint8_t> FileListBlock(const std::vector<std::wstring>& paths) {
    std::vector<std::uint8_t> block;
    PutLe32(block, 20);  // where the list starts
    PutLe32(block, 0);   // drop point x
    PutLe32(block, 0);   // drop point y
    PutLe32(block, 0);   // not in the non-client area
    PutLe32(block, 1);   // wide characters
    for (const std::wstring& path : paths) PutWide(block, path);
    PutUtf16(block, 0);
    // Readers skip the first name before they look for the end: with no name at all they would read on past a
    // single zero into whatever memory follows, and hand the target a garbage path.
    if (paths.empty()) PutUtf16(block, 0);
    return block;
}

}  // namespace Arkova::Ui
