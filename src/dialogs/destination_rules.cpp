#include "dialogs/destination_rules.h"

#include "platform/text.h"

namespace Arkova {

namespace {

constexpr int kMaxNewFolderNumber = 9999;

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

std::size_t LastSeparator(const std::wstring& path) { return path.find_last_of(L"\\/"); }

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

}  // namespace

std::wstring InitialFolderOf(const std::wstring& archivePath) {
    std::size_t separator = LastSeparator(archivePath);
    if (separator == std::wstring::npos) return {};
    // "C:" alone would name the drive's current folder, not its root.
    if (separator == 2 && archivePath[1] == L':' && IsDriveLetter(archivePath[0])) return archivePath.substr(0, 3);
    return archivePath.substr(0, separator);
}

std::vector<std::wstring> NavigationSteps(const std::wstring& path) {
    if (path.size() < 2 || path[1] != L':' || !IsDriveLetter(path[0])) return {};
    std::vector<std::wstring> steps{path.substr(0, 2)};
    std::wstring current = steps.front();
    std::size_t start = 2;
    while (start <= path.size()) {
        std::size_t end = start;
        while (end < path.size() && !IsSeparator(path[end])) ++end;
        if (end > start) {
            current += L'\\';
            current.append(path, start, end - start);
            steps.push_back(current);
        }
        start = end + 1;
    }
    return steps;
}

std::wstring NewFolderName(int number) {
    if (number <= 0) return kNewFolderName;
    return std::wstring(kNewFolderName) + L" (" + std::to_wstring(number) + L")";
}

std::wstring FreeNewFolderPath(const std::wstring& parent, const std::function<bool(const std::wstring&)>& exists) {
    for (int number = 0; number <= kMaxNewFolderNumber; ++number) {
        std::wstring path = parent + L'\\' + NewFolderName(number);
        if (!exists(path)) return path;
    }
    return {};
}

FolderRename PlanFolderRename(const std::wstring& folder, const std::wstring& text) {
    if (text.empty() || folder.empty()) return {};
    if (text == L"." || text == L".." || text.find_first_of(L"\\/") != std::wstring::npos) {
        return {FolderRename::Kind::Invalid, {}};
    }
    std::size_t separator = LastSeparator(folder);
    std::wstring target =
        (separator == std::wstring::npos ? std::wstring() : folder.substr(0, separator)) + L'\\' + text;
    if (Platform::EqualsIgnoringCase(target, folder)) return {};
    return {FolderRename::Kind::Move, target};
}

std::wstring SubfolderDestination(const std::wstring& destination, const std::wstring& archivePath) {
    std::size_t separator = LastSeparator(archivePath);
    std::wstring name = separator == std::wstring::npos ? archivePath : archivePath.substr(separator + 1);
    std::size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos && dot > 0) name.resize(dot);
    if (destination.empty() || IsSeparator(destination.back())) return destination + name;
    return destination + L'\\' + name;
}

}  // namespace Arkova
