#include "ui/open_items.h"

#include <algorithm>
#include <array>
#include <cwchar>

#include "archive/browser_path.h"
#include "platform/file_system.h"
#include "platform/registry.h"

namespace Arkova::Ui {

std::wstring EntryPathIn(const std::wstring& folder, const std::wstring& name) {
    return folder.empty() ? name : folder + L"/" + name;
}

std::wstring WithoutEncryptedMark(std::wstring name) {
    if (!name.empty() && name.back() == L'*') name.pop_back();
    return name;
}

std::optional<std::uint32_t> EntryToOpen(const std::vector<ArchiveItem>& entries, const std::wstring& folder,
                                         std::wstring name) {
    const std::wstring path = EntryPathIn(folder, WithoutEncryptedMark(std::move(name)));
    std::wstring scratch;
    auto match = std::find_if(entries.begin(), entries.end(),
                              [&](const ArchiveItem& entry) { return BrowserPathView(entry.path, scratch) == path; });
    if (match == entries.end() || match->index == 0xFFFFFFFFu) return std::nullopt;
    return match->index;
}

std::wstring GuidFolderName(std::uint32_t data1, std::uint16_t data2, std::uint16_t data3,
                            const std::uint8_t (&data4)[8]) {
    wchar_t text[33] = L"";
    std::swprintf(text, std::size(text), L"%08X%04X%04X%02X%02X%02X%02X%02X%02X%02X%02X", data1, data2, data3, data4[0],
                  data4[1], data4[2], data4[3], data4[4], data4[5], data4[6], data4[7]);
    return text;
}

std::wstring ImageViewerPath(const std::wstring& installFolder) {
    if (installFolder.empty()) return {};
    std::wstring path = installFolder;
    if (path.back() != L'\\') path += L'\\';
    return path + kImageViewerProgram;
}

std::wstring FindImageViewer() {
    Platform::RegistryKey key;
    if (key.Open(kImageViewerKey, Platform::RegistryAccess::Read) != Platform::kRegistryOk) return {};
    std::uint8_t buffer[520] = {};
    std::uint32_t type = Platform::kRegistryTypeNone;
    std::uint32_t size = sizeof buffer;
    if (key.QueryValue(kImageViewerInstallValue, &type, buffer, &size) != Platform::kRegistryOk ||
        (type != Platform::kRegistryTypeString && type != Platform::kRegistryTypeExpandString)) {
        return {};
    }
    const std::wstring viewer = ImageViewerPath(Platform::RegistryStringFromBytes(buffer, size));
    if (viewer.empty() || !Platform::PathExists(viewer) || Platform::IsDirectory(viewer)) return {};
    return viewer;
}

std::optional<std::wstring> ImageViewerParameters(const std::wstring& archivePath, const std::wstring& entryPath,
                                                  const std::wstring& password) {
    if (entryPath.find(L'"') != std::wstring::npos || password.find(L'"') != std::wstring::npos) return std::nullopt;
    std::wstring inner = entryPath;
    std::replace(inner.begin(), inner.end(), L'/', L'\\');
    std::wstring parameters = L"-sel \"" + archivePath + L"::" + inner + L"\"";
    if (!password.empty()) parameters += L" -p:" + password;
    return parameters;
}

std::wstring PreviewEntryName(const std::wstring& previewItemPath) {
    const std::size_t slash = previewItemPath.find_last_of(L'/');
    return slash == std::wstring::npos ? previewItemPath : previewItemPath.substr(slash + 1);
}

}  // namespace Arkova::Ui
