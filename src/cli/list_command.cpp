#include <algorithm>

#include "cli/commands.h"
#include "cli/console_front_end.h"
#include "cli/formatting.h"
#include "cli/open_archive.h"
#include "dialogs/test_report.h"

namespace Arkova::Cli {

namespace {

// The Method and Host columns appear only when some entry names a method or a host system (the 7-Zip library's
// formats do; the ALZ and EGG readers do not), and are as wide as their longest value.
struct OptionalColumns {
    std::size_t methodWidth = 0;
    std::size_t hostWidth = 0;

    explicit OptionalColumns(const std::vector<ArchiveItem>& items) {
        for (const ArchiveItem& item : items) {
            methodWidth = std::max(methodWidth, item.method.size());
            hostWidth = std::max(hostWidth, item.hostOs.size());
        }
        if (methodWidth > 0) methodWidth = std::max<std::size_t>(methodWidth, 6);
        if (hostWidth > 0) hostWidth = std::max<std::size_t>(hostWidth, 4);
    }

    std::wstring Cells(const std::wstring& method, const std::wstring& host) const {
        std::wstring text;
        if (methodWidth > 0) text += method + std::wstring(methodWidth - method.size(), L' ') + L" ";
        if (hostWidth > 0) text += host + std::wstring(hostWidth - host.size(), L' ') + L" ";
        return text;
    }

    std::wstring Rule() const {
        std::wstring text;
        if (methodWidth > 0) text += std::wstring(methodWidth, L'-') + L" ";
        if (hostWidth > 0) text += std::wstring(hostWidth, L'-') + L" ";
        return text;
    }
};

// Comments are the archive's text, printed to a terminal: line breaks and tabs stay, any other control character
// (an escape sequence would drive the terminal) shows as '?'. Trailing blank lines are dropped.
std::wstring PrintableComment(const std::wstring& comment) {
    std::wstring text;
    text.reserve(comment.size());
    for (std::size_t i = 0; i < comment.size(); ++i) {
        wchar_t c = comment[i];
        if (c == L'\r') {
            if (i + 1 < comment.size() && comment[i + 1] == L'\n') continue;
            c = L'\n';
        }
        const bool control = (c < 0x20 && c != L'\n' && c != L'\t') || (c >= 0x7F && c < 0xA0);
        text += control ? L'?' : c;
    }
    while (!text.empty() && (text.back() == L'\n' || text.back() == L' ' || text.back() == L'\t')) text.pop_back();
    return text;
}

}  // namespace

int RunList(const Options& options, Console& console) {
    ConsoleFrontEnd frontEnd(console, options);
    ArchiveSession session;
    if (!OpenForCommand(options, session, frontEnd, console)) return kExitUsageOrOpen;
    const std::vector<ArchiveItem>& items = session.context.Items();
    const OptionalColumns columns(items);
    const std::wstring rule = L"------------------- ----- ------------ ------------ -------- - " + columns.Rule() +
                              L"------------------------\n";

    console.Out(L"Archive: " + options.archive + L"\n\n");
    console.Out(L"   Date      Time    Attr         Size   Compressed CRC      E " + columns.Cells(L"Method", L"Host") +
                L"Name\n");
    console.Out(rule);
    std::uint64_t totalSize = 0;
    std::uint64_t totalPacked = 0;
    std::uint64_t files = 0;
    std::uint64_t folders = 0;
    std::uint64_t encrypted = 0;
    BatchedOutput rows(console);
    for (const ArchiveItem& item : items) {
        std::wstring crc = item.isDirectory ? std::wstring(8, L' ') : CrcText(item.crc);
        rows.Add(FormatFileTime(item.modifiedTime) + L" " + FormatAttributes(item.attributes) + L" " +
                 PadLeft(std::to_wstring(item.size), 12) + L" " + PadLeft(std::to_wstring(item.packedSize), 12) + L" " +
                 crc + L" " + (item.isEncrypted ? L"*" : L" ") + L" " + columns.Cells(item.method, item.hostOs) +
                 item.path + L"\n");
        if (!item.comment.empty())
            rows.Add(std::wstring(20, L' ') + L"Comment: " + PrintableComment(item.comment) + L"\n");
        totalSize += item.size;
        totalPacked += item.packedSize;
        ++(item.isDirectory ? folders : files);
        if (item.isEncrypted) ++encrypted;
    }
    rows.Flush();
    console.Out(rule);
    std::wstring summary = std::wstring(26, L' ') + PadLeft(std::to_wstring(totalSize), 12) + L" " +
                           PadLeft(std::to_wstring(totalPacked), 12) + L"            " + std::to_wstring(files) +
                           L" files, " + std::to_wstring(folders) + L" folders";
    if (encrypted > 0) summary += L", " + std::to_wstring(encrypted) + L" encrypted (*)";
    console.Out(summary + L"\n");
    const std::wstring comment = PrintableComment(session.context.Decoder()->ArchiveComment());
    if (!comment.empty()) console.Out(L"\nComment:\n" + comment + L"\n");
    return kExitOk;
}

}  // namespace Arkova::Cli
