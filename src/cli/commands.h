// The commands of arkova-cli. Each returns the process exit status.
#pragma once

#include <string>
#include <vector>

#include "cli/console.h"
#include "cli/options.h"

namespace Arkova::Cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitSomeFailed = 1;
inline constexpr int kExitUsageOrOpen = 2;

int RunList(const Options& options, Console& console);
int RunTest(const Options& options, Console& console);
int RunExtract(const Options& options, Console& console);

// The program's own switches as the shell passes them: "/extracthere", "/extractnewfolder", "/extractto", "/test",
// "/preview" (lists), "/register", "/unregister", each also with "-".
bool IsShellSwitch(const std::wstring& argument);
int RunShellSwitches(const std::vector<std::wstring>& arguments, Console& console);

// "config [NAME [VALUE]]": shows or sets the settings.
int RunConfig(const std::vector<std::wstring>& arguments, Console& console);
// The file associations of the current user.
int RunRegister(Console& console);
int RunUnregister(Console& console);

// Parses the arguments (program name excluded) and runs the command.
int RunCli(const std::vector<std::wstring>& arguments, Console& console);

}  // namespace Arkova::Cli
