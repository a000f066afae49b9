// The events behind a job's signal: auto-reset events are consumed by the wait that sees them and manual-reset ones
// are not, a wait for either of two reports the first when both are set and consumes only that one, and a set from
// another thread ends a wait long before its limit.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/event.h"

namespace Arkova::Platform {
namespace {

using std::chrono::milliseconds;

TEST(EventTest, AutoResetIsConsumedByItsWaitAndManualResetStaysSet) {
    Event automatic(Event::Reset::Auto);
    Event manual(Event::Reset::Manual);
    EXPECT_FALSE(automatic.Wait(milliseconds(0)));
    automatic.Set();
    manual.Set();
    EXPECT_TRUE(automatic.Wait(milliseconds(0)));
    EXPECT_FALSE(automatic.Wait(milliseconds(10)));
    EXPECT_TRUE(manual.Wait(milliseconds(0)));
    EXPECT_TRUE(manual.Wait(milliseconds(0)));
}

TEST(EventTest, WaitForEitherPrefersTheFirstAndConsumesOnlyWhatItReports) {
    Event done(Event::Reset::Manual);
    Event progress(Event::Reset::Auto);
    EXPECT_EQ(WaitForEither(done, progress, milliseconds(10)), -1);
    progress.Set();
    EXPECT_EQ(WaitForEither(done, progress, milliseconds(0)), 1);
    EXPECT_EQ(WaitForEither(done, progress, milliseconds(0)), -1) << "the progress report was consumed";
    progress.Set();
    done.Set();
    EXPECT_EQ(WaitForEither(done, progress, milliseconds(0)), 0);
    EXPECT_TRUE(progress.Wait(milliseconds(0))) << "a report behind the done event is still there";
}

TEST(EventTest, ASetFromAnotherThreadEndsTheWait) {
    Event other(Event::Reset::Manual);
    Event event(Event::Reset::Auto);
    auto start = std::chrono::steady_clock::now();
    std::jthread setter([&] {
        std::this_thread::sleep_for(milliseconds(20));
        event.Set();
    });
    EXPECT_EQ(WaitForEither(other, event, milliseconds(10000)), 1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, milliseconds(5000));
}

}  // namespace
}  // namespace Arkova::Platform
