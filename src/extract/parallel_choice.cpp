#include "extract/parallel_choice.h"

#include <algorithm>
#include <cstdint>

#include "fastzip/central_directory.h"
#include "fastzip/little_endian.h"
#include "platform/file.h"

namespace Arkova {

namespace {

constexpr std::size_t kLocalHeaderSize = 30;

bool DirectoryIsEngineReadable(const std::wstring& archivePath) {
    FastZip::ZipArchiveIndex index;
    FastZip::ErrorSlot errors;
    if (!FastZip::ReadCentralDirectory(index, errors, archivePath)) return false;
    // A name the engine refuses fails that entry alone, as entry by entry.
    return std::all_of(index.entries.begin(), index.entries.end(), [](const FastZip::ZipEntry& entry) {
        return (entry.flags & FastZip::kFlagEncrypted) == 0 &&
               (entry.isDirectory || entry.method == FastZip::kMethodStored || entry.method == FastZip::kMethodDeflate);
    });
}

}  // namespace

bool EngineCanExtractWholeArchive(const std::wstring& archivePath) {
    Platform::InputFile file;
    std::uint8_t header[kLocalHeaderSize] = {};
    if (!file.Open(archivePath) || !file.ReadExactAt(0, header, sizeof(header))) return false;
    if (!FastZip::HasSignature(header, 0x03, 0x04) || (header[6] & 0x01) != 0) return false;
    file.Close();
    return DirectoryIsEngineReadable(archivePath);
}

bool EngineCanExtractEntries(const std::wstring& archivePath) {
    Platform::InputFile file;
    std::uint8_t signature[2] = {};
    if (!file.Open(archivePath) || !file.ReadExactAt(0, signature, sizeof(signature))) return false;
    if (signature[0] != 0x50 || signature[1] != 0x4B) return false;
    file.Close();
    return DirectoryIsEngineReadable(archivePath);
}

}  // namespace Arkova
