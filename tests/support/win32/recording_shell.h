// A shell that records what the windows asked it to open instead of starting a file manager.
#pragma once

#include <string>
#include <vector>

#include "platform/shell.h"

namespace Arkova::Testing {

struct RecordingShell : Platform::ShellActions {
    void OpenFolder(const std::wstring& path) override { opened.push_back(path); }
    void SelectInFileManager(const std::wstring& path) override { selected.push_back(path); }

    std::vector<std::wstring> opened;
    std::vector<std::wstring> selected;
};

}  // namespace Arkova::Testing
