#include "platform/shell.h"

#include <windows.h>

#include <shellapi.h>

namespace Arkova::Platform {

namespace {

class Win32Shell : public ShellActions {
public:
    void OpenFolder(const std::wstring& path) override {
        ::ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    }
    void SelectInFileManager(const std::wstring& path) override {
        std::wstring parameters = L"/select,\"" + path + L"\"";
        ::ShellExecuteW(nullptr, L"open", L"explorer.exe", parameters.c_str(), nullptr, SW_SHOWNORMAL);
    }
    void OpenFile(const std::wstring& file, const std::wstring& parameters, void* ownerWindow) override {
        ::ShellExecuteW(static_cast<HWND>(ownerWindow), L"open", file.c_str(),
                        parameters.empty() ? nullptr : parameters.c_str(), nullptr, SW_SHOWNORMAL);
    }
};

}  // namespace

ShellActions& SystemShell() {
    static Win32Shell shell;
    return shell;
}

}  // namespace Arkova::Platform
