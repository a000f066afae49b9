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

// Parses the arguments (program name excluded) and runs the command.
int RunCli(const std::vector<std::wstring>& arguments, Console& console);

}  // namespace Arkova::Cli
