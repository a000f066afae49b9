#include "platform/console.h"

#include <windows.h>

#include <atomic>
#include <string>

#include "platform/text.h"

namespace Arkova::Platform {

namespace {

HANDLE HandleOf(StandardStream stream) {
    switch (stream) {
        case StandardStream::Input:
            return ::GetStdHandle(STD_INPUT_HANDLE);
        case StandardStream::Output:
            return ::GetStdHandle(STD_OUTPUT_HANDLE);
        case StandardStream::Error:
            return ::GetStdHandle(STD_ERROR_HANDLE);
    }
    return INVALID_HANDLE_VALUE;
}

bool IsConsoleHandle(HANDLE handle) {
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && handle != nullptr && ::GetConsoleMode(handle, &mode) != 0;
}

std::atomic<bool> interrupted{false};

BOOL WINAPI OnConsoleControl(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
    // The second interrupt falls through to the default handler, which ends the process.
    return interrupted.exchange(true) ? FALSE : TRUE;
}

}  // namespace

void InstallInterruptHandler() {
    interrupted = false;
    ::SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

void RemoveInterruptHandler() { ::SetConsoleCtrlHandler(OnConsoleControl, FALSE); }

bool InterruptRequested() { return interrupted; }

bool IsTerminal(StandardStream stream) { return IsConsoleHandle(HandleOf(stream)); }

void WriteConsoleText(StandardStream stream, std::wstring_view text) {
    HANDLE handle = HandleOf(stream);
    if (handle == INVALID_HANDLE_VALUE || handle == nullptr || text.empty()) return;
    if (IsConsoleHandle(handle)) {
        DWORD written = 0;
        ::WriteConsoleW(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    std::string bytes = WideToUtf8(text);
    DWORD written = 0;
    ::WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

bool ReadConsoleLine(std::wstring& line) {
    HANDLE handle = HandleOf(StandardStream::Input);
    line.clear();
    if (IsConsoleHandle(handle)) {
        wchar_t c = 0;
        DWORD got = 0;
        bool any = false;
        while (::ReadConsoleW(handle, &c, 1, &got, nullptr) && got == 1) {
            any = true;
            if (c == L'\n') return true;
            if (c != L'\r') line += c;
        }
        return any;
    }
    std::string bytes;
    char c = 0;
    DWORD got = 0;
    bool any = false;
    while (::ReadFile(handle, &c, 1, &got, nullptr) && got == 1) {
        any = true;
        if (c == '\n') break;
        if (c != '\r') bytes += c;
    }
    line = Utf8ToWide(bytes);
    return any;
}

bool ReadConsoleSecret(std::wstring& line) {
    HANDLE input = HandleOf(StandardStream::Input);
    DWORD saved = 0;
    bool hide = IsConsoleHandle(input) && ::GetConsoleMode(input, &saved);
    if (hide) ::SetConsoleMode(input, saved & ~static_cast<DWORD>(ENABLE_ECHO_INPUT));
    bool ok = ReadConsoleLine(line);
    if (hide) {
        ::SetConsoleMode(input, saved);
        WriteConsoleText(StandardStream::Error, L"\n");
    }
    return ok;
}

}  // namespace Arkova::Platform
