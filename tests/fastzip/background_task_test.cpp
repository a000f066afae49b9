#include "fastzip/background_task.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/threads.h"

namespace Arkova::FastZip {
namespace {

// Started from a pinned engine worker, the work still runs; each Start and the destructor wait for the work before.
TEST(BackgroundTaskTest, RunsEachWorkInTurnAndIsDoneAfterWait) {
    std::atomic<int> finished{0};
    std::thread([&] {
        Platform::PinCurrentThreadToProcessor(0);
        BackgroundTask task;
        task.Start([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            finished = 1;
        });
        task.Start([&] { finished = finished * 10 + 2; });
        task.Wait();
        EXPECT_EQ(finished, 12);
        task.Start([&] { finished = 3; });
    }).join();
    EXPECT_EQ(finished, 3);
}

}  // namespace
}  // namespace Arkova::FastZip
