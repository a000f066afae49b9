#include "archive/native_decoder.h"

#include <new>

#include "archive/crc32.h"
#include "archive/ensure_directory.h"
#include "archive/entry_path.h"
#include "archive/file_output.h"
#include "archive/raw_inflate.h"
#include "platform/file_system.h"

namespace Arkova {

void NativeArchiveDecoder::Close() {
    file_.Close();
    items_.clear();
    dataOffsets_.clear();
    storedLengths_.clear();
    methods_.clear();
    fileSize_ = 0;
    scanPosition_ = 0;
    archivePath_.clear();
    hasEncryptedItems_ = false;
}

DecodeResult NativeArchiveDecoder::OpenArchiveFile(const std::wstring& path) {
    Close();
    archivePath_ = path;
    if (!file_.Open(path)) {
        Close();
        return DecodeResult::FileNotFound;
    }
    if (!file_.Size(fileSize_)) {
        Close();
        return DecodeResult::IoError;
    }
    scanPosition_ = 0;
    return DecodeResult::Ok;
}

void NativeArchiveDecoder::AddEntry(ArchiveItem item, std::uint64_t dataOffset, std::uint64_t storedLength,
                                    std::uint8_t method) {
    item.index = static_cast<std::uint32_t>(items_.size());
    items_.push_back(std::move(item));
    dataOffsets_.push_back(dataOffset);
    storedLengths_.push_back(storedLength);
    methods_.push_back(method);
}

DecodeResult NativeArchiveDecoder::ExtractToMemory(std::uint32_t position, std::vector<std::uint8_t>& buffer) {
    if (position >= items_.size()) return DecodeResult::FileNotFound;
    const ArchiveItem& item = items_[position];
    if (item.isEncrypted) return password_.empty() ? DecodeResult::PasswordRequired : DecodeResult::UnsupportedFormat;
    Storage storage = StorageOf(methods_[position]);
    if (storage == Storage::Unsupported) return DecodeResult::UnsupportedFormat;

    // The stored length comes from the header: data that the file does not hold is a read failure, found before
    // anything is allocated for it.
    std::uint64_t offset = dataOffsets_[position];
    std::uint64_t length = storedLengths_[position];
    if (offset > fileSize_ || length > fileSize_ - offset) return DecodeResult::IoError;
    std::vector<std::uint8_t> stored;
    try {
        stored.resize(static_cast<std::size_t>(length));
    } catch (const std::bad_alloc&) {
        return DecodeResult::IoError;
    }
    if (!file_.ReadExactAt(offset, stored.data(), stored.size())) return DecodeResult::IoError;

    if (storage == Storage::Stored) {
        buffer = std::move(stored);
        return DecodeResult::Ok;
    }
    return InflateRaw(stored.data(), stored.size(), item.size, buffer);
}

DecodeResult NativeArchiveDecoder::ExtractToFile(std::uint32_t position, const std::wstring& target) {
    std::vector<std::uint8_t> data;
    DecodeResult result = ExtractToMemory(position, data);
    if (result != DecodeResult::Ok) return result;
    const ArchiveItem& item = items_[position];
    if (item.crc != 0 && Crc32(data) != item.crc) return DecodeResult::CrcMismatch;
    std::size_t separator = Platform::LastSeparator(target);
    if (separator != std::wstring::npos) EnsureDirectory(target.substr(0, separator));
    return WriteFileReplacing(target, data, FileSystemTime(item)) ? DecodeResult::Ok : DecodeResult::IoError;
}

DecodeResult NativeArchiveDecoder::ExtractAll(const std::wstring& folder) {
    bool refusedPath = false;
    for (std::uint32_t i = 0; i < items_.size(); ++i) {
        const ArchiveItem& item = items_[i];
        std::wstring target;
        if (!SafeOutputPath(folder, item.path, target)) {
            refusedPath = true;
        } else if (item.isDirectory) {
            EnsureDirectory(target);
        } else {
            DecodeResult result = ExtractToFile(i, target);
            if (result != DecodeResult::Ok) return result;
        }
        if (callback_ && !callback_(item.path, i + 1, items_.size())) return DecodeResult::Cancelled;
    }
    return refusedPath ? DecodeResult::UnsafePath : DecodeResult::Ok;
}

}  // namespace Arkova
