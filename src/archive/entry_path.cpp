#include "archive/entry_path.h"

#include <cwctype>
#include <vector>

#include "platform/file_system.h"

namespace Arkova {

namespace {

bool IsEntrySeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

std::wstring Upper(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towupper(c));
    return text;
}

// Windows opens these as devices whatever folder or extension they are given ("aux.txt" included).
bool IsDeviceName(const std::wstring& part) {
    std::wstring stem = part.substr(0, part.find(L'.'));
    while (!stem.empty() && stem.back() == L' ') stem.pop_back();
    stem = Upper(stem);
    static const wchar_t* const kDevices[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$", L"CLOCK$"};
    for (const wchar_t* device : kDevices) {
        if (stem == device) return true;
    }
    if (stem.size() == 4 && (stem.compare(0, 3, L"COM") == 0 || stem.compare(0, 3, L"LPT") == 0)) {
        wchar_t digit = stem[3];
        // Superscript digits count too: Windows treats "COM¹" as a device.
        return (digit >= L'1' && digit <= L'9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
    }
    return false;
}

// "C:" or "C:name" at the start of a path names a drive on Windows; refused everywhere so that an archive extracts
// alike on every system.
bool HasDrivePrefix(const std::wstring& part) {
    return part.size() >= 2 && part[1] == L':' && std::iswalpha(part[0]);
}

bool IsSafePart(const std::wstring& part) {
    bool onlyDotsAndSpaces = true;
    for (wchar_t c : part) {
        if (c < 0x20 || c == 0x7F) return false;
#ifdef _WIN32
        // Any other colon opens an alternate data stream.
        if (c == L':') return false;
#endif
        if (c != L'.' && c != L' ') onlyDotsAndSpaces = false;
    }
    // "..", "...", ". ." and the like: Windows trims trailing dots and spaces, so they can climb or alias.
    if (onlyDotsAndSpaces) return false;
    return !IsDeviceName(part);
}

}  // namespace

bool MakeSafeRelativePath(const std::wstring& entryPath, std::wstring& relative) {
    relative.clear();
    if (entryPath.empty() || IsEntrySeparator(entryPath.front()) || HasDrivePrefix(entryPath)) return false;
    std::vector<std::wstring> parts;
    std::wstring part;
    auto finish = [&parts, &part]() -> bool {
        if (!part.empty() && part != L".") {
            if (!IsSafePart(part)) return false;
            parts.push_back(part);
        }
        part.clear();
        return true;
    };
    for (wchar_t c : entryPath) {
        if (IsEntrySeparator(c)) {
            if (!finish()) return false;
        } else {
            part += c;
        }
    }
    if (!finish() || parts.empty()) return false;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) relative += Platform::kPathSeparator;
        relative += parts[i];
    }
    return true;
}

bool SafeOutputPath(const std::wstring& folder, const std::wstring& entryPath, std::wstring& output) {
    std::wstring relative;
    if (!MakeSafeRelativePath(entryPath, relative)) return false;
    output = Platform::JoinPath(folder, relative);
    return true;
}

}  // namespace Arkova
