#include <gtest/gtest.h>

#include <thread>

#include "platform/threads.h"

namespace Arkova::Platform {
namespace {

TEST(ThreadsTest, PinsAThreadToEachReportedProcessorOnly) {
    unsigned count = HardwareThreadCount();
    ASSERT_GT(count, 0u);
    for (unsigned processor = 0; processor < count; ++processor) {
        bool pinned = false;
        std::thread([&] { pinned = PinCurrentThreadToProcessor(processor); }).join();
        EXPECT_TRUE(pinned) << "processor " << processor;
    }
    bool outOfRange = true;
    std::thread([&] { outOfRange = PinCurrentThreadToProcessor(4096); }).join();
    EXPECT_FALSE(outOfRange);
}

}  // namespace
}  // namespace Arkova::Platform
