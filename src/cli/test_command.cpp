#include <vector>

#include "cli/commands.h"
#include "cli/formatting.h"
#include "cli/open_archive.h"
#include "cli/progress_line.h"

namespace Arkova::Cli {

// Prints the test report: a title, the archive name and the summary, then one row per file entry.
int RunTest(const Options& options, Console& console) {
    ArchiveContext context;
    if (!OpenForCommand(options, ArchiveUse::ReadEntries, context, console)) return kExitUsageOrOpen;
    std::vector<ItemTestResult> results;
    {
        ProgressLine progress(console, !options.quiet);
        results = context.TestAll([&](std::uint32_t current, std::uint32_t total, const std::wstring& path) {
            progress.Show(current, total, path);
            return true;
        });
    }
    std::size_t failed = 0;
    for (const ItemTestResult& result : results) failed += result.ok ? 0 : 1;
    std::size_t passed = results.size() - failed;

    console.Out(std::wstring(L"Archive Test Result") + (failed == 0 ? L" - OK" : L" - Error Found") + L"\n");
    console.Out(ArchiveName(options.archive) + L"\n");
    console.Out(failed == 0 ? L"All " + std::to_wstring(passed) + L" file(s) passed.\n"
                            : std::to_wstring(passed) + L" passed, " + std::to_wstring(failed) + L" error(s)\n");
    console.Out(L"\nStatus  Expected CRC  Actual CRC  File Name\n");
    for (const ItemTestResult& result : results) {
        console.Out(std::wstring(result.ok ? L"OK    " : L"Error ") + L"  " + HexCrc(result.expectedCrc) + L"      " +
                    HexCrc(result.actualCrc) + L"    " + result.path + L"\n");
        if (!result.ok) {
            console.Err(L"arkova-cli: " + result.path + L": " + FailureText(context, result.error) + L"\n");
        }
    }
    return failed == 0 ? kExitOk : kExitSomeFailed;
}

}  // namespace Arkova::Cli
