#include <vector>

#include "app/command_line.h"
#include "archive/ensure_directory.h"
#include "archive/entry_path.h"
#include "cli/commands.h"
#include "cli/conflict_prompt.h"
#include "cli/open_archive.h"
#include "cli/progress_line.h"
#include "dialogs/unique_name.h"
#include "platform/file_system.h"

namespace Arkova::Cli {

namespace {

struct ExtractTally {
    std::uint64_t files = 0;
    std::uint64_t folders = 0;
    std::vector<std::wstring> skipped;
    std::vector<std::wstring> failures;  // "path: reason"
    bool cancelled = false;
};

// Extracts one file entry to `target`, asking about an existing file first.
void ExtractFileEntry(ArchiveContext& context, std::uint32_t position, std::wstring target,
                      ConflictResolver& conflicts, ProgressLine& progress, ExtractTally& tally) {
    const ArchiveItem& item = context.Items()[position];
    if (Platform::PathExists(target)) {
        if (Platform::IsDirectory(target)) {
            tally.failures.push_back(item.path + L": a folder of that name exists");
            return;
        }
        progress.Clear();
        switch (conflicts.Decide(target)) {
            case ConflictDecision::Overwrite:
                break;
            case ConflictDecision::Skip:
                tally.skipped.push_back(item.path);
                return;
            case ConflictDecision::Rename:
                target = MakeUniqueName(target);
                break;
            case ConflictDecision::Cancel:
                tally.cancelled = true;
                return;
        }
    }
    const std::uint64_t count = context.Items().size();
    DecodeResult result = context.ExtractItemToFile(position, target, [&](std::uint64_t done, std::uint64_t total) {
        progress.Show(position, count, item.path, static_cast<int>(total == 0 ? 100 : done * 100 / total));
        return true;
    });
    if (result == DecodeResult::Ok) {
        ++tally.files;
    } else {
        tally.failures.push_back(item.path + L": " + FailureText(context, result));
    }
}

}  // namespace

int RunExtract(const Options& options, Console& console) {
    ArchiveContext context;
    if (!OpenForCommand(options, ArchiveUse::ReadEntries, context, console)) return kExitUsageOrOpen;
    std::wstring destination = options.outputFolder.empty() ? NewFolderTarget(options.archive) : options.outputFolder;
    if (!EnsureDirectory(destination)) {
        console.Err(L"arkova-cli: cannot create the folder '" + destination + L"'\n");
        return kExitUsageOrOpen;
    }

    ConflictResolver conflicts(console, options.existing);
    ExtractTally tally;
    {
        ProgressLine progress(console, !options.quiet);
        const std::vector<ArchiveItem>& items = context.Items();
        for (std::uint32_t i = 0; i < items.size() && !tally.cancelled; ++i) {
            const ArchiveItem& item = items[i];
            std::wstring target;
            if (!SafeOutputPath(destination, item.path, target)) {
                tally.failures.push_back(item.path + L": refused, the path would leave the destination folder");
            } else if (item.isDirectory) {
                if (EnsureDirectory(target)) {
                    ++tally.folders;
                } else {
                    tally.failures.push_back(item.path + L": cannot create the folder");
                }
            } else {
                ExtractFileEntry(context, i, target, conflicts, progress, tally);
            }
        }
    }

    for (const std::wstring& failure : tally.failures) console.Err(L"arkova-cli: " + failure + L"\n");
    if (conflicts.SkipsForLackOfTerminal()) {
        for (const std::wstring& name : tally.skipped) {
            console.Err(L"arkova-cli: " + name + L": skipped, the file exists (use -y to overwrite)\n");
        }
    }
    std::wstring summary = L"Extracted " + std::to_wstring(tally.files) + L" file(s) and " +
                           std::to_wstring(tally.folders) + L" folder(s) to " + destination;
    if (!tally.skipped.empty()) summary += L"; skipped " + std::to_wstring(tally.skipped.size()) + L" existing";
    if (!tally.failures.empty()) summary += L"; " + std::to_wstring(tally.failures.size()) + L" error(s)";
    console.Out(summary + (tally.cancelled ? L"; cancelled\n" : L"\n"));

    bool unaskedSkips = conflicts.SkipsForLackOfTerminal() && !tally.skipped.empty();
    return tally.failures.empty() && !tally.cancelled && !unaskedSkips ? kExitOk : kExitSomeFailed;
}

}  // namespace Arkova::Cli
