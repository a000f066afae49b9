#include <algorithm>

#include "app/command_line.h"
#include "app/job_settings.h"
#include "archive/ensure_directory.h"
#include "cli/commands.h"
#include "cli/console_front_end.h"
#include "cli/open_archive.h"
#include "extract/extraction_job.h"

namespace Arkova::Cli {

namespace {

// The entries named on the command line as items: a file entry by its path, or a folder with everything below it.
bool ItemsForNames(const std::vector<std::wstring>& names, const std::vector<ArchiveItem>& entries,
                   std::vector<DragItem>& items, Console& console) {
    for (const std::wstring& name : names) {
        std::wstring path = BrowserPath(name);
        auto file = std::find_if(entries.begin(), entries.end(), [&](const ArchiveItem& entry) {
            return !entry.isDirectory && BrowserPath(entry.path) == path;
        });
        if (file != entries.end()) {
            items.push_back({FileNamePart(path), path, false, file->index});
            continue;
        }
        bool isFolder = std::any_of(entries.begin(), entries.end(), [&](const ArchiveItem& entry) {
            std::wstring entryPath = BrowserPath(entry.path);
            return entryPath == path || entryPath.rfind(path + L"/", 0) == 0;
        });
        if (!isFolder || path.empty()) {
            console.Err(L"arkova-cli: the archive has no entry '" + name + L"'\n");
            return false;
        }
        items.push_back({FileNamePart(path), path, true, 0});
    }
    return true;
}

// The engine always keeps the folders and replaces existing files itself. Only a whole-archive extraction through
// the staging folder asks about existing files (when merging); elsewhere the engine may run only when existing
// files are to be overwritten anyway.
bool EngineKeepsTheRules(const Options& options, const JobSettings& settings, bool wholeArchive) {
    if (!options.keepPaths || options.newerOnly) return false;
    if (options.existing == ExistingFiles::OverwriteAll) return true;
    return wholeArchive && settings.useParallelTempFolder;
}

void Report(const JobOutcome& outcome, const std::wstring& destination, const ConsoleFrontEnd& frontEnd,
            Console& console) {
    if (frontEnd.SkippedUnasked()) {
        for (const std::wstring& name : outcome.skipped) {
            console.Err(L"arkova-cli: " + name + L": skipped, the file exists (use -y to overwrite)\n");
        }
    }
    std::wstring summary = L"Extracted " + std::to_wstring(outcome.filesWritten) + L" file(s) to " + destination;
    if (!outcome.skipped.empty()) summary += L"; skipped " + std::to_wstring(outcome.skipped.size()) + L" existing";
    if (!outcome.failures.empty()) summary += L"; " + std::to_wstring(outcome.failures.size()) + L" error(s)";
    console.Out(summary + (outcome.cancelled ? L"; cancelled\n" : L"\n"));
}

}  // namespace

int RunExtract(const Options& options, Console& console) {
    ConsoleFrontEnd frontEnd(console, options);
    ArchiveSession session;
    if (!OpenForCommand(options, session, frontEnd, console)) return kExitUsageOrOpen;
    std::vector<DragItem> items;
    if (!ItemsForNames(options.entries, session.context.Items(), items, console)) return kExitUsageOrOpen;
    std::wstring destination = options.outputFolder.empty() ? NewFolderTarget(options.archive) : options.outputFolder;
    if (!EnsureDirectory(destination)) {
        console.Err(L"arkova-cli: cannot create the folder '" + destination + L"'\n");
        return kExitUsageOrOpen;
    }

    const JobSettings settings = ReadJobSettings();
    ExtractionJob job(session, frontEnd, settings);
    job.SetParallelAllowed(!options.sequential && EngineKeepsTheRules(options, settings, items.empty()));
    bool ok = items.empty() ? job.ExtractArchive({destination, options.keepPaths, options.newerOnly})
                            : job.ExtractItems(items, destination, L"");
    const JobOutcome& outcome = job.Outcome();
    const bool noPassword = session.archivePassword.empty() && session.context.Decoder()->HasEncryptedItems();
    if (noPassword && !frontEnd.PasswordWasAsked() && (!ok || outcome.withoutPassword)) {
        console.Err(L"arkova-cli: '" + options.archive + L"' has encrypted entries: give the password with -p\n");
    }
    if (!ok && noPassword && !outcome.withoutPassword) return kExitSomeFailed;
    Report(outcome, destination, frontEnd, console);
    bool unaskedSkips = frontEnd.SkippedUnasked() && !outcome.skipped.empty();
    return ok && !outcome.cancelled && !unaskedSkips ? kExitOk : kExitSomeFailed;
}

}  // namespace Arkova::Cli
