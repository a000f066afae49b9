#include "cli/open_archive.h"

#include <cwctype>

#include "archive/alz_decoder.h"
#include "platform/file.h"

namespace Arkova::Cli {

namespace {

bool HasAlzSignature(const std::wstring& path) {
    Platform::InputFile file;
    unsigned char signature[4] = {};
    if (!file.Open(path) || !file.ReadExactAt(0, signature, sizeof(signature))) return false;
    // An archive header, or an entry header at the very start.
    return (signature[0] == 'A' || signature[0] == 'B') && signature[1] == 'L' && signature[2] == 'Z' &&
           signature[3] == 0x01;
}

bool HasExtension(const std::wstring& path, const std::wstring& extension) {
    if (path.size() <= extension.size()) return false;
    std::wstring tail = path.substr(path.size() - extension.size());
    for (wchar_t& c : tail) c = static_cast<wchar_t>(std::towlower(c));
    return tail == extension;
}

}  // namespace

std::unique_ptr<IArchiveDecoder> OpenArchiveDecoder(const std::wstring& path, DecodeResult& result) {
    Platform::InputFile probe;
    if (!probe.Open(path)) {
        result = DecodeResult::FileNotFound;
        return nullptr;
    }
    probe.Close();
    if (!HasAlzSignature(path) && !HasExtension(path, L".alz")) {
        result = DecodeResult::UnsupportedFormat;
        return nullptr;
    }
    auto decoder = std::make_unique<AlzDecoder>();
    result = decoder->Open(path);
    if (result != DecodeResult::Ok) return nullptr;
    return decoder;
}

}  // namespace Arkova::Cli
