// A shell that records what the windows asked it to open instead of starting a file manager or a program.
#pragma once

#include <string>
#include <vector>

#include "platform/shell.h"

namespace Arkova::Testing {

struct RecordingShell : Platform::ShellActions {
    void OpenFolder(const std::wstring& path) override { opened.push_back(path); }
    void SelectInFileManager(const std::wstring& path) override { selected.push_back(path); }
    void OpenFile(const std::wstring& file, const std::wstring& parameters, void* ownerWindow) override {
        files.push_back({file, parameters, ownerWindow});
    }

    struct OpenedFile {
        std::wstring file;
        std::wstring parameters;
        void* ownerWindow = nullptr;
    };

    std::vector<std::wstring> opened;
    std::vector<std::wstring> selected;
    std::vector<OpenedFile> files;
};

}  // namespace Arkova::Testing
