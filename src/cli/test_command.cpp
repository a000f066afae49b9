#include <vector>

#include "archive/crc32.h"
#include "cli/commands.h"
#include "cli/formatting.h"
#include "cli/open_failure.h"
#include "cli/progress_line.h"

namespace Arkova::Cli {

int RunTest(const Options& options, Console& console) {
    auto decoder = OpenForCommand(options.archive, console);
    if (!decoder) return kExitUsageOrOpen;
    const std::vector<ArchiveItem>& items = decoder->Items();
    ProgressLine progress(console, !options.quiet);
    std::uint64_t passed = 0;
    std::uint64_t failed = 0;
    std::vector<std::uint8_t> data;
    for (std::uint32_t i = 0; i < items.size(); ++i) {
        const ArchiveItem& item = items[i];
        if (item.isDirectory) continue;
        progress.Show(i, items.size(), item.path);
        DecodeResult result = decoder->ExtractToMemory(i, data);
        std::uint32_t actual = result == DecodeResult::Ok ? Crc32(data) : 0;
        if (result == DecodeResult::Ok && item.crc != 0 && actual != item.crc) result = DecodeResult::CrcMismatch;
        progress.Clear();
        if (result == DecodeResult::Ok) {
            ++passed;
            console.Out(L"OK     " + item.path + L"\n");
        } else {
            ++failed;
            std::wstring detail = DecodeResultName(result);
            if (result == DecodeResult::CrcMismatch) {
                detail += L": expected " + HexCrc(item.crc) + L", actual " + HexCrc(actual);
            }
            console.Out(L"Error  " + item.path + L"  (" + detail + L")\n");
            console.Err(L"arkova-cli: " + item.path + L": " + detail + L"\n");
        }
    }
    progress.Clear();
    console.Out(L"\n");
    if (failed == 0) {
        console.Out(L"All " + std::to_wstring(passed) + L" file(s) passed.\n");
        return kExitOk;
    }
    console.Out(std::to_wstring(passed) + L" passed, " + std::to_wstring(failed) + L" error(s)\n");
    return kExitSomeFailed;
}

}  // namespace Arkova::Cli
