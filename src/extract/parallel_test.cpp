#include "extract/parallel_test.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

#include "extract/parallel_choice.h"
#include "fastzip/parallel_zip_extractor.h"
#include "platform/threads.h"

namespace Arkova {

namespace {

// How often the waiting thread hears from the callback while one long entry is tested, so that a window stays
// responsive and a cancel is seen.
constexpr auto kCallbackInterval = std::chrono::milliseconds(50);

// What the engine's thread tells the waiting one.
struct TestProgress {
    std::mutex lock;
    std::condition_variable changed;
    std::uint32_t done = 0;
    std::wstring name;
    bool finished = false;
};

std::vector<ItemTestResult> ToItemResults(const std::vector<FastZip::EntryTestResult>& tested,
                                          const std::vector<ArchiveItem>& items) {
    std::vector<ItemTestResult> results;
    results.reserve(tested.size());
    for (const FastZip::EntryTestResult& entry : tested) {
        const ArchiveItem& item = items[entry.position];
        ItemTestResult result;
        result.index = item.index;
        result.path = item.path;
        result.expectedCrc = item.crc;
        result.ok = entry.result == DecodeResult::Ok;
        result.error = entry.result;
        result.actualCrc = entry.actualCrc;
        results.push_back(std::move(result));
    }
    return results;
}

}  // namespace

void InstallParallelTest() {
    ArchiveContext::SetParallelTester([](const ArchiveContext& context, const TestProgressCallback& callback) {
        return TestWithParallelEngine(context, callback);
    });
}

std::optional<std::vector<ItemTestResult>> TestWithParallelEngine(const ArchiveContext& context,
                                                                  const TestProgressCallback& callback) {
    return TestWithParallelEngine(context, callback, Platform::HardwareThreadCount());
}

std::optional<std::vector<ItemTestResult>> TestWithParallelEngine(const ArchiveContext& context,
                                                                  const TestProgressCallback& callback,
                                                                  unsigned processorCount) {
    const IArchiveDecoder* decoder = context.Decoder();
    if (decoder == nullptr || !decoder->IsOpen() || decoder->HasEncryptedItems()) return std::nullopt;
    const std::wstring& path = context.ArchivePath();
    std::unique_ptr<FastZip::EntrySource> source =
        EngineSourceForArchive(context.Format(), path, context.CodePage(), decoder);
    if (!source) return std::nullopt;
    const std::vector<ArchiveItem>& items = context.Items();
    const auto total = static_cast<std::uint32_t>(
        std::count_if(items.begin(), items.end(), [](const ArchiveItem& item) { return !item.isDirectory; }));

    FastZip::ParallelZipExtractor engine(processorCount);
    engine.SetNameCodePage(context.CodePage());
    TestProgress progress;
    engine.SetProgress([&](const std::wstring& name, std::uint64_t, std::uint64_t, std::uint64_t, std::uint64_t) {
        // The waiting thread looks every kCallbackInterval and hears every count then; waking it for each of
        // thousands of small entries would cost a futex call and a thread switch apiece.
        std::lock_guard<std::mutex> guard(progress.lock);
        ++progress.done;
        progress.name = name;
        return true;
    });
    std::thread runner;
    try {
        runner = std::thread([&] {
            engine.RunTest(path, *source);
            {
                std::lock_guard<std::mutex> guard(progress.lock);
                progress.finished = true;
            }
            progress.changed.notify_one();
        });
    } catch (const std::system_error&) {
        return std::nullopt;
    }
    bool cancelled = false;
    std::uint32_t shown = 0;
    for (bool finished = false; !finished;) {
        std::uint32_t done = 0;
        std::wstring name;
        {
            std::unique_lock<std::mutex> guard(progress.lock);
            progress.changed.wait_for(guard, kCallbackInterval,
                                      [&] { return progress.finished || progress.done != shown; });
            done = progress.done;
            name = progress.name;
            finished = progress.finished;
        }
        if (!callback || cancelled || total == 0) continue;
        // Every count once, as entry by entry; with none new, the same again, so that the caller can pump.
        std::uint32_t from = std::min(done, shown + 1);
        for (std::uint32_t current = std::max<std::uint32_t>(from, 1); current <= std::max<std::uint32_t>(done, 1);
             ++current) {
            if (callback(std::min(current, total), total, name)) continue;
            cancelled = true;
            engine.Cancel();
            break;
        }
        shown = done;
    }
    runner.join();
    // A run that could not go through the archive, or that listed it unlike the decoder, leaves the test to the
    // decoder; after a cancel, what was tested is the answer.
    if (!cancelled && (!engine.Completed() || engine.Entries().size() != items.size())) return std::nullopt;
    return ToItemResults(engine.TestResults(), items);
}

}  // namespace Arkova
