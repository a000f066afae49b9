// Which reader an archive needs: its first bytes decide, then its extension.
#pragma once

#include <cstdint>
#include <string>

namespace Arkova {

enum class ArchiveFormat : std::uint32_t {
    Unrecognized = 0,
    Zip = 1,
    SevenZip = 2,
    Rar = 3,
    Rar5 = 4,
    Tar = 5,
    GZip = 6,
    BZip2 = 7,
    Xz = 8,
    Alz = 9,
    Egg = 10,
    Cab = 11,
    Iso = 12,
    Wim = 13,
};

ArchiveFormat DetectArchiveFormat(const std::wstring& path);
// The format of the first bytes of a file (at least 4 are needed), Unrecognized when none matches.
ArchiveFormat FormatFromSignature(const unsigned char* bytes, std::size_t length);
// The format named by the text after the last "." of the path, compared in lower case.
ArchiveFormat FormatFromExtension(const std::wstring& path);

}  // namespace Arkova
