#include "cli/commands.h"
#include "cli/console_front_end.h"
#include "cli/open_archive.h"
#include "dialogs/archive_test.h"
#include "dialogs/password_prompt.h"
#include "dialogs/test_report.h"

namespace Arkova::Cli {

// Tests every file entry and prints the report: a title, the archive name and the summary, then one row per entry.
// The test itself never asks for a password; on a terminal the command asks first, so encrypted entries can pass.
int RunTest(const Options& options, Console& console) {
    ConsoleFrontEnd frontEnd(console, options);
    ArchiveSession session;
    if (!OpenForCommand(options, session, frontEnd, console)) return kExitUsageOrOpen;
    if (session.archivePassword.empty() && session.context.Decoder()->HasEncryptedItems() &&
        console.InputIsTerminal() && !RequestPassword(session, frontEnd)) {
        return kExitSomeFailed;
    }
    TestReport report;
    if (!TestArchive(session, frontEnd, &report)) {
        console.Err(L"arkova-cli: the test was cancelled\n");
        return kExitSomeFailed;
    }
    for (const ItemTestResult& result : report.results) {
        if (!result.ok) {
            console.Err(L"arkova-cli: " + result.path + L": " + DescribeFailure(session.context, result.error) + L"\n");
        }
    }
    return FailedCount(report) == 0 ? kExitOk : kExitSomeFailed;
}

}  // namespace Arkova::Cli
