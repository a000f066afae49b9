// Feeds arbitrary bytes to the RAR path as an archive file: our RAR 4 name scan, then listing through the UnRAR
// library, testing every entry in one pass, extracting the small ones to memory out of order (new passes), and
// turning every listed name into an output path must never crash, hang or hold more than the entries' sizes.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

#include "archive/entry_path.h"
#include "archive/rar/rar4_names.h"
#include "archive/rar/rar_decoder.h"
#include "platform/file.h"
#include "platform/file_system.h"

namespace {

constexpr std::uint64_t kLargestToMemory = 1 << 20;

const std::wstring& ScratchArchive() {
    static const std::wstring path = Arkova::Platform::JoinPath(
        Arkova::Platform::TempDirectory(),
        L"arkova-rar-fuzz-" + std::to_wstring(std::chrono::steady_clock::now().time_since_epoch().count()) + L".rar");
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    {
        Arkova::Platform::OutputFile file;
        if (!file.Create(ScratchArchive()) || !file.Write(data, size) || !file.Close()) return 0;
    }
    Arkova::Rar::ReadRar4Names(ScratchArchive());
    Arkova::RarDecoder decoder;
    decoder.SetPassword(L"Secret");
    if (decoder.Open(ScratchArchive()) != Arkova::DecodeResult::Ok) return 0;
    std::vector<std::uint32_t> positions;
    for (std::uint32_t i = 0; i < decoder.ItemCount(); ++i) positions.push_back(i);
    std::vector<Arkova::ItemTestResult> results;
    decoder.TestItems(positions, {}, results);
    std::vector<std::uint8_t> buffer;
    for (std::uint32_t i = static_cast<std::uint32_t>(decoder.ItemCount()); i-- > 0;) {
        if (decoder.Items()[i].size <= kLargestToMemory) decoder.ExtractToMemory(i, buffer);
        std::wstring relative;
        Arkova::MakeSafeRelativePath(decoder.Items()[i].path, relative);
    }
    return 0;
}
