// The sequential paths of the extraction jobs, and the choice of the parallel one.
#include "extract/extraction_job.h"

#include <algorithm>
#include <new>
#include <thread>

#include "archive/ensure_directory.h"
#include "archive/entry_path.h"
#include "dialogs/password_prompt.h"
#include "dialogs/unique_name.h"
#include "extract/conflict.h"
#include "extract/parallel_choice.h"
#include "frontend/texts.h"
#include "platform/file_system.h"

namespace Arkova {

namespace {

int Percent(std::uint64_t done, std::uint64_t total) { return total == 0 ? 0 : static_cast<int>(done * 100 / total); }

// `lastMade` remembers the folder made or found for the previous entry: entries of one folder come together, and
// each would otherwise stat every level of its path again.
void CreateParentFolder(const std::wstring& target, std::wstring& lastMade) {
    std::size_t separator = Platform::LastSeparator(target);
    if (separator == std::wstring::npos) return;
    if (target.compare(0, separator, lastMade) == 0 && lastMade.size() == separator) return;
    std::wstring folder = target.substr(0, separator);
    if (EnsureDirectory(folder)) {
        lastMade = std::move(folder);
    } else {
        lastMade.clear();
    }
}

bool ExistsAsFile(const std::wstring& path) { return Platform::PathExists(path) && !Platform::IsDirectory(path); }

EntryFailure Failure(const std::wstring& path, FailureReason reason) { return {path, reason, L"", DecodeResult::Ok}; }

}  // namespace

bool ExtractionJob::CheckPreconditions(bool needsArchivePath, const std::vector<std::uint32_t>* positions) {
    outcome_ = JobOutcome{};
    conflicts_ = ConflictState{};
    withoutPassword_ = false;
    if (!session_.HasOpenArchive()) return false;
    if (needsArchivePath && session_.archivePath.empty()) return false;
    if (!session_.context.Decoder()->HasEncryptedItems() || !session_.archivePassword.empty()) return true;
    PasswordAnswer answer = AskForPassword(session_, frontEnd_);
    if (answer == PasswordAnswer::Accepted) return true;
    if (answer != PasswordAnswer::Declined) return false;
    // Declining the password costs the user only the encrypted entries, not the plain ones beside them.
    const std::vector<ArchiveItem>& items = session_.context.Items();
    auto plainFile = [&](std::uint32_t position) {
        return position < items.size() && !items[position].isDirectory && !items[position].isEncrypted;
    };
    bool anyPlain = false;
    if (positions != nullptr) {
        anyPlain = std::any_of(positions->begin(), positions->end(), plainFile);
    } else {
        for (std::uint32_t position = 0; position < items.size() && !anyPlain; ++position)
            anyPlain = plainFile(position);
    }
    withoutPassword_ = anyPlain;
    outcome_.withoutPassword = anyPlain;
    return anyPlain;
}

bool ExtractionJob::FailedForNoPassword(std::uint32_t position) {
    const std::vector<ArchiveItem>& items = session_.context.Items();
    if (!withoutPassword_ || position >= items.size() || !items[position].isEncrypted) return false;
    outcome_.failures.push_back({items[position].path, FailureReason::Decode, L"encrypted, and no password was given",
                                 DecodeResult::PasswordRequired});
    return true;
}

std::unique_ptr<FastZip::EntrySource> ExtractionJob::EngineSourceForJob() const {
    if (!parallelAllowed_ || !settings_.useParallelAllExtract || session_.context.Decoder()->HasEncryptedItems()) {
        return nullptr;
    }
    return EngineSourceForArchive(session_.context.Format(), session_.archivePath, session_.context.CodePage(),
                                  session_.context.Decoder());
}

bool ExtractionJob::ParallelAllowedForItems(std::size_t itemCount) const {
    return parallelAllowed_ && itemCount >= 2 && settings_.useParallelAllExtract && !session_.archivePath.empty() &&
           !session_.context.Decoder()->HasEncryptedItems() && EngineCanExtractEntries(session_.archivePath, session_.context.Decoder());
}

// The job holds the decoder for its whole run (the password it may ask for is given to the decoder too); the
// thumbnail workers wait meanwhile.
bool ExtractionJob::ExtractArchive(const ArchiveExtractRequest& request) {
    std::lock_guard decoderLock(session_.decoderMutex);
    if (!CheckPreconditions(true, nullptr)) return false;
    if (std::unique_ptr<FastZip::EntrySource> source = EngineSourceForJob()) {
        return ExtractArchiveParallel(request.destination, *source);
    }
    return ExtractArchiveSequential(request);
}

bool ExtractionJob::ExtractItems(const std::vector<DragItem>& items, const std::wstring& destination,
                                 const std::wstring& displayDestination) {
    std::lock_guard decoderLock(session_.decoderMutex);
    const std::vector<std::uint32_t> positions = BuildItemPositions(items, session_.context.Items());
    if (!CheckPreconditions(false, &positions)) return false;
    if (ParallelAllowedForItems(items.size())) return ExtractItemsParallel(items, destination, displayDestination);
    return ExtractItemsSequential(items, destination, displayDestination);
}

bool ExtractionJob::ExtractSelection(const std::vector<SelectedRow>& rows, const std::wstring& destination) {
    if (rows.empty()) {
        frontEnd_.ShowMessage(kMessageNoSelection, kCaptionNotice, MessageIcon::Information);
        return false;
    }
    return ExtractItems(BuildSelectionItems(rows, session_.context.Items(), session_.currentFolder), destination, L"");
}

ExtractionJob::ConflictStep ExtractionJob::HandleConflict(const std::wstring& displayName,
                                                          const std::wstring& entryPath, std::wstring& target) {
    switch (ResolveConflict(frontEnd_, conflicts_, displayName)) {
        case OverwriteDecision::Skip:
            outcome_.skipped.push_back(entryPath);
            return ConflictStep::Skip;
        case OverwriteDecision::Cancel:
            outcome_.cancelled = true;
            return ConflictStep::Cancel;
        case OverwriteDecision::Rename:
            target = MakeUniqueName(target);
            return ConflictStep::Write;
        case OverwriteDecision::Overwrite:
            break;
    }
    return ConflictStep::Write;
}

std::wstring ExtractionJob::EntryPath(std::uint32_t position) const {
    const std::vector<ArchiveItem>& items = session_.context.Items();
    return position < items.size() ? items[position].path : L"#" + std::to_wstring(position);
}

void ExtractionJob::ExtractOne(std::uint32_t position, const std::wstring& target,
                               const ByteProgressCallback& progress) {
    // The context writes beside an existing file and renames over it only when the entry is complete, so the
    // user's file survives a failure.
    DecodeResult result = DecodeResult::InternalError;
    try {
        result = session_.context.ExtractItemToFile(position, target, progress);
    } catch (const std::bad_alloc&) {
        outcome_.failures.push_back(Failure(EntryPath(position), FailureReason::OutOfMemory));
        return;
    }
    if (result == DecodeResult::Ok) {
        ++outcome_.filesWritten;
    } else if (result != DecodeResult::Cancelled) {
        IArchiveDecoder* decoder = session_.context.Decoder();
        std::wstring detail = decoder != nullptr ? decoder->LastErrorText() : std::wstring();
        outcome_.failures.push_back({EntryPath(position), FailureReason::Decode, detail, result});
    }
}

void ExtractionJob::CreateFolders(const std::vector<FolderJob>& folders) {
    for (const FolderJob& folder : folders) {
        if (folder.targetPath.empty()) {
            outcome_.failures.push_back(Failure(folder.entryPath, FailureReason::UnsafePath));
        } else if (!Platform::MakeDirectories(folder.targetPath)) {
            outcome_.failures.push_back({folder.entryPath, FailureReason::Decode, L"", DecodeResult::IoError});
        }
    }
}

void ExtractionJob::StampFolders(const std::vector<FolderJob>& folders) {
    // Deepest first, so that stamping a folder is the last change made inside its parent.
    for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder) {
        if (!folder->targetPath.empty() && folder->modifiedTimeUtc != 0 && Platform::IsDirectory(folder->targetPath)) {
            Platform::SetLastWriteTime(folder->targetPath, folder->modifiedTimeUtc);
        }
    }
}

void ExtractionJob::CollectWarnings() {
    const IArchiveDecoder* decoder = session_.context.Decoder();
    outcome_.warnings = decoder != nullptr ? decoder->Warnings() : std::vector<std::wstring>();
}

void ExtractionJob::ReportWarnings() {
    CollectWarnings();
    if (!outcome_.warnings.empty()) frontEnd_.ShowWarnings(outcome_.warnings);
}

void ExtractionJob::FinishJob(ExtractProgressDialog& dialog, bool detach) {
    dialog.SetItemProgress(100);
    dialog.SetOverallProgress(100);
    dialog.Finish();
    CollectWarnings();
    if (dialog.IsOpen()) {
        std::wstring counts;
        if (!outcome_.failures.empty()) counts = L"실패 " + std::to_wstring(outcome_.failures.size()) + L"개";
        if (!outcome_.warnings.empty()) {
            counts += (counts.empty() ? L"경고 " : L", 경고 ") + std::to_wstring(outcome_.warnings.size()) + L"개";
        }
        dialog.SetStatusText(counts.empty() ? std::wstring(kStatusExtractDone)
                                            : std::wstring(kStatusExtractDone) + L" (" + counts + L")");
    }
    // Failures first: they are what the user must act on.
    if (!outcome_.failures.empty()) frontEnd_.ShowFailures(outcome_.failures);
    if (!outcome_.warnings.empty()) frontEnd_.ShowWarnings(outcome_.warnings);
    // A finished window stays until the user closes it; after a drag-out it stays on its own and the job ends.
    if (!dialog.IsOpen()) return;
    if (detach || detachWhenFinished_) {
        dialog.Detach();
    } else {
        dialog.RunUntilClosed();
    }
}

bool ExtractionJob::ExtractArchiveSequential(const ArchiveExtractRequest& request) {
    const std::wstring& destination = request.destination;
    const std::vector<ArchiveItem>& items = session_.context.Items();
    std::unique_ptr<ExtractProgressDialog> dialog = frontEnd_.CreateProgressDialog();
    dialog->Open(kTitleExtract, destination, session_.archivePath);

    std::uint64_t fileCount = 0;
    for (const ArchiveItem& item : items) fileCount += item.isDirectory ? 0 : 1;
    // Folder entries are made first, so that empty folders exist too; a flat extraction has no folders.
    std::vector<FolderJob> folders;
    if (request.keepPaths) {
        for (const ArchiveItem& item : items) {
            if (!item.isDirectory) continue;
            std::wstring target;
            if (!SafeOutputPath(destination, item.path, target)) target.clear();
            folders.push_back({item.path, target, session_.context.ModifiedTimeUtc(item)});
        }
    }
    CreateFolders(folders);
    if (fileCount == 0) {
        StampFolders(folders);
        if (outcome_.failures.empty() && session_.context.Decoder()->Warnings().empty()) {
            dialog->Close();
            return true;
        }
        FinishJob(*dialog, false);
        return false;
    }

    std::uint64_t done = 0;
    std::wstring lastFolder;
    for (std::uint32_t position = 0; position < items.size() && !dialog->IsCancelled(); ++position) {
        const ArchiveItem& item = items[position];
        if (item.isDirectory) continue;
        std::wstring displayName = FileNamePart(item.path);
        dialog->SetCurrentName(displayName);
        dialog->SetOverallProgress(Percent(done, fileCount));
        dialog->PumpMessages();
        if (FailedForNoPassword(position)) {
            ++done;
            continue;
        }

        std::wstring target;
        if (!SafeOutputPath(destination, request.keepPaths ? item.path : displayName, target)) {
            outcome_.failures.push_back(Failure(item.path, FailureReason::UnsafePath));
            ++done;
            continue;
        }
        CreateParentFolder(target, lastFolder);
        if (ExistsAsFile(target)) {
            if (request.newerOnly) {
                std::uint64_t existingTime = 0;
                if (Platform::LastWriteTime(target, existingTime) &&
                    session_.context.ModifiedTimeUtc(item) <= existingTime) {
                    ++done;
                    continue;
                }
            } else {
                ConflictStep step = HandleConflict(displayName, item.path, target);
                if (step == ConflictStep::Cancel) {
                    dialog->Close();
                    return false;
                }
                if (step == ConflictStep::Skip) {
                    ++done;
                    continue;
                }
            }
        }

        dialog->SetItemProgress(0);
        ExtractOne(position, target, [&](std::uint64_t bytesDone, std::uint64_t bytesTotal) {
            if (bytesTotal != 0) {
                dialog->SetItemProgress(Percent(bytesDone, bytesTotal));
                dialog->PumpMessages();
            }
            return !dialog->IsCancelled();
        });
        dialog->SetItemProgress(100);
        ++done;
        dialog->SetOverallProgress(Percent(done, fileCount));
        dialog->PumpMessages();
    }

    StampFolders(folders);
    if (dialog->IsCancelled()) {
        outcome_.cancelled = true;
        dialog->Close();
        return true;
    }
    FinishJob(*dialog, false);
    return outcome_.failures.empty();
}

bool ExtractionJob::ExtractItemsSequential(const std::vector<DragItem>& items, const std::wstring& destination,
                                           const std::wstring& displayDestination) {
    std::vector<ItemJob> jobs = BuildItemJobs(items, session_.context.Items(), session_.currentFolder, destination);
    std::vector<FolderJob> folders =
        BuildFolderJobs(items, session_.context.Items(), session_.currentFolder, destination,
                        [&](const ArchiveItem& entry) { return session_.context.ModifiedTimeUtc(entry); });
    if (jobs.empty() && folders.empty()) return true;
    std::unique_ptr<ExtractProgressDialog> dialog = frontEnd_.CreateProgressDialog();
    dialog->Open(kTitleExtract, displayDestination.empty() ? destination : displayDestination, session_.archivePath);
    CreateFolders(folders);

    const std::uint64_t jobCount = jobs.size();
    std::uint64_t done = 0;
    bool cancelled = false;
    std::wstring lastFolder;
    for (ItemJob& job : jobs) {
        if (dialog->IsCancelled()) break;
        dialog->SetCurrentName(job.displayName);
        dialog->SetOverallProgress(Percent(done, jobCount));
        dialog->PumpMessages();
        if (FailedForNoPassword(job.itemIndex)) {
            ++done;
            continue;
        }
        if (job.targetPath.empty()) {
            outcome_.failures.push_back(Failure(EntryPath(job.itemIndex), FailureReason::UnsafePath));
            ++done;
            continue;
        }
        CreateParentFolder(job.targetPath, lastFolder);
        if (ExistsAsFile(job.targetPath)) {
            ConflictStep step = HandleConflict(job.displayName, EntryPath(job.itemIndex), job.targetPath);
            if (step == ConflictStep::Cancel) {
                dialog->Close();
                return false;
            }
            if (step == ConflictStep::Skip) {
                ++done;
                continue;
            }
        }
        dialog->StartItemMarquee();
        dialog->PumpMessages();

        // One worker per entry keeps the window alive while a large entry decodes.
        JobSignal signal;
        signal.overallPercent = static_cast<std::uint32_t>(Percent(done, jobCount));
        try {
            // Joined on every way out of this block; should the wait itself throw, the stop request ends the entry.
            std::jthread worker([&](std::stop_token stop) {
                try {
                    ExtractOne(job.itemIndex, job.targetPath, [&](std::uint64_t bytesDone, std::uint64_t bytesTotal) {
                        if (bytesTotal != 0) {
                            signal.itemPercent = static_cast<std::uint32_t>(Percent(bytesDone, bytesTotal));
                            signal.ReportProgress();
                        }
                        return !signal.cancelRequested && !stop.stop_requested();
                    });
                } catch (...) {
                    // Not even the failure could be recorded; the entry is simply missing from the count.
                }
                signal.MarkDone();
            });
            dialog->WaitForWorker(signal);
        } catch (const std::system_error&) {
            outcome_.failures.push_back(Failure(EntryPath(job.itemIndex), FailureReason::ThreadStart));
        }
        if (signal.cancelRequested) {
            cancelled = true;
            break;
        }
        dialog->StopItemMarquee();
        dialog->SetItemProgress(0);
        dialog->SetItemProgress(100);
        ++done;
        dialog->SetOverallProgress(Percent(done, jobCount));
        dialog->PumpMessages();
    }

    StampFolders(folders);
    if (cancelled || dialog->IsCancelled()) {
        outcome_.cancelled = true;
        dialog->Close();
        return false;
    }
    FinishJob(*dialog, !displayDestination.empty());
    return outcome_.failures.empty();
}

}  // namespace Arkova
