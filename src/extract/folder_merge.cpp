#include "extract/folder_merge.h"

#include <vector>

#include "archive/file_output.h"
#include "dialogs/unique_name.h"
#include "extract/conflict.h"
#include "platform/file.h"
#include "platform/file_system.h"

namespace Arkova {

namespace {

constexpr std::size_t kCopyPiece = 1 << 20;

bool CopyFileReplacing(const std::wstring& from, const std::wstring& to) {
    Platform::InputFile input;
    std::uint64_t size = 0;
    if (!input.Open(from) || !input.Size(size)) return false;
    std::wstring partial = PartialFileName(to);
    Platform::OutputFile output;
    if (!output.Create(partial)) return false;
    std::vector<std::uint8_t> buffer(kCopyPiece);
    bool ok = true;
    for (std::uint64_t offset = 0; ok && offset < size;) {
        std::size_t read = 0;
        ok = input.ReadAt(offset, buffer.data(), buffer.size(), read) && read > 0 && output.Write(buffer.data(), read);
        offset += read;
    }
    std::uint64_t stamp = 0;
    if (ok && Platform::LastWriteTime(from, stamp)) output.SetModifiedTime(stamp);
    ok = output.Close() && ok;
    if (ok && Platform::RenamePath(partial, to, true)) return true;
    Platform::RemoveFile(partial);
    return false;
}

bool MoveFileInto(const std::wstring& from, const std::wstring& to, bool replaceExisting) {
    if (Platform::RenamePath(from, to, replaceExisting)) return true;
    if (!replaceExisting && Platform::PathExists(to)) return false;
    return CopyFileReplacing(from, to) && Platform::RemoveFile(from);
}

class FolderMerge {
public:
    FolderMerge(JobFrontEnd& frontEnd, const std::function<bool()>& shouldStop, CopyResult& result)
        : frontEnd_(frontEnd), shouldStop_(shouldStop), result_(result) {}

    void Merge(const std::wstring& from, const std::wstring& to, const std::wstring& shown) {
        std::vector<Platform::DirectoryEntry> entries;
        if (!Platform::ListDirectory(from, entries)) {
            Fail(shown.empty() ? from : shown, FailureReason::ReadFolder);
            return;
        }
        for (const Platform::DirectoryEntry& entry : entries) {
            if (result_.outcome != CopyResult::Outcome::Aborted && shouldStop_ && shouldStop_()) {
                result_.outcome = CopyResult::Outcome::Aborted;
            }
            if (result_.outcome == CopyResult::Outcome::Aborted) return;
            MergeOne(entry, Platform::JoinPath(from, entry.name), Platform::JoinPath(to, entry.name),
                     shown.empty() ? entry.name : shown + L"/" + entry.name);
        }
    }

private:
    void MergeOne(const Platform::DirectoryEntry& entry, const std::wstring& source, std::wstring target,
                  const std::wstring& shown) {
        if (!Platform::PathExists(target)) {
            if (entry.isDirectory) {
                // A whole new folder moves with one rename when it can; otherwise its contents are copied.
                if (Platform::RenamePath(source, target, false)) return;
                if (!Platform::MakeDirectory(target)) return Fail(shown, FailureReason::CreateFolder);
                return Merge(source, target, shown);
            }
            if (!MoveFileInto(source, target, false)) Fail(shown, FailureReason::MoveIntoDestination);
            return;
        }
        bool targetIsFolder = Platform::IsDirectory(target);
        if (entry.isDirectory && targetIsFolder) return Merge(source, target, shown);
        if (entry.isDirectory || targetIsFolder) {
            return Fail(shown, entry.isDirectory ? FailureReason::FileInTheWay : FailureReason::FolderInTheWay);
        }
        switch (ResolveConflict(frontEnd_, conflicts_, entry.name)) {
            case OverwriteDecision::Overwrite:
                break;
            case OverwriteDecision::Skip:
                result_.skipped.push_back(shown);
                return;
            case OverwriteDecision::Rename:
                target = MakeUniqueName(target);
                break;
            case OverwriteDecision::Cancel:
                result_.outcome = CopyResult::Outcome::Aborted;
                return;
        }
        if (!MoveFileInto(source, target, true)) Fail(shown, FailureReason::ReplaceExisting);
    }

    void Fail(const std::wstring& shown, FailureReason reason) {
        result_.failures.push_back({shown, reason, L"", DecodeResult::Ok});
        if (result_.outcome == CopyResult::Outcome::Done) result_.outcome = CopyResult::Outcome::Failed;
    }

    JobFrontEnd& frontEnd_;
    const std::function<bool()>& shouldStop_;
    CopyResult& result_;
    ConflictState conflicts_;
};

}  // namespace

CopyResult MergeFolderContents(const std::wstring& source, const std::wstring& destination, JobFrontEnd& frontEnd,
                               const std::function<bool()>& shouldStop) {
    CopyResult result;
    // Like the shell's copy, a destination that does not exist yet is created.
    if (!Platform::MakeDirectories(destination)) {
        result.outcome = CopyResult::Outcome::Failed;
        result.failures.push_back({destination, FailureReason::CreateFolder, L"", DecodeResult::Ok});
        return result;
    }
    FolderMerge(frontEnd, shouldStop, result).Merge(source, destination, L"");
    return result;
}

}  // namespace Arkova
