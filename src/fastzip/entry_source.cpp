#include "fastzip/entry_source.h"

#include "archive/alz_decoder.h"
#include "archive/egg_decoder.h"
#include "fastzip/central_directory.h"

namespace Arkova::FastZip {

bool ZipEntrySource::List(ZipArchiveIndex& index, ErrorSlot& errors, const std::wstring& archivePath) {
    if (listed_.entries.empty() || listed_.nameCodePage != index.nameCodePage) {
        return ReadCentralDirectory(index, errors, archivePath);
    }
    index.reader.Close();
    if (!index.reader.Open(archivePath)) {
        RecordError(errors, L"Failed to open ZIP file");
        return false;
    }
    std::vector<ZipEntry> listed = std::move(listed_.entries);
    listed_.entries.clear();
    // A job may wait for the user between the check and the run: an archive replaced meanwhile is read again.
    if (index.reader.FileSize() != listed_.fileSize) return ReadCentralDirectory(index, errors, archivePath);
    index.entries = std::move(listed);
    std::uint64_t total = 0;
    for (const ZipEntry& entry : index.entries) total += entry.uncompressedSize;
    index.totalUncompressed = total;
    index.announcedEntries = listed_.announcedEntries;
    index.directoryComplete = listed_.directoryComplete;
    return true;
}

namespace {

std::uint16_t EngineMethod(NativeArchiveDecoder::Storage storage) {
    switch (storage) {
        case NativeArchiveDecoder::Storage::Deflate:
            return kMethodDeflate;
        case NativeArchiveDecoder::Storage::Bzip2:
            return kMethodBzip2;
        case NativeArchiveDecoder::Storage::AlzBzip2:
            return kMethodAlzBzip2;
        default:
            return kMethodStored;
    }
}

}  // namespace

bool NativeEntrySource::ListEntries(Format format, const std::wstring& archivePath, std::vector<ZipEntry>& entries,
                                    std::wstring& why) {
    std::unique_ptr<NativeArchiveDecoder> decoder;
    if (format == Format::Alz) {
        decoder = std::make_unique<AlzDecoder>();
    } else {
        decoder = std::make_unique<EggDecoder>();
    }
    if (decoder->Open(archivePath) != DecodeResult::Ok) {
        why = L"Failed to open the archive";
        return false;
    }
    std::vector<NativeArchiveDecoder::IndependentEntry> data;
    if (!decoder->ListIndependentEntries(data, why)) return false;
    const std::vector<ArchiveItem>& items = decoder->Items();
    entries.clear();
    entries.reserve(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        const ArchiveItem& item = items[i];
        ZipEntry entry;
        entry.name = item.path;
        entry.dataOffset = data[i].offset;
        entry.compressedSize = data[i].storedLength;
        entry.uncompressedSize = item.isDirectory ? 0 : item.size;
        // A run of no bytes is an empty file whatever its method says.
        bool empty = entry.compressedSize == 0 && entry.uncompressedSize == 0;
        entry.method = empty ? kMethodStored : EngineMethod(data[i].storage);
        entry.crc32 = item.crc;
        entry.crcKnown = item.crc != 0;
        entry.attributes = item.attributes;
        entry.modifiedTime = data[i].modifiedTimeUtc;
        entry.isDirectory = item.isDirectory;
        entries.push_back(std::move(entry));
    }
    return true;
}

bool NativeEntrySource::List(ZipArchiveIndex& index, ErrorSlot& errors, const std::wstring& archivePath) {
    index.reader.Close();
    index.directoryComplete = true;
    std::wstring why;
    if (!listed_.empty()) {
        index.entries = std::move(listed_);
        listed_.clear();
    } else if (!ListEntries(format_, archivePath, index.entries, why)) {
        RecordError(errors, why);
        return false;
    }
    if (!index.reader.Open(archivePath)) {
        RecordError(errors, L"Failed to open the archive");
        return false;
    }
    std::uint64_t total = 0;
    for (const ZipEntry& entry : index.entries) total += entry.uncompressedSize;
    index.totalUncompressed = total;
    index.announcedEntries = index.entries.size();
    return !index.entries.empty();
}

}  // namespace Arkova::FastZip
