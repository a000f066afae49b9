// The rows of the options dialog's shell page: the archive types the context-menu verbs can be registered for,
// with the texts the page shows and whether each row is ticked. Plain data over the shell integration of app/.
#pragma once

#include <string>
#include <vector>

namespace Arkova {

struct ShellFileType {
    std::wstring extension;  // ".zip"
    std::wstring description;
    bool checked = true;
};

// The twelve rows in the order the page lists them, all ticked.
std::vector<ShellFileType> DefaultShellFileTypes();

// The text of a row: ".zip - ZIP 압축 파일".
std::wstring ShellFileTypeText(const ShellFileType& type);

// The extensions of the ticked rows, in row order.
std::vector<std::wstring> CheckedExtensions(const std::vector<ShellFileType>& types);

// Ticks each row exactly when its context-menu verbs are registered (IsContextMenuRegistered).
void LoadRegistrationStates(std::vector<ShellFileType>& types);

}  // namespace Arkova
