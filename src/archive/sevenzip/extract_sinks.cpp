#include "archive/sevenzip/extract_sinks.h"

#include <algorithm>

#include "archive/entry_path.h"
#include "archive/file_output.h"
#include "platform/file_system.h"

namespace Arkova::SevenZip {

ISequentialOutStream* MemorySink::Open(std::uint32_t index) {
    return index == index_ ? stream_.AddedReference() : nullptr;
}

void MemorySink::Finish(std::uint32_t index, std::int32_t result) {
    if (index != index_) return;
    delivered_ = true;
    result_ = result;
}

ISequentialOutStream* TestSink::OpenForTest(std::uint32_t index) {
    crc_.Reset();
    if (index >= outcomes_.size()) return nullptr;
    if (starting_ && !starting_(index)) throw Error(ErrorKind::Cancelled, "the test was cancelled");
    if (!needsCrc_[index]) return nullptr;
    crc_ = ComPtr<CrcOutStream>(new CrcOutStream());
    return crc_.AddedReference();
}

void TestSink::Finish(std::uint32_t index, std::int32_t result) {
    if (index >= outcomes_.size()) return;
    Outcome& outcome = outcomes_[index];
    outcome.delivered = true;
    outcome.result = result;
    if (crc_) {
        outcome.crcComputed = true;
        outcome.crc = crc_->Crc();
    }
    crc_.Reset();
}

ISequentialOutStream* FolderSink::Open(std::uint32_t index) {
    Abandon();
    if (index >= entries_.size()) {
        Fail(index, kResultOk, ErrorKind::Internal);
        return nullptr;
    }
    const FolderEntry& entry = entries_[index];
    std::wstring target;
    if (!SafeOutputPath(folder_, entry.name, target)) {
        Fail(index, kResultOk, ErrorKind::UnsafePath);
        return nullptr;
    }
    if (entry.isDirectory) {
        if (Platform::MakeDirectories(target)) {
            folders_.emplace_back(target, entry.modifiedTime);
        } else {
            Fail(index, kResultOk, ErrorKind::WriteFailed);
        }
        return nullptr;
    }
    std::size_t separator = Platform::LastSeparator(target);
    if ((separator != std::wstring::npos && !Platform::MakeDirectories(target.substr(0, separator))) ||
        Platform::IsDirectory(target)) {
        Fail(index, kResultOk, ErrorKind::WriteFailed);
        return nullptr;
    }
    ComPtr<FileOutStream> file(new FileOutStream());
    std::wstring partial = PartialFileName(target);
    if (!file->Create(partial)) {
        Fail(index, kResultOk, ErrorKind::WriteFailed);
        return nullptr;
    }
    file_ = std::move(file);
    fileIndex_ = index;
    target_ = std::move(target);
    partial_ = std::move(partial);
    return file_.AddedReference();
}

void FolderSink::Finish(std::uint32_t index, std::int32_t result) {
    if (!file_ || index != fileIndex_) {
        if (result != kResultOk) Fail(index, result, ErrorKind::DataError);
        return;
    }
    bool written = file_->Finish(index < entries_.size() ? entries_[index].modifiedTime : 0);
    file_.Reset();
    if (result == kResultOk && written && Platform::RenamePath(partial_, target_, true)) {
        partial_.clear();
        return;
    }
    Platform::RemoveFile(partial_);
    partial_.clear();
    Fail(index, result, ErrorKind::WriteFailed);
}

void FolderSink::Abandon() {
    if (!file_) return;
    file_->Finish(0);
    file_.Reset();
    Platform::RemoveFile(partial_);
    partial_.clear();
}

void FolderSink::Complete() {
    Abandon();
    // Deepest folders first, so that setting a child's time does not disturb its parent's again.
    std::sort(folders_.begin(), folders_.end(),
              [](const auto& a, const auto& b) { return a.first.size() > b.first.size(); });
    for (const auto& [path, time] : folders_) {
        if (time != 0) Platform::SetLastWriteTime(path, time);
    }
}

}  // namespace Arkova::SevenZip
