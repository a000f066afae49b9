#include "extract/parallel_choice.h"

#include <algorithm>
#include <cstdint>

#include "fastzip/central_directory.h"
#include "fastzip/little_endian.h"
#include "fastzip/parallel_zip_extractor.h"
#include "platform/file.h"

namespace Arkova {

namespace {

constexpr std::size_t kLocalHeaderSize = 30;

// Reads the directory into `index` (names in `codePage`); true when the engine can extract every entry of it.
bool ReadEngineReadableDirectory(const std::wstring& archivePath, std::int32_t codePage,
                                 FastZip::ZipArchiveIndex& index) {
    FastZip::ErrorSlot errors;
    if (!FastZip::ReadCentralDirectory(index, errors, archivePath, codePage)) return false;
    // A name the engine refuses fails that entry alone, as entry by entry.
    return std::all_of(index.entries.begin(), index.entries.end(), [](const FastZip::ZipEntry& entry) {
        return (entry.flags & FastZip::kFlagEncrypted) == 0 &&
               (entry.isDirectory || entry.method == FastZip::kMethodStored || entry.method == FastZip::kMethodDeflate);
    });
}

bool StartsWithPlainLocalHeader(const std::wstring& archivePath) {
    Platform::InputFile file;
    std::uint8_t header[kLocalHeaderSize] = {};
    if (!file.Open(archivePath) || !file.ReadExactAt(0, header, sizeof(header))) return false;
    return FastZip::HasSignature(header, 0x03, 0x04) && (header[6] & 0x01) == 0;
}

}  // namespace

bool EngineCanExtractEntries(const std::wstring& archivePath) {
    Platform::InputFile file;
    std::uint8_t signature[2] = {};
    if (!file.Open(archivePath) || !file.ReadExactAt(0, signature, sizeof(signature))) return false;
    if (signature[0] != 0x50 || signature[1] != 0x4B) return false;
    file.Close();
    FastZip::ZipArchiveIndex index;
    return ReadEngineReadableDirectory(archivePath, -1, index);
}

std::unique_ptr<FastZip::EntrySource> EngineSourceForArchive(ArchiveFormat format, const std::wstring& archivePath,
                                                             std::int32_t codePage) {
    if (format == ArchiveFormat::Zip) {
        // The directory read for the check is the one the first run lists.
        FastZip::ZipArchiveIndex index;
        if (!StartsWithPlainLocalHeader(archivePath) || !ReadEngineReadableDirectory(archivePath, codePage, index)) {
            return nullptr;
        }
        return std::make_unique<FastZip::ZipEntrySource>(index);
    }
    if (format != ArchiveFormat::Alz && format != ArchiveFormat::Egg) return nullptr;
    auto native = format == ArchiveFormat::Alz ? FastZip::NativeEntrySource::Format::Alz
                                               : FastZip::NativeEntrySource::Format::Egg;
    std::vector<FastZip::ZipEntry> entries;
    std::wstring why;
    if (!FastZip::NativeEntrySource::ListEntries(native, archivePath, entries, why)) return nullptr;
    // ALZ's bzip2 is decoded whole, so only entries that fit a buffer can take that way.
    for (const FastZip::ZipEntry& entry : entries) {
        if (entry.method == FastZip::kMethodAlzBzip2 &&
            std::max(entry.compressedSize, entry.uncompressedSize) > FastZip::ParallelZipExtractor::kBufferSize) {
            return nullptr;
        }
    }
    return std::make_unique<FastZip::NativeEntrySource>(native, std::move(entries));
}

}  // namespace Arkova
