#include "cli/commands.h"
#include "cli/formatting.h"
#include "cli/open_archive.h"

namespace Arkova::Cli {

namespace {

const wchar_t kRule[] = L"------------------- ----- ------------ ------------ -------- - ------------------------\n";

}  // namespace

int RunList(const Options& options, Console& console) {
    ArchiveContext context;
    if (!OpenForCommand(options, ArchiveUse::ListOnly, context, console)) return kExitUsageOrOpen;
    console.Out(L"Archive: " + options.archive + L"\n\n");
    console.Out(L"   Date      Time    Attr         Size   Compressed CRC      E Name\n");
    console.Out(kRule);
    std::uint64_t totalSize = 0;
    std::uint64_t totalPacked = 0;
    std::uint64_t files = 0;
    std::uint64_t folders = 0;
    std::uint64_t encrypted = 0;
    for (const ArchiveItem& item : context.Items()) {
        std::wstring crc = item.isDirectory ? std::wstring(8, L' ') : HexCrc(item.crc);
        console.Out(FormatFileTime(item.modifiedTime) + L" " + FormatAttributes(item.attributes) + L" " +
                    PadLeft(std::to_wstring(item.size), 12) + L" " + PadLeft(std::to_wstring(item.packedSize), 12) +
                    L" " + crc + L" " + (item.isEncrypted ? L"*" : L" ") + L" " + item.path + L"\n");
        totalSize += item.size;
        totalPacked += item.packedSize;
        ++(item.isDirectory ? folders : files);
        if (item.isEncrypted) ++encrypted;
    }
    console.Out(kRule);
    std::wstring summary = std::wstring(26, L' ') + PadLeft(std::to_wstring(totalSize), 12) + L" " +
                           PadLeft(std::to_wstring(totalPacked), 12) + L"            " + std::to_wstring(files) +
                           L" files, " + std::to_wstring(folders) + L" folders";
    if (encrypted > 0) summary += L", " + std::to_wstring(encrypted) + L" encrypted (*)";
    console.Out(summary + L"\n");
    return kExitOk;
}

}  // namespace Arkova::Cli
