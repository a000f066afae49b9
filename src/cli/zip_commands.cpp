#include "cli/zip_commands.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <mutex>
#include <vector>

#include "app/command_line.h"
#include "archive/ensure_directory.h"
#include "archive/entry_path.h"
#include "cli/commands.h"
#include "cli/conflict_prompt.h"
#include "cli/progress_line.h"
#include "dialogs/unique_name.h"
#include "fastzip/central_directory.h"
#include "fastzip/little_endian.h"
#include "fastzip/parallel_zip_extractor.h"
#include "platform/file.h"
#include "platform/file_system.h"

namespace Arkova::Cli {

namespace {

using FastZip::ZipEntry;

// The engine inflates stored and deflated entries and decrypts nothing; an archive holding anything else goes
// entry by entry through the archive context, so that every entry extracts.
bool EngineCanExtractAll(const std::wstring& path) {
    FastZip::ZipArchiveIndex index;
    FastZip::ErrorSlot errors;
    if (!FastZip::ReadCentralDirectory(index, errors, path)) return true;  // the engine reports the damage
    return std::all_of(index.entries.begin(), index.entries.end(), [](const ZipEntry& entry) {
        return (entry.flags & FastZip::kFlagEncrypted) == 0 &&
               (entry.isDirectory || entry.method == FastZip::kMethodStored || entry.method == FastZip::kMethodDeflate);
    });
}

// The extracted entries as a tree of relative path parts, so that whole folders move with one rename.
struct MergeNode {
    std::map<std::wstring, MergeNode> children;
    bool isFile = false;
    bool isFolderEntry = false;
};

void AddToTree(MergeNode& root, const ZipEntry& entry) {
    std::wstring relative;
    if (!MakeSafeRelativePath(entry.name, relative)) return;
    MergeNode* node = &root;
    std::size_t start = 0;
    while (start <= relative.size()) {
        std::size_t end = relative.find(Platform::kPathSeparator, start);
        if (end == std::wstring::npos) end = relative.size();
        node = &node->children[relative.substr(start, end - start)];
        start = end + 1;
    }
    (entry.isDirectory ? node->isFolderEntry : node->isFile) = true;
}

struct MergeTally {
    std::uint64_t files = 0;
    std::uint64_t folders = 0;
    std::vector<std::wstring> skipped;
    std::vector<std::wstring> failures;
    bool cancelled = false;
};

void CountMoved(const MergeNode& node, MergeTally& tally) {
    if (node.isFile) ++tally.files;
    if (node.isFolderEntry) ++tally.folders;
    for (const auto& child : node.children) CountMoved(child.second, tally);
}

// Moves what the engine wrote below `from` into `to`: a name new to `to` moves whole (files and folders alike), a
// folder that exists on both sides is merged, and an existing file is decided by the conflict policy.
void Merge(const MergeNode& node, const std::wstring& from, const std::wstring& to, const std::wstring& shown,
           ConflictResolver& conflicts, ProgressLine& progress, MergeTally& tally) {
    for (const auto& [name, child] : node.children) {
        if (tally.cancelled) return;
        std::wstring source = Platform::JoinPath(from, name);
        std::wstring target = Platform::JoinPath(to, name);
        std::wstring label = shown.empty() ? name : shown + L"/" + name;
        if (!Platform::PathExists(source)) continue;  // the engine did not write it; its error is reported
        bool sourceIsFolder = Platform::IsDirectory(source);
        if (!Platform::PathExists(target)) {
            if (Platform::RenamePath(source, target, false)) {
                CountMoved(child, tally);
            } else {
                tally.failures.push_back(label + L": cannot move it into the destination folder");
            }
        } else if (sourceIsFolder && Platform::IsDirectory(target)) {
            if (child.isFolderEntry) ++tally.folders;
            Merge(child, source, target, label, conflicts, progress, tally);
        } else if (sourceIsFolder || Platform::IsDirectory(target)) {
            tally.failures.push_back(label + (sourceIsFolder ? L": a file of that name exists"
                                                             : L": a folder of that name exists"));
        } else {
            progress.Clear();
            switch (conflicts.Decide(target)) {
                case ConflictDecision::Overwrite:
                    break;
                case ConflictDecision::Skip:
                    tally.skipped.push_back(label);
                    continue;
                case ConflictDecision::Rename:
                    target = MakeUniqueName(target);
                    break;
                case ConflictDecision::Cancel:
                    tally.cancelled = true;
                    return;
            }
            if (Platform::RenamePath(source, target, true)) {
                ++tally.files;
            } else {
                tally.failures.push_back(label + L": cannot replace the existing file");
            }
        }
    }
}

// A fresh hidden folder inside the destination, on the same file system, so that moving out of it is a rename.
std::wstring MakeStagingFolder(const std::wstring& destination) {
    auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    for (unsigned attempt = 0;; ++attempt) {
        std::wstring path = Platform::JoinPath(
            destination, L".arkova-extract-" + std::to_wstring(ticks) + L"-" + std::to_wstring(attempt));
        if (!Platform::PathExists(path)) return path;
    }
}

void Report(const MergeTally& tally, const std::wstring& engineError, bool engineOk, const std::wstring& destination,
            const ConflictResolver& conflicts, Console& console) {
    if (!engineOk && !engineError.empty()) console.Err(L"arkova-cli: " + engineError + L"\n");
    for (const std::wstring& failure : tally.failures) console.Err(L"arkova-cli: " + failure + L"\n");
    if (conflicts.SkipsForLackOfTerminal()) {
        for (const std::wstring& name : tally.skipped) {
            console.Err(L"arkova-cli: " + name + L": skipped, the file exists (use -y to overwrite)\n");
        }
    }
    std::wstring summary = L"Extracted " + std::to_wstring(tally.files) + L" file(s) and " +
                           std::to_wstring(tally.folders) + L" folder(s) to " + destination;
    if (!tally.skipped.empty()) summary += L"; skipped " + std::to_wstring(tally.skipped.size()) + L" existing";
    std::size_t errors = tally.failures.size() + (engineOk ? 0 : 1);
    if (errors > 0) summary += L"; " + std::to_wstring(errors) + L" error(s)";
    console.Out(summary + (tally.cancelled ? L"; cancelled\n" : L"\n"));
}

}  // namespace

bool IsZipArchive(const std::wstring& path) {
    Platform::InputFile file;
    std::uint8_t signature[4] = {};
    if (!file.Open(path) || !file.ReadExactAt(0, signature, sizeof(signature))) return false;
    return FastZip::HasSignature(signature, 0x03, 0x04) || FastZip::HasSignature(signature, 0x05, 0x06);
}

int RunZipExtract(const Options& options, Console& console) {
    if (options.sequential || !EngineCanExtractAll(options.archive)) return RunExtract(options, console);
    std::wstring destination = options.outputFolder.empty() ? NewFolderTarget(options.archive) : options.outputFolder;
    if (!EnsureDirectory(destination)) {
        console.Err(L"arkova-cli: cannot create the folder '" + destination + L"'\n");
        return kExitUsageOrOpen;
    }
    std::wstring staging = MakeStagingFolder(destination);

    ConflictResolver conflicts(console, options.existing);
    MergeTally tally;
    FastZip::ParallelZipExtractor engine;
    bool engineOk = false;
    {
        ProgressLine progress(console, !options.quiet);
        // Called on the engine's writer thread only; the line is redrawn at most every 100 ms.
        auto lastShown = std::chrono::steady_clock::time_point{};
        bool shown = !options.quiet && console.ErrorIsTerminal();
        if (shown) engine.SetProgress([&](const std::wstring& name, std::uint64_t, std::uint64_t, std::uint64_t done,
                               std::uint64_t total) {
            auto now = std::chrono::steady_clock::now();
            if (now - lastShown >= std::chrono::milliseconds(100)) {
                lastShown = now;
                progress.Show(done, total, name);
            }
            return true;
        });
        engineOk = engine.RunAll(options.archive, staging);
        if (!engineOk && engine.Entries().empty()) {
            progress.Clear();
            Platform::RemoveTree(staging);
            console.Err(L"arkova-cli: cannot open archive '" + options.archive + L"': " + engine.ErrorText() + L"\n");
            return kExitUsageOrOpen;
        }
        MergeNode root;
        for (const ZipEntry& entry : engine.Entries()) AddToTree(root, entry);
        Merge(root, staging, destination, L"", conflicts, progress, tally);
    }
    // Skipped files and anything the engine left behind go with the hidden folder.
    if (Platform::PathExists(staging) && !Platform::RemoveTree(staging)) {
        tally.failures.push_back(L"cannot remove the temporary folder '" + staging + L"'");
    }
    Report(tally, engine.ErrorText(), engineOk, destination, conflicts, console);
    bool unaskedSkips = conflicts.SkipsForLackOfTerminal() && !tally.skipped.empty();
    return engineOk && tally.failures.empty() && !tally.cancelled && !unaskedSkips ? kExitOk : kExitSomeFailed;
}

}  // namespace Arkova::Cli
