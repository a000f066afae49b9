#include "app/win32/application.h"

#include "app/command_line.h"
#include "app/shell_integration.h"
#include "platform/file_system.h"
#include "resource.h"

namespace Arkova {

namespace {

// Shows the result, or with `quiet` only returns it: 0, or 1 when the registration failed (the message box path
// ends with 0 either way, since the user has seen the result).
int RunRegistration(CommandAction action, bool quiet) {
    bool done = action == ActionRegister ? RegisterShellIntegration() : UnregisterFileAssociations();
    if (quiet) return done ? 0 : 1;
    const wchar_t* text = nullptr;
    if (action == ActionRegister) {
        text = done ? L"Shell integration registered successfully." : L"Failed to register shell integration.";
    } else {
        text = done ? L"Shell integration unregistered successfully." : L"Failed to unregister shell integration.";
    }
    ::MessageBoxW(nullptr, text, L"Arkova", MB_OK | (done ? MB_ICONINFORMATION : MB_ICONERROR));
    return 0;
}

// The argument tail as a path: one leading and one trailing double quote taken off.
std::wstring Unquoted(std::wstring text) {
    if (!text.empty() && text.front() == L'"') text.erase(0, 1);
    if (!text.empty() && text.back() == L'"') text.pop_back();
    return text;
}

}  // namespace

void MakeProcessDpiAware() {
    HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    using SetContext = BOOL(WINAPI*)(HANDLE);
    if (user32 != nullptr) {
        auto setContext = reinterpret_cast<SetContext>(
            reinterpret_cast<void*>(::GetProcAddress(user32, "SetProcessDpiAwarenessContext")));
        if (setContext != nullptr && setContext(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4)))) return;
    }
    if (HMODULE shcore = ::LoadLibraryW(L"shcore.dll")) {
        using SetAwareness = HRESULT(WINAPI*)(int);
        auto setAwareness =
            reinterpret_cast<SetAwareness>(reinterpret_cast<void*>(::GetProcAddress(shcore, "SetProcessDpiAwareness")));
        const bool done = setAwareness != nullptr && setAwareness(2) >= 0;
        ::FreeLibrary(shcore);
        if (done) return;
    }
    if (user32 != nullptr) {
        using SetAware = BOOL(WINAPI*)();
        auto setAware =
            reinterpret_cast<SetAware>(reinterpret_cast<void*>(::GetProcAddress(user32, "SetProcessDPIAware")));
        if (setAware != nullptr) setAware();
    }
}

bool Application::Init(const std::wstring& commandLine, const std::wstring& argumentTail, int showCommand) {
    ParsedCommandLine parsed = ParseCommandLine(commandLine);
    if (parsed.action == ActionRegister || parsed.action == ActionUnregister) {
        exitCode_ = RunRegistration(parsed.action, parsed.quiet);
        return false;
    }

    mainWindow_ = std::make_unique<MainWindow>(shell_);
    if (!mainWindow_->Create(showCommand)) return false;

    if (!parsed.path.empty() && Platform::PathExists(parsed.path)) {
        ActOnPath(parsed.action, parsed.path);
    } else if (parsed.action == ActionNone && !argumentTail.empty()) {
        std::wstring path = Unquoted(argumentTail);
        if (!path.empty() && Platform::PathExists(path)) mainWindow_->OpenArchiveFile(path);
    }
    accelerators_ = ::LoadAcceleratorsW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAIN_MENU));
    return true;
}

void Application::ActOnPath(int action, const std::wstring& path) {
    if (!mainWindow_->OpenArchiveFile(path)) return;
    switch (action) {
        case ActionExtractHere:
            mainWindow_->ExtractArchive(ArchiveFolder(path));
            break;
        case ActionExtractNewFolder: {
            std::wstring target = NewFolderTarget(path);
            ::CreateDirectoryW(target.c_str(), nullptr);
            mainWindow_->ExtractArchive(target);
            break;
        }
        case ActionExtractTo:
            ::SendMessageW(mainWindow_->Handle(), WM_COMMAND, IDM_EXTRACT, 0);
            break;
        case ActionTest:
            ::SendMessageW(mainWindow_->Handle(), WM_COMMAND, IDM_TEST, 0);
            break;
        default:  // open and preview
            break;
    }
}

int Application::RunMessageLoop() {
    MSG message{};
    BOOL got = 0;
    while ((got = ::GetMessageW(&message, nullptr, 0, 0)) != 0) {
        if (got == -1) break;
        if (accelerators_ != nullptr && ::TranslateAcceleratorW(message.hwnd, accelerators_, &message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace Arkova
