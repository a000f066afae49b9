// The parallel jobs: the ZIP engine runs on a thread of its own while the user-interface thread keeps the
// progress window alive and passes a cancel on.
#include <atomic>
#include <chrono>
#include <climits>
#include <cstdint>
#include <mutex>
#include <new>
#include <thread>

#include "archive/entry_path.h"
#include "extract/extraction_job.h"
#include "fastzip/parallel_zip_extractor.h"
#include "frontend/texts.h"
#include "platform/file_system.h"
#include "platform/text.h"

namespace Arkova {

namespace {

constexpr auto kProgressInterval = std::chrono::milliseconds(15);

struct EngineRun {
    bool result = false;     // every entry extracted
    bool completed = false;  // the run went through every entry: all but `entryErrors` are in place
    FailureReason reason = FailureReason::Engine;  // when the run failed
    std::wstring detail;
    std::uint64_t filesWritten = 0;
    std::vector<FastZip::EntryError> entryErrors;
};

// Runs the engine on its own thread, waiting in the progress window. `positions` null = every entry.
EngineRun RunEngine(ExtractProgressDialog& dialog, JobSignal& signal, const std::wstring& archivePath,
                    const std::wstring& target, const std::vector<std::uint32_t>* positions,
                    FastZip::EntrySource& source, std::int32_t codePage) {
    std::atomic<bool> jobResult{false};
    std::mutex jobErrorLock;
    EngineRun run;
    auto fail = [&](FailureReason reason, std::wstring detail) {
        std::lock_guard<std::mutex> guard(jobErrorLock);
        run.reason = reason;
        run.detail = std::move(detail);
    };
    auto body = [&](std::stop_token stop) {
        // Whatever happens, the thread ends by telling the waiting window that it is done.
        try {
            FastZip::ParallelZipExtractor engine;
            engine.SetNameCodePage(codePage);  // the names the listing shows are the names written
            // The window shows a name and a percentage; telling it about every one of thousands of small files would
            // cost a lock and a wake-up each, so it hears of a change in percent or every few milliseconds.
            auto lastShown = std::chrono::steady_clock::time_point{};
            std::uint32_t lastPercent = UINT32_MAX;
            engine.SetProgress([&](const std::wstring& name, std::uint64_t, std::uint64_t, std::uint64_t written,
                                   std::uint64_t total) {
                auto percent = total != 0 ? static_cast<std::uint32_t>(written * 100 / total) : 0u;
                auto now = std::chrono::steady_clock::now();
                if (percent != lastPercent || now - lastShown >= kProgressInterval) {
                    lastPercent = percent;
                    lastShown = now;
                    if (total != 0) signal.overallPercent = percent;
                    signal.SetCurrentName(name);
                    signal.ReportProgress();
                }
                return !signal.cancelRequested && !stop.stop_requested();
            });
            bool ok = positions == nullptr ? engine.RunAll(archivePath, target, source)
                                           : engine.RunSelected(archivePath, target, *positions, source);
            std::lock_guard<std::mutex> guard(jobErrorLock);
            if (!ok) run.detail = engine.ErrorText();
            run.completed = engine.Completed();
            run.filesWritten = engine.FilesWritten();
            run.entryErrors = engine.EntryErrors();
            jobResult = ok;
        } catch (const std::bad_alloc&) {
            fail(FailureReason::OutOfMemory, L"");
        } catch (const std::exception& error) {
            fail(FailureReason::Unexpected, Platform::Utf8ToWide(error.what()));
        } catch (...) {
            fail(FailureReason::Unexpected, L"");
        }
        signal.MarkDone();
    };
    try {
        // Joined on every way out of this block; should the wait itself throw, the stop request ends the run.
        std::jthread engineThread(body);
        dialog.WaitForWorker(signal);
    } catch (const std::system_error&) {
        run.reason = FailureReason::ThreadStart;
        run.detail.clear();
        return run;
    }
    run.result = jobResult;
    if (!run.completed) run.filesWritten = 0;
    return run;
}

}  // namespace

std::vector<EntryFailure> ExtractionJob::EngineEntryFailures(const std::vector<FastZip::EntryError>& errors) const {
    const std::vector<ArchiveItem>& items = session_.context.Items();
    std::vector<EntryFailure> failures;
    failures.reserve(errors.size());
    for (const FastZip::EntryError& error : errors) {
        // Named as the browser lists the entry, so that both paths report it alike.
        std::wstring path = error.position < items.size() ? items[error.position].path : error.name;
        if (error.result == DecodeResult::UnsafePath) {
            failures.push_back({std::move(path), FailureReason::UnsafePath, L"", DecodeResult::Ok});
        } else {
            failures.push_back({std::move(path), FailureReason::Decode, error.message, error.result});
        }
    }
    return failures;
}

void ExtractionJob::ReportEngineFailure(EntryFailure failure) {
    // The engine's own text says what failed; the reason speaks only when there is none.
    std::wstring text = failure.detail.empty() ? FailureReasonTextKorean(failure) : failure.detail;
    outcome_.failures.push_back(std::move(failure));
    frontEnd_.ShowMessage(kMessageExtractFailedPrefix + text, kCaptionError, MessageIcon::Error);
}

bool ExtractionJob::ExtractArchiveParallel(const std::wstring& destination) {
    FastZip::ZipEntrySource zip;
    return ExtractArchiveParallel(destination, zip);
}

bool ExtractionJob::ExtractArchiveParallel(const std::wstring& destination, FastZip::EntrySource& source) {
    outcome_.usedParallelEngine = true;
    const bool useStaging = settings_.useParallelTempFolder;
    std::wstring staging;
    std::wstring target = destination;
    if (useStaging) {
        staging = Platform::StagingFolderFor(destination);
        Platform::MakeDirectories(staging);
        target = staging;
    } else {
        // Asked once: after "덮어쓰기" or "이름 변경" the engine overwrites every existing file.
        for (const ArchiveItem& item : session_.context.Items()) {
            std::wstring path;
            if (item.isDirectory || !SafeOutputPath(destination, item.path, path)) continue;
            if (!Platform::PathExists(path) || Platform::IsDirectory(path)) continue;
            OverwriteDecision decision = frontEnd_.AskOverwrite(FileNamePart(BrowserPath(item.path))).decision;
            if (decision == OverwriteDecision::Skip) {
                outcome_.skipped.push_back(item.path);
                return true;
            }
            if (decision == OverwriteDecision::Cancel) {
                outcome_.cancelled = true;
                return false;
            }
            break;
        }
    }

    std::unique_ptr<ExtractProgressDialog> dialog = frontEnd_.CreateProgressDialog();
    dialog->Open(kTitleTurboParallelExtract, destination, session_.archivePath);
    dialog->SetCurrentName(kStatusPreparing);
    JobSignal signal;
    EngineRun run =
        RunEngine(*dialog, signal, session_.archivePath, target, nullptr, source, session_.context.CodePage());
    bool result = run.result;
    const bool cancelled = signal.cancelRequested;
    outcome_.cancelled = cancelled;
    // Entries that failed alone cost nothing else: the rest is delivered and the failures are listed.
    const bool delivered = run.completed && !cancelled;
    std::vector<EntryFailure> entryFailures =
        delivered ? EngineEntryFailures(run.entryErrors) : std::vector<EntryFailure>{};

    if (useStaging) {
        std::vector<EntryFailure> copyFailures;
        if (delivered) {
            dialog->Close();
            CopyResult copy = frontEnd_.CopyFolderContents(staging, destination);
            result = run.result && copy.outcome == CopyResult::Outcome::Done;
            outcome_.cancelled = copy.outcome == CopyResult::Outcome::Aborted;
            outcome_.skipped = std::move(copy.skipped);
            copyFailures = std::move(copy.failures);
            // Every file the engine wrote was moved in, but for those skipped or failed on the way.
            std::uint64_t notMoved = outcome_.skipped.size() + copyFailures.size();
            outcome_.filesWritten = run.filesWritten > notMoved ? run.filesWritten - notMoved : 0;
        }
        // Skipped files and anything a failed run left behind go with the staging folder.
        if (!Platform::RemoveTree(staging)) {
            copyFailures.push_back({staging, FailureReason::RemoveStaging, L"", DecodeResult::Ok});
        }
        entryFailures.insert(entryFailures.end(), copyFailures.begin(), copyFailures.end());
        if (!entryFailures.empty()) {
            outcome_.failures.insert(outcome_.failures.end(), entryFailures.begin(), entryFailures.end());
            frontEnd_.ShowFailures(entryFailures);
        } else if (!delivered && !cancelled) {
            ReportEngineFailure({session_.archivePath, run.reason, run.detail, DecodeResult::Ok});
        }
        if (delivered) ReportWarnings();
        if (dialog->IsOpen()) dialog->Close();
        return result && entryFailures.empty();
    }

    if (delivered) {
        outcome_.filesWritten = run.filesWritten;
        outcome_.failures.insert(outcome_.failures.end(), entryFailures.begin(), entryFailures.end());
        FinishJob(*dialog, false);
        return result;
    }
    dialog->Close();
    if (!cancelled) ReportEngineFailure({session_.archivePath, run.reason, run.detail, DecodeResult::Ok});
    return false;
}

bool ExtractionJob::ExtractItemsParallel(const std::vector<DragItem>& items, const std::wstring& destination,
                                         const std::wstring& displayDestination) {
    outcome_.usedParallelEngine = true;
    std::vector<std::uint32_t> positions = BuildItemPositions(items, session_.context.Items());
    if (positions.empty()) return true;

    std::unique_ptr<ExtractProgressDialog> dialog = frontEnd_.CreateProgressDialog();
    dialog->Open(kTitleParallelExtract, displayDestination.empty() ? destination : displayDestination,
                 session_.archivePath);
    dialog->SetCurrentName(kStatusPreparing);
    JobSignal signal;
    FastZip::ZipEntrySource zip;
    EngineRun run = RunEngine(*dialog, signal, session_.archivePath, destination, &positions, zip,
                              session_.context.CodePage());
    const bool cancelled = signal.cancelRequested;
    outcome_.cancelled = cancelled;
    if (!run.completed || cancelled) {
        dialog->Close();
        if (!cancelled) ReportEngineFailure({session_.archivePath, run.reason, run.detail, DecodeResult::Ok});
        return false;
    }
    outcome_.filesWritten = run.filesWritten;
    std::vector<EntryFailure> entryFailures = EngineEntryFailures(run.entryErrors);
    outcome_.failures.insert(outcome_.failures.end(), entryFailures.begin(), entryFailures.end());
    FinishJob(*dialog, !displayDestination.empty());
    return run.result;
}

}  // namespace Arkova
