// The temporary folders this run made (entries opened with their program, drops onto programs that are not a
// folder window), removed with their contents when the program ends. Owned by the main window; UI thread only.
#pragma once

#include <string>
#include <vector>

namespace Arkova::Ui {

class TemporaryFolders {
public:
    TemporaryFolders() = default;
    TemporaryFolders(const TemporaryFolders&) = delete;
    TemporaryFolders& operator=(const TemporaryFolders&) = delete;
    ~TemporaryFolders() { RemoveAll(); }

    // Creates a folder that did not exist before (with its missing parents): `wanted`, or `wanted` with "_2",
    // "_3", ... when that name is taken, so a folder of someone else is never adopted. Empty on failure.
    std::wstring MakeNew(const std::wstring& wanted);
    // A parent of made folders (such as %TEMP%\Arkova) that is removed at the end too, only when it is empty.
    void RemoveWhenEmpty(const std::wstring& parent);

    // Removes every made folder with everything in it, then the empty parents. A folder that cannot be removed
    // wholly (a file still open in another program) stays listed.
    void RemoveAll();
    const std::vector<std::wstring>& Folders() const { return folders_; }

private:
    std::vector<std::wstring> folders_;
    std::vector<std::wstring> parents_;
};

}  // namespace Arkova::Ui
