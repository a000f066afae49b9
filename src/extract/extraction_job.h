// Extraction jobs: every entry of the open archive, the selected rows of the browser, or a list of chosen items,
// into a folder. An unencrypted ZIP goes to the parallel engine when the job's settings allow it; everything else is
// extracted entry by entry through the archive context. Conflicts, the password, progress and cancel go through
// the front end. User-interface thread only; one job at a time.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/job_settings.h"
#include "archive/archive_session.h"
#include "archive/browser_path.h"
#include "frontend/job_front_end.h"

namespace Arkova {

namespace FastZip {
class EntrySource;
struct EntryError;
}  // namespace FastZip

// One item the user chose, from the item list or a drag.
struct DragItem {
    std::wstring name;      // the row's display name
    std::wstring fullPath;  // "/"-separated path inside the archive
    bool isFolder = false;
    std::uint32_t itemIndex = 0;  // for a file: the `index` of its ArchiveItem
};

// A selected row of the item list as the job reads it: the name column and the type column.
struct SelectedRow {
    std::wstring name;
    std::wstring typeText;  // "폴더" for a folder
};

// One entry of a sequential item job.
struct ItemJob {
    std::uint32_t itemIndex = 0;
    std::wstring targetPath;
    std::wstring displayName;
};

// A folder that a sequential job creates: a folder entry, or a chosen folder item. Empty `targetPath`: the path
// would leave the destination.
struct FolderJob {
    std::wstring entryPath;
    std::wstring targetPath;
    std::uint64_t modifiedTimeUtc = 0;  // 0 = none known
};

// A whole-archive job: where to, and the two choices of the destination dialog.
struct ArchiveExtractRequest {
    std::wstring destination;
    bool keepPaths = true;   // off: every file lands directly in the destination
    bool newerOnly = false;  // an existing file is replaced only by a newer entry, never asked about
};

// What the last job did, for the caller's summary.
struct JobOutcome {
    std::uint64_t filesWritten = 0;
    std::vector<std::wstring> skipped;  // existing files left alone
    std::vector<EntryFailure> failures;
    // What the decoder found odd in data it still delivered, as shown to the user; they fail nothing.
    std::vector<std::wstring> warnings;
    bool cancelled = false;
    bool usedParallelEngine = false;
    // No password was given for an archive with plain entries too: those were extracted, and every encrypted one
    // is among the failures.
    bool withoutPassword = false;
};

class ExtractionJob {
public:
    // `settings` as the caller read them (ReadJobSettings), for this job's lifetime.
    ExtractionJob(ArchiveSession& session, JobFrontEnd& frontEnd, const JobSettings& settings)
        : session_(session), frontEnd_(frontEnd), settings_(settings) {}

    // Every entry. False when nothing is open, the password was refused, the user cancelled at a conflict, or
    // entries failed; a cancel through the progress window returns true. keepPaths and newerOnly do not apply to
    // the parallel engine, which keeps the folders and replaces files.
    bool ExtractArchive(const ArchiveExtractRequest& request);
    // The selected rows of the browser; "선택된 파일이 없습니다." when there are none.
    bool ExtractSelection(const std::vector<SelectedRow>& rows, const std::wstring& destination);
    // Chosen items, placed relative to the folder being browsed. `displayDestination`, when set (a drag-out), is
    // the folder shown and opened, and the finished window stays open on its own.
    bool ExtractItems(const std::vector<DragItem>& items, const std::wstring& destination,
                      const std::wstring& displayDestination);

    // The parallel engine's two jobs, reached from the two above.
    // A ZIP archive; with a source, the archive whose entries it lists (an ALZ or EGG archive, say).
    bool ExtractArchiveParallel(const std::wstring& destination);
    bool ExtractArchiveParallel(const std::wstring& destination, FastZip::EntrySource& source);
    bool ExtractItemsParallel(const std::vector<DragItem>& items, const std::wstring& destination,
                              const std::wstring& displayDestination);

    const JobOutcome& Outcome() const { return outcome_; }
    // Off: the parallel engine is never used, whatever the settings say (a command-line choice).
    void SetParallelAllowed(bool allowed) { parallelAllowed_ = allowed; }
    // On: a finished window is left on its own (Detach) instead of being waited for, as a drag-out needs so that
    // the drop target's copy goes on while the window is still shown.
    void SetDetachWhenFinished(bool detach) { detachWhenFinished_ = detach; }

private:
    // An open archive, and its password when it has encrypted entries. Without one (the user gave none) the job
    // still runs when some of `positions` (null: every entry) are plain files: the encrypted ones then fail by name.
    bool CheckPreconditions(bool needsArchivePath, const std::vector<std::uint32_t>* positions);
    // Without a password, an encrypted entry is recorded as failed instead of being extracted; true when it was.
    bool FailedForNoPassword(std::uint32_t position);
    // Where the parallel engine takes this job's archive from; null when the job goes entry by entry.
    std::unique_ptr<FastZip::EntrySource> EngineSourceForJob() const;
    bool ParallelAllowedForItems(std::size_t itemCount) const;
    bool ExtractArchiveSequential(const ArchiveExtractRequest& request);
    bool ExtractItemsSequential(const std::vector<DragItem>& items, const std::wstring& destination,
                                const std::wstring& displayDestination);
    enum class ConflictStep { Write, Skip, Cancel };
    // An existing file at `target`: asks, or repeats the answer given for all files; records a skip or a cancel,
    // and moves `target` to a free name for a rename.
    ConflictStep HandleConflict(const std::wstring& displayName, const std::wstring& entryPath, std::wstring& target);
    // Extracts one entry and records the outcome; never throws, so it may run as a worker's whole body.
    void ExtractOne(std::uint32_t position, const std::wstring& target, const ByteProgressCallback& progress);
    // Creates the folders (a failure is recorded) before any file is written; their times are set by StampFolders
    // once the files inside them are written, since writing a file changes its folder's time.
    void CreateFolders(const std::vector<FolderJob>& folders);
    void StampFolders(const std::vector<FolderJob>& folders);
    // The entry's path for messages, also for a position the list does not hold.
    std::wstring EntryPath(std::uint32_t position) const;
    // The end of a job that ran to completion: bars to 100, the completion options, the failure list, then the wait
    // for the user to close the window, or with `detach` the window left on its own.
    void FinishJob(ExtractProgressDialog& dialog, bool detach);
    // The decoder's warnings since the archive was opened, into the outcome; ReportWarnings also shows them once
    // (nothing when there are none).
    void CollectWarnings();
    void ReportWarnings();
    // The engine's failure, recorded and shown as "추출 실패: " and its text.
    void ReportEngineFailure(EntryFailure failure);
    // The entries the engine failed alone, named as the item list names them.
    std::vector<EntryFailure> EngineEntryFailures(const std::vector<FastZip::EntryError>& errors) const;

    ArchiveSession& session_;
    JobFrontEnd& frontEnd_;
    const JobSettings settings_;
    ConflictState conflicts_;
    JobOutcome outcome_;
    bool withoutPassword_ = false;
    bool parallelAllowed_ = true;
    bool detachWhenFinished_ = false;
};

// The jobs of a sequential item job: files of the items, made relative to the browsed folder.
std::vector<ItemJob> BuildItemJobs(const std::vector<DragItem>& items, const std::vector<ArchiveItem>& entries,
                                   const std::wstring& currentFolder, const std::wstring& destination);
// The folders of a sequential item job: each chosen folder and every folder entry below it, parents first.
std::vector<FolderJob> BuildFolderJobs(const std::vector<DragItem>& items, const std::vector<ArchiveItem>& entries,
                                       const std::wstring& currentFolder, const std::wstring& destination,
                                       const std::function<std::uint64_t(const ArchiveItem&)>& timeOf);
// The entry positions of a parallel item job, each once, in the order of the items.
std::vector<std::uint32_t> BuildItemPositions(const std::vector<DragItem>& items,
                                              const std::vector<ArchiveItem>& entries);
// The selected rows as items, matched to entries by their full path.
std::vector<DragItem> BuildSelectionItems(const std::vector<SelectedRow>& rows, const std::vector<ArchiveItem>& entries,
                                          const std::wstring& currentFolder);

}  // namespace Arkova
