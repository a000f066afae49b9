// arkova-cli: lists, tests and extracts archives from a console.
#include <string>
#include <vector>

#include "cli/commands.h"
#include "platform/text.h"

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
    std::vector<std::wstring> arguments(argv + 1, argv + argc);
#else
int main(int argc, char** argv) {
    std::vector<std::wstring> arguments;
    for (int i = 1; i < argc; ++i) arguments.push_back(Arkova::Platform::Utf8ToWide(argv[i]));
#endif
    Arkova::Cli::SystemConsole console;
    return Arkova::Cli::RunCli(arguments, console);
}
