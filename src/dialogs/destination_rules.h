// The path rules of the destination folder dialog that need no window: where the dialog starts, how a typed path
// is walked down the folder tree, the names of new folders, where a committed name moves a new folder, and the
// subfolder the extract command adds. Paths are Windows paths; "\" and "/" both separate. Pure functions.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace Arkova {

inline constexpr wchar_t kNewFolderName[] = L"새 폴더";

// The archive's folder: its path up to (not including) the last "\" or "/", except that a drive root keeps its
// separator ("C:\", not the drive-relative "C:"). Empty when the path has neither; the dialog then starts at the
// desktop.
std::wstring InitialFolderOf(const std::wstring& archivePath);

// The paths the folder tree is walked through to reach `path`: the drive ("C:"), then the drive + "\" + the first
// component, + "\" + each further one. Components are split at "\" and "/", empty pieces dropped. Empty when the
// path does not start with a drive letter and ":" (UNC and relative paths are not followed).
std::vector<std::wstring> NavigationSteps(const std::wstring& path);

// The new-folder candidates in order: "새 폴더", then "새 폴더 (1)", "새 폴더 (2)" …
std::wstring NewFolderName(int number);

// parent + "\" + the first candidate name for which `exists` is false; a "\" is added even after a parent that ends
// in one. Empty when every candidate up to a large bound exists.
std::wstring FreeNewFolderPath(const std::wstring& parent, const std::function<bool(const std::wstring&)>& exists);

// What committing a name typed for the folder at `folder` does.
struct FolderRename {
    enum class Kind {
        Unchanged,  // empty text, no folder, or the same path apart from letter case: nothing moves
        Move,       // move `folder` to `target`
        Invalid,    // the text is not a single name ("..", "a\b"): moving would leave the parent folder
    };
    Kind kind = Kind::Unchanged;
    std::wstring target;
};
FolderRename PlanFolderRename(const std::wstring& folder, const std::wstring& text);

// The folder the extract command extracts into when "[압축 파일명]으로 하위 폴더" is checked: destination + "\" +
// the archive's file name (after its last "\" or "/") cut at its last "."; a name without "." is kept whole, and
// so is a name that cutting would leave empty (".zip"). No second "\" after a destination that ends in one.
std::wstring SubfolderDestination(const std::wstring& destination, const std::wstring& archivePath);

}  // namespace Arkova
