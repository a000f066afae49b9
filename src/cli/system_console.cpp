#include "cli/console.h"
#include "platform/console.h"

namespace Arkova::Cli {

using Platform::StandardStream;

void SystemConsole::Out(std::wstring_view text) { Platform::WriteConsoleText(StandardStream::Output, text); }
void SystemConsole::Err(std::wstring_view text) { Platform::WriteConsoleText(StandardStream::Error, text); }
bool SystemConsole::InputIsTerminal() const { return Platform::IsTerminal(StandardStream::Input); }
bool SystemConsole::ErrorIsTerminal() const { return Platform::IsTerminal(StandardStream::Error); }
bool SystemConsole::ReadLine(std::wstring& line) { return Platform::ReadConsoleLine(line); }
bool SystemConsole::ReadSecret(std::wstring& line) { return Platform::ReadConsoleSecret(line); }
bool SystemConsole::Interrupted() const { return Platform::InterruptRequested(); }

void SystemConsole::CatchInterrupts(bool on) {
    if (on) {
        Platform::InstallInterruptHandler();
    } else {
        Platform::RemoveInterruptHandler();
    }
}

}  // namespace Arkova::Cli
