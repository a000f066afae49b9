#include "platform/console.h"

#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <iostream>

#include "platform/text.h"

namespace Arkova::Platform {

namespace {

int DescriptorOf(StandardStream stream) {
    switch (stream) {
        case StandardStream::Input:
            return STDIN_FILENO;
        case StandardStream::Output:
            return STDOUT_FILENO;
        case StandardStream::Error:
            return STDERR_FILENO;
    }
    return STDERR_FILENO;
}

std::atomic<bool> interrupted{false};

void OnInterrupt(int) {
    if (interrupted.exchange(true)) {
        ::signal(SIGINT, SIG_DFL);
        ::raise(SIGINT);
    }
}

}  // namespace

void InstallInterruptHandler() {
    interrupted = false;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    ::sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
}

void RemoveInterruptHandler() { ::signal(SIGINT, SIG_DFL); }

bool InterruptRequested() { return interrupted; }

bool IsTerminal(StandardStream stream) { return ::isatty(DescriptorOf(stream)) == 1; }

void WriteConsoleText(StandardStream stream, std::wstring_view text) {
    std::string bytes = WideToUtf8(text);
    std::FILE* file = stream == StandardStream::Output ? stdout : stderr;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fflush(file);
}

bool ReadConsoleLine(std::wstring& line) {
    std::string bytes;
    if (!std::getline(std::cin, bytes)) return false;
    if (!bytes.empty() && bytes.back() == '\r') bytes.pop_back();
    line = Utf8ToWide(bytes);
    return true;
}

bool ReadConsoleSecret(std::wstring& line) {
    termios saved{};
    bool hide = ::isatty(STDIN_FILENO) == 1 && ::tcgetattr(STDIN_FILENO, &saved) == 0;
    if (hide) {
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    bool ok = ReadConsoleLine(line);
    if (hide) {
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
        WriteConsoleText(StandardStream::Error, L"\n");
    }
    return ok;
}

}  // namespace Arkova::Platform
