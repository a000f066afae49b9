// Feeds arbitrary bytes to the ZIP directory reader as an archive file, then to the local-header parser at every
// listed offset and to name decoding: none of them may crash, hang, read out of bounds or allocate more than the
// data can account for.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

#include "archive/entry_path.h"
#include "fastzip/central_directory.h"
#include "fastzip/local_header.h"
#include "fastzip/zip_name.h"
#include "platform/file.h"
#include "platform/file_system.h"

namespace {

const std::wstring& ScratchArchive() {
    static const std::wstring path = Arkova::Platform::JoinPath(
        Arkova::Platform::TempDirectory(),
        L"arkova-zip-fuzz-" + std::to_wstring(std::chrono::steady_clock::now().time_since_epoch().count()) + L".zip");
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace Arkova::FastZip;
    // Name decoding on its own, with the flag and hint taken from the first byte.
    if (size > 0) {
        DecodeZipName(data + 1, size - 1, (data[0] & 1) ? kFlagUtf8Names : 0, (data[0] & 2) != 0);
        IsMacMetadataName(data, size);
    }
    {
        Arkova::Platform::OutputFile file;
        if (!file.Create(ScratchArchive()) || !file.Write(data, size) || !file.Close()) return 0;
    }
    ZipArchiveIndex index;
    ErrorSlot errors;
    if (!ReadCentralDirectory(index, errors, ScratchArchive())) return 0;
    for (ZipEntry& entry : index.entries) {
        std::uint8_t header[kLocalHeaderSize];
        if (index.reader.ReadExactAt(entry.localHeaderOffset, header, sizeof(header))) ApplyLocalHeader(header, entry);
        std::wstring relative;
        Arkova::MakeSafeRelativePath(entry.name, relative);
    }
    return 0;
}
