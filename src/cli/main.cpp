// arkova-cli: lists, tests and extracts archives from a console.
#include <string>
#include <vector>

#include "cli/commands.h"
#include "platform/memory.h"
#include "platform/text.h"

#ifndef _WIN32
#include <cstdlib>
#endif

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
    std::vector<std::wstring> arguments(argv + 1, argv + argc);
#else
int main(int argc, char** argv) {
    Arkova::Platform::UseHugePageHeap();
    std::vector<std::wstring> arguments;
    for (int i = 1; i < argc; ++i) arguments.push_back(Arkova::Platform::Utf8ToWide(argv[i]));
    // Without TZ the C library stats /etc/localtime on every localtime() call, which the UnRAR library makes twice
    // per entry; naming the same default zone explicitly keeps the zone and drops those calls.
    setenv("TZ", ":/etc/localtime", 0);
#endif
    Arkova::Cli::SystemConsole console;
    return Arkova::Cli::RunCli(arguments, console);
}
