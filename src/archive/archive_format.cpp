#include "archive/archive_format.h"

#include <cstring>
#include <cwctype>

#include "platform/file.h"

namespace Arkova {

namespace {

struct Signature {
    const char* bytes;
    std::size_t length;
    ArchiveFormat format;
};

// The rows differ in their first byte, so at most one matches.
const Signature kSignatures[] = {
    {"\x1F\x8B", 2, ArchiveFormat::GZip},         {"7z\xBC\xAF", 4, ArchiveFormat::SevenZip},
    {"ALZ\x01", 4, ArchiveFormat::Alz},            {"BZ", 2, ArchiveFormat::BZip2},
    {"EGGA", 4, ArchiveFormat::Egg},               {"MSCF", 4, ArchiveFormat::Cab},
    {"PK\x03\x04", 4, ArchiveFormat::Zip},         {"PK\x05\x06", 4, ArchiveFormat::Zip},
    {"\xFD" "7zXZ\x00", 6, ArchiveFormat::Xz},
};

struct Extension {
    const wchar_t* text;
    ArchiveFormat format;
};

const Extension kExtensions[] = {
    {L"alz", ArchiveFormat::Alz},   {L"egg", ArchiveFormat::Egg},     {L"zip", ArchiveFormat::Zip},
    {L"zipx", ArchiveFormat::Zip},  {L"jar", ArchiveFormat::Zip},     {L"apk", ArchiveFormat::Zip},
    {L"7z", ArchiveFormat::SevenZip}, {L"rar", ArchiveFormat::Rar},   {L"tar", ArchiveFormat::Tar},
    {L"gz", ArchiveFormat::GZip},   {L"gzip", ArchiveFormat::GZip},   {L"tgz", ArchiveFormat::GZip},
    {L"bz2", ArchiveFormat::BZip2}, {L"tbz2", ArchiveFormat::BZip2},  {L"tbz", ArchiveFormat::BZip2},
    {L"xz", ArchiveFormat::Xz},     {L"txz", ArchiveFormat::Xz},      {L"cab", ArchiveFormat::Cab},
    {L"iso", ArchiveFormat::Iso},   {L"wim", ArchiveFormat::Wim},     {L"swm", ArchiveFormat::Wim},
    {L"esd", ArchiveFormat::Wim},
};

}  // namespace

ArchiveFormat FormatFromSignature(const unsigned char* bytes, std::size_t length) {
    if (length < 4) return ArchiveFormat::Unrecognized;
    if (std::memcmp(bytes, "Rar!", 4) == 0) {
        return length > 6 && bytes[6] == 0x01 ? ArchiveFormat::Rar5 : ArchiveFormat::Rar;
    }
    for (const Signature& signature : kSignatures) {
        if (signature.length <= length && std::memcmp(bytes, signature.bytes, signature.length) == 0) {
            return signature.format;
        }
    }
    return ArchiveFormat::Unrecognized;
}

ArchiveFormat FormatFromExtension(const std::wstring& path) {
    std::size_t dot = path.rfind(L'.');
    if (dot == std::wstring::npos) return ArchiveFormat::Unrecognized;
    std::wstring extension = path.substr(dot + 1);
    for (wchar_t& c : extension) c = static_cast<wchar_t>(std::towlower(c));
    for (const Extension& entry : kExtensions) {
        if (extension == entry.text) return entry.format;
    }
    return ArchiveFormat::Unrecognized;
}

ArchiveFormat DetectArchiveFormat(const std::wstring& path) {
    Platform::InputFile file;
    if (file.Open(path)) {
        unsigned char head[16] = {};
        std::size_t got = 0;
        if (file.ReadAt(0, head, sizeof(head), got)) {
            ArchiveFormat format = FormatFromSignature(head, got);
            if (format != ArchiveFormat::Unrecognized) return format;
        }
    }
    return path.empty() ? ArchiveFormat::Unrecognized : FormatFromExtension(path);
}

}  // namespace Arkova
