// The process's standard streams, as text.
#pragma once

#include <string>
#include <string_view>

namespace Arkova::Platform {

enum class StandardStream { Input, Output, Error };

bool IsTerminal(StandardStream stream);
// Writes text: to a console as characters, to a file or pipe as UTF-8.
void WriteConsoleText(StandardStream stream, std::wstring_view text);
// Reads one line of standard input without its line end; false at the end of input.
bool ReadConsoleLine(std::wstring& line);
// The same without echoing what is typed, for passwords.
bool ReadConsoleSecret(std::wstring& line);

// While installed, the first Ctrl+C (or Ctrl+Break) only raises a flag that a running job reads as "cancel"; a
// second one ends the process as usual. Removing the handler restores the default at once.
void InstallInterruptHandler();
void RemoveInterruptHandler();
bool InterruptRequested();

}  // namespace Arkova::Platform
