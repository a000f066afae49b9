#include "extract/parallel_choice.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "fastzip/central_directory.h"
#include "fastzip/little_endian.h"
#include "fastzip/parallel_zip_extractor.h"
#include "platform/file.h"

namespace Arkova {

namespace {

constexpr std::size_t kLocalHeaderSize = 30;

// A name the engine refuses fails that entry alone, as entry by entry.
bool EngineReadsEveryEntry(const std::vector<FastZip::ZipEntry>& entries) {
    return std::all_of(entries.begin(), entries.end(), [](const FastZip::ZipEntry& entry) {
        return (entry.flags & FastZip::kFlagEncrypted) == 0 &&
               (entry.isDirectory || entry.method == FastZip::kMethodStored || entry.method == FastZip::kMethodDeflate);
    });
}

std::shared_ptr<const FastZip::ListedDirectory> DirectoryReadWhileOpening(const IArchiveDecoder* opened) {
    return opened != nullptr ? opened->ZipDirectory() : nullptr;
}

bool StartsWithPlainLocalHeader(const std::wstring& archivePath) {
    Platform::InputFile file;
    std::uint8_t header[kLocalHeaderSize] = {};
    if (!file.Open(archivePath) || !file.ReadExactAt(0, header, sizeof(header))) return false;
    return FastZip::HasSignature(header, 0x03, 0x04) && (header[6] & 0x01) == 0;
}

}  // namespace

bool EngineCanExtractEntries(const std::wstring& archivePath, const IArchiveDecoder* opened) {
    Platform::InputFile file;
    std::uint8_t signature[2] = {};
    if (!file.Open(archivePath) || !file.ReadExactAt(0, signature, sizeof(signature))) return false;
    if (signature[0] != 0x50 || signature[1] != 0x4B) return false;
    file.Close();
    if (std::shared_ptr<const FastZip::ListedDirectory> read = DirectoryReadWhileOpening(opened)) {
        return EngineReadsEveryEntry(read->entries);
    }
    std::optional<FastZip::ListedDirectory> listed = FastZip::ListDirectory(archivePath, -1);
    return listed && EngineReadsEveryEntry(listed->entries);
}

std::unique_ptr<FastZip::EntrySource> EngineSourceForArchive(ArchiveFormat format, const std::wstring& archivePath,
                                                             std::int32_t codePage, const IArchiveDecoder* opened) {
    if (format == ArchiveFormat::Zip) {
        // The directory read for the check is the one the first run lists.
        if (!StartsWithPlainLocalHeader(archivePath)) return nullptr;
        std::shared_ptr<const FastZip::ListedDirectory> read = DirectoryReadWhileOpening(opened);
        std::optional<FastZip::ListedDirectory> listed =
            read && read->nameCodePage == codePage ? *read : FastZip::ListDirectory(archivePath, codePage);
        if (!listed || !EngineReadsEveryEntry(listed->entries)) return nullptr;
        return std::make_unique<FastZip::ZipEntrySource>(std::move(*listed));
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
