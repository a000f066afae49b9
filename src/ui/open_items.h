// What opening an entry of the browser needs to know before it touches a window: where the entry is, whether the
// external image viewer takes it and with which command line, and the name of the fresh folder an opened entry is
// extracted into. Pure functions over texts and items; the Win32 main window acts on their answers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "archive/archive_item.h"

namespace Arkova::Ui {

// The viewer's program inside its install folder, and where the install folder is written.
inline constexpr wchar_t kImageViewerKey[] = L"Software\\Lumora";
inline constexpr wchar_t kImageViewerInstallValue[] = L"InstallPath";
inline constexpr wchar_t kImageViewerProgram[] = L"LumoraAsync.exe";

// The browser path of `name` inside `folder` (the root is the empty folder).
std::wstring EntryPathIn(const std::wstring& folder, const std::wstring& name);

// The position of the entry that a double-click on the file row `name` of `folder` opens: one trailing "*" (the
// encrypted mark) is dropped, the first entry whose browser path matches is taken; none when nothing matches or the
// entry has no index (0xFFFFFFFF).
std::optional<std::uint32_t> EntryToOpen(const std::vector<ArchiveItem>& entries, const std::wstring& folder,
                                         std::wstring name);
// The row name without its one trailing "*".
std::wstring WithoutEncryptedMark(std::wstring name);

// A GUID as 32 upper-case hexadecimal digits without separators: the first three fields, then the last eight bytes.
std::wstring GuidFolderName(std::uint32_t data1, std::uint16_t data2, std::uint16_t data3,
                            const std::uint8_t (&data4)[8]);

// The viewer program named by HKEY_CURRENT_USER\Software\Lumora "InstallPath" (at most 520 bytes) when that file
// exists and is not a folder; the empty text otherwise.
std::wstring FindImageViewer();
// The viewer program in the install folder read from the registry; empty for an empty folder.
std::wstring ImageViewerPath(const std::wstring& installFolder);
// The viewer's parameters for one entry: -sel "ARCHIVE::ENTRY" with "\" separators, then -p:PASSWORD when known.
// None when the entry path or the password holds a double quotation mark, which would end the quoted text early
// and hand the viewer parameters of the archive's choosing.
std::optional<std::wstring> ImageViewerParameters(const std::wstring& archivePath, const std::wstring& entryPath,
                                                  const std::wstring& password);

// What the preview's double-click opens with the shell when the viewer did not take it: the previewed entry's name.
std::wstring PreviewEntryName(const std::wstring& previewItemPath);

}  // namespace Arkova::Ui
