// The user-interface side of a worker: the per-file bar leaves its marquee only on real progress, a cancel reaches
// the worker, and a worker that ignores the cancel cannot hold the window for more than the grace period.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "support/scripted_front_end.h"

namespace Arkova {
namespace {

using Testing::ProgressRecord;
using Testing::ScriptedProgressDialog;

TEST(WaitForWorkerTest, TheItemBarLeavesItsMarqueeOnlyAboveZeroPercent) {
    ProgressRecord record;
    JobSignal signal;
    signal.overallPercent = 25;
    signal.SetCurrentName(L"big.iso");
    signal.ReportProgress();  // a first report at 0 %
    // Each pump of the window plays the worker's next step.
    ScriptedProgressDialog dialog(
        record,
        [&](const ProgressRecord& seen) {
            if (seen.pumps == 1) {
                signal.itemPercent = 40;
                signal.ReportProgress();
            } else if (seen.pumps == 2) {
                signal.MarkDone();
            }
            return false;
        },
        false);
    dialog.WaitForWorker(signal);
    EXPECT_EQ(record.marqueesStopped, 1);
    EXPECT_EQ(record.itemPercents, std::vector<int>{40}) << "nothing is shown on the bar while it is a marquee";
    EXPECT_EQ(record.overallPercents, (std::vector<int>{25, 25}));
    EXPECT_EQ(record.names.back(), L"big.iso");
    EXPECT_FALSE(signal.cancelRequested);
}

TEST(WaitForWorkerTest, ACancelReachesTheWorkerWhichThenFinishes) {
    ProgressRecord record;
    JobSignal signal;
    std::thread worker([&] {
        while (!signal.cancelRequested) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        signal.MarkDone();
    });
    ScriptedProgressDialog dialog(
        record, [](const ProgressRecord& seen) { return seen.pumps >= 2; }, false);
    dialog.WaitForWorker(signal);
    worker.join();
    EXPECT_TRUE(signal.cancelRequested);
    EXPECT_TRUE(signal.workerDone);
}

TEST(WaitForWorkerTest, AWorkerThatIgnoresTheCancelIsWaitedForOnlyAFewSeconds) {
    ProgressRecord record;
    JobSignal signal;
    ScriptedProgressDialog dialog(
        record, [](const ProgressRecord&) { return true; }, false);
    dialog.WaitForWorker(signal);  // returns after the grace period although the worker never finishes
    EXPECT_TRUE(signal.cancelRequested);
    EXPECT_FALSE(signal.workerDone);
}

}  // namespace
}  // namespace Arkova
