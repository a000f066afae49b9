#include "platform/shell.h"

#include <spawn.h>
#include <sys/wait.h>

#include "platform/text.h"

extern char** environ;

namespace Arkova::Platform {

namespace {

// xdg-open returns at once after handing the path to the desktop; its own child is not ours to wait for.
void RunXdgOpen(const std::wstring& path) {
    std::string argument = WideToUtf8(path);
    char program[] = "xdg-open";
    char* argv[] = {program, argument.data(), nullptr};
    pid_t child = 0;
    if (::posix_spawnp(&child, program, nullptr, nullptr, argv, environ) == 0) ::waitpid(child, nullptr, 0);
}

class PosixShell : public ShellActions {
public:
    void OpenFolder(const std::wstring& path) override { RunXdgOpen(path); }
    // File managers have no common way to select a file: its folder is opened instead.
    void SelectInFileManager(const std::wstring& path) override {
        std::wstring::size_type slash = path.find_last_of(L'/');
        RunXdgOpen(slash == std::wstring::npos ? L"." : path.substr(0, slash == 0 ? 1 : slash));
    }
    // Parameters belong to Windows programs (the image viewer); a document simply opens.
    void OpenFile(const std::wstring& file, const std::wstring&, void*) override { RunXdgOpen(file); }
};

}  // namespace

ShellActions& SystemShell() {
    static PosixShell shell;
    return shell;
}

}  // namespace Arkova::Platform
