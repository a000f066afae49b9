// Feeds arbitrary bytes to the ALZ reader as an archive file: listing, extracting every entry to memory, and
// turning every listed name into an output path must never crash, hang or allocate beyond what the data can make.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "archive/alz_decoder.h"
#include "archive/entry_path.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/text.h"

namespace {

const std::wstring& ScratchArchive() {
    static const std::wstring path = Arkova::Platform::JoinPath(
        Arkova::Platform::TempDirectory(), L"arkova-alz-fuzz-" + std::to_wstring(std::chrono::steady_clock::now().time_since_epoch().count()) + L".alz");
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    {
        Arkova::Platform::OutputFile file;
        if (!file.Create(ScratchArchive()) || !file.Write(data, size) || !file.Close()) return 0;
    }
    Arkova::AlzDecoder decoder;
    // Odd sizes decrypt, even ones meet the password checks with no password at all.
    if (size % 2 == 1) decoder.SetPassword(L"password12345!");
    if (decoder.Open(ScratchArchive()) != Arkova::DecodeResult::Ok) return 0;
    std::vector<std::uint8_t> buffer;
    for (std::uint32_t i = 0; i < decoder.ItemCount(); ++i) {
        decoder.ExtractToMemory(i, buffer);
        std::wstring relative;
        Arkova::MakeSafeRelativePath(decoder.Items()[i].path, relative);
    }
    return 0;
}
