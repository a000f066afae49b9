#include "archive/native_decoder.h"

#include <algorithm>
#include <new>

#include "archive/block_codecs.h"
#include "archive/crc32.h"
#include "archive/ensure_directory.h"
#include "archive/entry_path.h"
#include "archive/file_output.h"
#include "archive/raw_inflate.h"
#include "platform/file_system.h"
#include "platform/text.h"

namespace Arkova {

void NativeArchiveDecoder::Close() {
    file_.Close();
    items_.clear();
    blocks_.clear();
    firstBlocks_.clear();
    ciphers_.clear();
    groups_.clear();
    solidPlaces_.clear();
    cachedGroup_ = SIZE_MAX;
    cachedData_.clear();
    lastError_.clear();
    missingVolume_.clear();
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

std::wstring NativeArchiveDecoder::MethodText(std::uint8_t method) const {
    switch (StorageOf(method)) {
        case Storage::Stored:
            return L"Store";
        case Storage::Deflate:
            return L"Deflate";
        case Storage::Bzip2:
        case Storage::AlzBzip2:
            return L"BZip2";
        case Storage::Lzma:
            return L"LZMA";
        case Storage::Unsupported:
            break;
    }
    return MethodName(method);
}

void NativeArchiveDecoder::AddEntry(ArchiveItem item, std::uint64_t dataOffset, std::uint64_t storedLength,
                                    std::uint8_t method) {
    std::uint64_t size = item.size;
    if (!item.isDirectory) item.method = MethodText(method);
    AddEntryWithoutData(std::move(item));
    blocks_.push_back(DataBlock{dataOffset, storedLength, size, method});
}

void NativeArchiveDecoder::AddEntryWithoutData(ArchiveItem item) {
    item.index = static_cast<std::uint32_t>(items_.size());
    items_.push_back(std::move(item));
    firstBlocks_.push_back(blocks_.size());
    ciphers_.emplace_back();
    solidPlaces_.emplace_back();
}

void NativeArchiveDecoder::StartSolidGroup() { groups_.emplace_back(); }

void NativeArchiveDecoder::AddSolidEntry(ArchiveItem item) {
    if (groups_.empty()) StartSolidGroup();
    SolidGroup& group = groups_.back();
    const std::uint64_t size = item.size;
    AddEntryWithoutData(std::move(item));
    solidPlaces_.back() = {groups_.size() - 1, group.entryBytes};
    group.entryBytes += size;
}

void NativeArchiveDecoder::AddSolidBlock(const DataBlock& block, std::uint32_t blockCrc) {
    if (groups_.empty()) StartSolidGroup();
    // The group's entries were all listed before its first block: they take its method.
    if (groups_.back().blocks.empty()) {
        for (std::size_t i = items_.size(); i-- > 0 && solidPlaces_[i].group == groups_.size() - 1;) {
            if (!items_[i].isDirectory) items_[i].method = MethodText(block.method);
        }
    }
    groups_.back().blocks.push_back(block);
    groups_.back().crcs.push_back(blockCrc);
}

DecodeResult NativeArchiveDecoder::ExtractSolid(std::uint32_t position, std::vector<std::uint8_t>& buffer) {
    const SolidPlace place = solidPlaces_[position];
    const SolidGroup& group = groups_[place.group];
    const std::uint64_t size = items_[position].size;
    std::vector<std::uint8_t> data;
    std::uint64_t blockStart = 0;
    for (std::size_t i = 0; i < group.blocks.size() && data.size() < size; ++i) {
        const DataBlock& block = group.blocks[i];
        const std::uint64_t blockEnd = blockStart + block.size;
        if (blockEnd > place.offset) {
            if (cachedGroup_ != place.group || cachedBlock_ != i) {
                cachedGroup_ = SIZE_MAX;
                DecodeResult result = ExtractBlock(block, nullptr, cachedData_);
                if (result != DecodeResult::Ok) return result;
                if (Crc32(cachedData_) != group.crcs[i]) {
                    lastError_ = L"a block of the solid stream does not match its CRC";
                    return DecodeResult::CrcMismatch;
                }
                cachedGroup_ = place.group;
                cachedBlock_ = i;
            }
            const std::uint64_t from = std::max(place.offset, blockStart) - blockStart;
            const std::uint64_t to = std::min(place.offset + size, blockEnd) - blockStart;
            data.insert(data.end(), cachedData_.begin() + static_cast<std::ptrdiff_t>(from),
                        cachedData_.begin() + static_cast<std::ptrdiff_t>(to));
        }
        blockStart = blockEnd;
    }
    if (data.size() != size) {
        lastError_ = L"the solid stream ends before this entry";
        return DecodeResult::DecompressFailed;
    }
    buffer = std::move(data);
    return DecodeResult::Ok;
}

void NativeArchiveDecoder::SetLastEntryCipher(EntryCipher cipher) {
    items_.back().isEncrypted = true;
    hasEncryptedItems_ = true;
    ciphers_.back() = std::move(cipher);
}

std::string NativeArchiveDecoder::PasswordBytes(const std::wstring& password) const {
    return Platform::WideToUtf8(password);
}

DecodeResult NativeArchiveDecoder::StartDecryption(std::uint32_t position, std::unique_ptr<EntryDecryptor>& decryptor) {
    if (password_.empty()) return DecodeResult::PasswordRequired;
    const EntryCipher& cipher = ciphers_[position];
    switch (MakeDecryptor(cipher, PasswordBytes(password_), decryptor)) {
        case DecryptorStatus::Ready:
            return DecodeResult::Ok;
        case DecryptorStatus::WrongPassword:
            return DecodeResult::WrongPassword;
        case DecryptorStatus::Unsupported:
            break;
    }
    lastError_ = L"encryption method " + std::to_wstring(cipher.method) + L" is not supported";
    return DecodeResult::UnsupportedFormat;
}

void NativeArchiveDecoder::AppendBlock(const DataBlock& block, std::uint32_t blockCrc) {
    ArchiveItem& item = items_.back();
    if (item.method.empty() && !item.isDirectory && (block.storedLength != 0 || block.size != 0))
        item.method = MethodText(block.method);
    item.crc = Crc32Combine(item.crc, blockCrc, block.size);
    item.size += block.size;
    item.packedSize += block.storedLength;
    blocks_.push_back(block);
}

bool NativeArchiveDecoder::ListIndependentEntries(std::vector<IndependentEntry>& entries, std::wstring& why) const {
    entries.clear();
    if (file_.VolumeCount() != 1) {
        why = L"the archive is split into volumes";
        return false;
    }
    if (hasEncryptedItems_) {
        why = L"the archive has encrypted entries";
        return false;
    }
    if (!groups_.empty()) {
        why = L"the archive is solid";
        return false;
    }
    entries.reserve(items_.size());
    for (std::size_t i = 0; i < items_.size(); ++i) {
        const ArchiveItem& item = items_[i];
        const std::size_t first = firstBlocks_[i];
        const std::size_t end = i + 1 < firstBlocks_.size() ? firstBlocks_[i + 1] : blocks_.size();
        IndependentEntry entry;
        entry.modifiedTimeUtc = FileSystemTime(item);
        if (item.isDirectory && first == end) {
            entries.push_back(entry);
            continue;
        }
        if (end - first != 1) {
            why = L"the data of '" + item.path + L"' is not one run";
            return false;
        }
        const DataBlock& block = blocks_[first];
        entry.storage = StorageOf(block.method);
        if (entry.storage != Storage::Stored && entry.storage != Storage::Deflate && entry.storage != Storage::Bzip2 &&
            entry.storage != Storage::AlzBzip2) {
            why = MethodName(block.method) + L" of '" + item.path + L"' is decoded entry by entry";
            return false;
        }
        entry.offset = block.offset;
        entry.storedLength = block.storedLength;
        entries.push_back(entry);
    }
    return true;
}

DecodeResult NativeArchiveDecoder::ExtractToMemory(std::uint32_t position, std::vector<std::uint8_t>& buffer) {
    if (position >= items_.size()) return DecodeResult::FileNotFound;
    const ArchiveItem& item = items_[position];
    lastError_.clear();
    std::unique_ptr<EntryDecryptor> decryptor;
    if (solidPlaces_[position].group != SIZE_MAX) {
        if (item.isEncrypted) {
            lastError_ = L"encrypted solid archives are not supported";
            return DecodeResult::UnsupportedFormat;
        }
        if (item.isDirectory) {
            buffer.clear();
            return DecodeResult::Ok;
        }
        return ExtractSolid(position, buffer);
    }
    if (item.isEncrypted) {
        DecodeResult started = StartDecryption(position, decryptor);
        if (started != DecodeResult::Ok) return started;
    }
    const std::size_t first = firstBlocks_[position];
    const std::size_t end = position + 1 < firstBlocks_.size() ? firstBlocks_[position + 1] : blocks_.size();
    if (first == end) {
        if (!item.isDirectory) return DecodeResult::UnsupportedFormat;
        buffer.clear();
        return DecodeResult::Ok;
    }
    // The authentication code covers the whole entry: nothing is handed out before it is checked.
    auto authentic = [&] {
        if (!decryptor || decryptor->Authentic()) return true;
        lastError_ = L"the authentication code does not match: the data was changed";
        return false;
    };
    if (end - first == 1) {
        std::vector<std::uint8_t> data;
        DecodeResult result = ExtractBlock(blocks_[first], decryptor.get(), data);
        if (result != DecodeResult::Ok) return result;
        if (!authentic()) return DecodeResult::CrcMismatch;
        buffer = std::move(data);
        return DecodeResult::Ok;
    }

    std::vector<std::uint8_t> whole;
    std::vector<std::uint8_t> part;
    for (std::size_t i = first; i < end; ++i) {
        DecodeResult result = ExtractBlock(blocks_[i], decryptor.get(), part);
        if (result != DecodeResult::Ok) return result;
        try {
            whole.insert(whole.end(), part.begin(), part.end());
        } catch (const std::bad_alloc&) {
            return DecodeResult::IoError;
        }
    }
    if (!authentic()) return DecodeResult::CrcMismatch;
    buffer = std::move(whole);
    return DecodeResult::Ok;
}

DecodeResult NativeArchiveDecoder::ExtractBlock(const DataBlock& block, EntryDecryptor* decryptor,
                                                std::vector<std::uint8_t>& buffer) {
    Storage storage = StorageOf(block.method);
    if (storage == Storage::Unsupported) {
        lastError_ = MethodName(block.method) + L" is not supported";
        return DecodeResult::UnsupportedFormat;
    }
    // A run of no bytes is empty whatever its method says; an empty DEFLATE input would not inflate.
    if (block.storedLength == 0 && block.size == 0) {
        buffer.clear();
        return DecodeResult::Ok;
    }

    // The stored length comes from the header: data that the file does not hold is a read failure, found before
    // anything is allocated for it.
    if (block.offset > fileSize_ || block.storedLength > fileSize_ - block.offset) {
        if (!missingVolume_.empty()) lastError_ = L"the volume " + missingVolume_ + L" is missing";
        return DecodeResult::IoError;
    }
    std::vector<std::uint8_t> stored;
    try {
        stored.resize(static_cast<std::size_t>(block.storedLength));
    } catch (const std::bad_alloc&) {
        return DecodeResult::IoError;
    }
    if (!file_.ReadExactAt(block.offset, stored.data(), stored.size())) return DecodeResult::IoError;
    if (decryptor != nullptr) decryptor->Decrypt(stored.data(), stored.size());

    switch (storage) {
        case Storage::Stored:
            if (stored.size() != block.size) return DecodeResult::DecompressFailed;
            buffer = std::move(stored);
            return DecodeResult::Ok;
        case Storage::Bzip2:
            return DecodeBzip2(stored.data(), stored.size(), block.size, buffer);
        case Storage::AlzBzip2:
            return DecodeAlzBzip2(stored.data(), stored.size(), block.size, buffer);
        case Storage::Lzma:
            return DecodeEggLzma(stored.data(), stored.size(), block.size, buffer);
        default:
            return InflateRaw(stored.data(), stored.size(), block.size, buffer);
    }
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
