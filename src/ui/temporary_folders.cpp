#include "ui/temporary_folders.h"

#include <algorithm>

#include "platform/file_system.h"

namespace Arkova::Ui {

namespace {
constexpr int kMaxAttempts = 100;
}

std::wstring TemporaryFolders::MakeNew(const std::wstring& wanted) {
    for (int attempt = 1; attempt <= kMaxAttempts; ++attempt) {
        std::wstring path = attempt == 1 ? wanted : wanted + L"_" + std::to_wstring(attempt);
        if (Platform::PathExists(path)) continue;
        if (!Platform::MakeDirectories(path)) return {};
        folders_.push_back(path);
        return path;
    }
    return {};
}

void TemporaryFolders::RemoveWhenEmpty(const std::wstring& parent) {
    if (std::find(parents_.begin(), parents_.end(), parent) == parents_.end()) parents_.push_back(parent);
}

void TemporaryFolders::RemoveAll() {
    std::vector<std::wstring> kept;
    for (const std::wstring& folder : folders_) {
        if (!Platform::RemoveTree(folder) && Platform::PathExists(folder)) kept.push_back(folder);
    }
    folders_ = std::move(kept);
    for (const std::wstring& parent : parents_) Platform::RemoveEmptyDirectory(parent);
}

}  // namespace Arkova::Ui
