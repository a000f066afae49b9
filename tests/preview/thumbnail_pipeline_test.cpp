// Guards the thumbnail workers against the faults that matter with threads: every image entry thumbnailed once
// through a real decoder, encrypted ones only with a password, nothing delivered after Stop returns, Stop
// returning while another thread holds the decoder, and workers never outliving the decoder they read (closed
// right after Stop, over and over; run under ThreadSanitizer too).
#include "preview/thumbnail_pipeline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <set>

#include "archive/archive_context.h"
#include "preview/image_name.h"
#include "preview/jpeg_turbo_decoder.h"
#include "support/alz_writer.h"
#include "support/jpeg_writer.h"
#include "support/scratch_folder.h"

namespace Arkova {
namespace {

// What a thumbnail is here: the decoded size, on the heap like a bitmap handle.
struct FakeThumbnail {
    std::uint32_t width;
    std::uint32_t height;
};

class ThumbnailPipelineTest : public ::testing::Test {
protected:
    void SetUp() override {
        Testing::AlzWriter writer;
        writer.ArchiveHeader();
        const std::vector<std::uint8_t> jpeg = Testing::MakeSolidJpeg(600, 300, {90, 160, 220}, 80);
        for (int i = 0; i < kImages; ++i) {
            Testing::AlzEntry entry;
            entry.name = "photos\\p" + std::to_string(i) + ".jpg";
            entry.content = jpeg;
            writer.Add(entry);
        }
        writer.File("photos\\notes.txt", "not an image");
        writer.File("photos\\broken.jpg", "\xFF\xD8\xFF not really");
        Testing::AlzEntry secret;
        secret.name = "photos\\secret.jpg";
        secret.content = jpeg;
        secret.encrypted = true;
        writer.Add(secret);
        ASSERT_TRUE(writer.WriteTo(archive_));
        ASSERT_EQ(context_.OpenArchive(archive_), DecodeResult::Ok);
    }

    // One job per item whose name is an image, as the list would queue them (row = item position).
    std::vector<ThumbnailJob> Jobs() const {
        std::vector<ThumbnailJob> jobs;
        const auto& items = context_.Items();
        for (std::uint32_t i = 0; i < items.size(); ++i) {
            if (IsImageFileName(items[i].path)) {
                jobs.push_back({static_cast<std::int32_t>(i), items[i].index, items[i].isEncrypted});
            }
        }
        return jobs;
    }

    ThumbnailCallbacks Callbacks() {
        ThumbnailCallbacks callbacks;
        callbacks.make = [](const std::vector<std::uint8_t>& data) -> ThumbnailHandle {
            JpegTurboDecoder decoder;
            if (!decoder.LoadMemory(data.data(), data.size(), 128, 128, false)) return 0;
            return reinterpret_cast<ThumbnailHandle>(new FakeThumbnail{decoder.Width(), decoder.Height()});
        };
        callbacks.deliver = [this](std::int32_t row, ThumbnailHandle thumbnail) {
            std::lock_guard lock(deliveredMutex_);
            if (stopped_) ++lateDeliveries_;
            delivered_.push_back(row);
            delete reinterpret_cast<FakeThumbnail*>(thumbnail);
            return true;
        };
        callbacks.discard = [this](ThumbnailHandle thumbnail) {
            ++discarded_;
            delete reinterpret_cast<FakeThumbnail*>(thumbnail);
        };
        callbacks.workerStarted = [this] { ++workersStarted_; };
        callbacks.workerEnding = [this] { ++workersEnded_; };
        return callbacks;
    }

    std::vector<std::int32_t> Delivered() {
        std::lock_guard lock(deliveredMutex_);
        return delivered_;
    }

    static constexpr int kImages = 24;
    Testing::ScratchFolder folder_;
    std::wstring archive_ = folder_ / L"photos.alz";
    ArchiveContext context_;
    std::mutex decoderMutex_;
    ThumbnailPipeline pipeline_;

    std::mutex deliveredMutex_;
    std::vector<std::int32_t> delivered_;
    bool stopped_ = false;
    int lateDeliveries_ = 0;
    std::atomic<int> discarded_{0};
    std::atomic<int> workersStarted_{0};
    std::atomic<int> workersEnded_{0};
};

TEST_F(ThumbnailPipelineTest, ThumbnailsEveryReadableImageOnceAndEncryptedOnesOnlyWithAPassword) {
    const std::vector<ThumbnailJob> jobs = Jobs();
    ASSERT_EQ(jobs.size(), static_cast<size_t>(kImages + 2));  // the broken and the encrypted one too
    pipeline_.Start(*context_.Decoder(), decoderMutex_, jobs, false, Callbacks());
    pipeline_.Join();
    EXPECT_FALSE(pipeline_.Running());
    EXPECT_EQ(workersStarted_.load(), ThumbnailPipeline::kWorkerCount);
    EXPECT_EQ(workersEnded_.load(), ThumbnailPipeline::kWorkerCount);

    std::vector<std::int32_t> rows = Delivered();
    std::sort(rows.begin(), rows.end());
    std::vector<std::int32_t> expected;
    for (int i = 0; i < kImages; ++i) expected.push_back(i);
    EXPECT_EQ(rows, expected) << "each image once; not the text, the broken one or the encrypted one";

    // With a password the encrypted entry is extracted (here it fails to decrypt: still no thumbnail, no crash).
    delivered_.clear();
    std::vector<ThumbnailJob> secret;
    std::copy_if(jobs.begin(), jobs.end(), std::back_inserter(secret), [](const auto& job) { return job.isEncrypted; });
    ASSERT_EQ(secret.size(), 1u);
    pipeline_.Start(*context_.Decoder(), decoderMutex_, secret, true, Callbacks());
    pipeline_.Join();
    EXPECT_TRUE(Delivered().empty());
}

TEST_F(ThumbnailPipelineTest, StopEndsTheWorkersBeforeTheDecoderClosesAndNothingArrivesAfterIt) {
    for (int round = 0; round < 30; ++round) {
        SCOPED_TRACE(round);
        if (context_.Decoder() == nullptr || !context_.Decoder()->IsOpen()) {
            ASSERT_EQ(context_.OpenArchive(archive_), DecodeResult::Ok);
        }
        {
            std::lock_guard lock(deliveredMutex_);
            stopped_ = false;
            delivered_.clear();
        }
        pipeline_.Start(*context_.Decoder(), decoderMutex_, Jobs(), false, Callbacks());
        // Let some work happen in some rounds, none in others.
        if (round % 3 != 0) {
            const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(round);
            while (Delivered().size() < 2 && std::chrono::steady_clock::now() < until) std::this_thread::yield();
        }
        pipeline_.Stop();
        {
            std::lock_guard lock(deliveredMutex_);
            stopped_ = true;
        }
        EXPECT_FALSE(pipeline_.Running());
        // The archive is closed, and opened again for the next round, the moment Stop returns.
        context_.CloseArchive();
    }
    EXPECT_EQ(lateDeliveries_, 0);
    EXPECT_EQ(workersStarted_.load(), workersEnded_.load());
}

TEST_F(ThumbnailPipelineTest, StopReturnsWhileAnotherThreadKeepsTheDecoderAndWorkersWaitForIt) {
    std::unique_lock held(decoderMutex_);  // as a job on the UI thread holds it while it pumps messages
    pipeline_.Start(*context_.Decoder(), decoderMutex_, Jobs(), false, Callbacks());
    EXPECT_FALSE(pipeline_.WorkerHoldsDecoder());
    const auto started = std::chrono::steady_clock::now();
    pipeline_.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
    EXPECT_TRUE(Delivered().empty()) << "no worker used the decoder while it was held";

    // Released later, the workers go on and finish.
    pipeline_.Start(*context_.Decoder(), decoderMutex_, Jobs(), false, Callbacks());
    held.unlock();
    pipeline_.Join();
    EXPECT_EQ(Delivered().size(), static_cast<size_t>(kImages));
}

}  // namespace
}  // namespace Arkova
