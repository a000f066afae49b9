// Moving a finished parallel extraction from its staging folder into the destination: a name new to the
// destination moves whole with one rename; a folder on both sides is merged; an existing file is asked about. Where
// a rename cannot cross file systems, the file is copied beside its target and renamed into place, so an existing
// file is never lost halfway.
#include <vector>

#include "archive/file_output.h"
#include "dialogs/unique_name.h"
#include "extract/front_end.h"
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
    FolderMerge(JobFrontEnd& frontEnd, CopyResult& result) : frontEnd_(frontEnd), result_(result) {}

    void Merge(const std::wstring& from, const std::wstring& to, const std::wstring& shown) {
        std::vector<Platform::DirectoryEntry> entries;
        if (!Platform::ListDirectory(from, entries)) {
            Fail(shown.empty() ? from : shown, L"cannot read the folder");
            return;
        }
        for (const Platform::DirectoryEntry& entry : entries) {
            if (result_.outcome != CopyResult::Outcome::Aborted && frontEnd_.CopyShouldStop()) {
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
                if (!Platform::MakeDirectory(target)) return Fail(shown, L"cannot create the folder");
                return Merge(source, target, shown);
            }
            if (!MoveFileInto(source, target, false)) Fail(shown, L"cannot move it into the destination folder");
            return;
        }
        bool targetIsFolder = Platform::IsDirectory(target);
        if (entry.isDirectory && targetIsFolder) return Merge(source, target, shown);
        if (entry.isDirectory || targetIsFolder) {
            return Fail(shown, entry.isDirectory ? L"a file of that name exists" : L"a folder of that name exists");
        }
        switch (frontEnd_.ResolveConflict(conflicts_, entry.name)) {
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
        if (!MoveFileInto(source, target, true)) Fail(shown, L"cannot replace the existing file");
    }

    void Fail(const std::wstring& shown, const std::wstring& reason) {
        result_.failures.push_back({shown, reason});
        if (result_.outcome == CopyResult::Outcome::Done) result_.outcome = CopyResult::Outcome::Failed;
    }

    JobFrontEnd& frontEnd_;
    CopyResult& result_;
    ConflictState conflicts_;
};

}  // namespace

CopyResult JobFrontEnd::CopyFolderContents(const std::wstring& source, const std::wstring& destination) {
    CopyResult result;
    // Like the shell's copy, a destination that does not exist yet is created.
    if (!Platform::MakeDirectories(destination)) {
        result.outcome = CopyResult::Outcome::Failed;
        result.failures.push_back({destination, L"cannot create the folder"});
        return result;
    }
    FolderMerge(*this, result).Merge(source, destination, L"");
    return result;
}

}  // namespace Arkova
