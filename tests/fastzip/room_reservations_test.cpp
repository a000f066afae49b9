#include "fastzip/room_reservations.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "support/scratch_folder.h"

namespace Arkova::FastZip {
namespace {

// Offers that nobody takes, that a reserver takes, that a cancelled reserver leaves, and owners and reservers running
// side by side: every withdrawal returns, and what the owners write afterwards is exactly what their files hold.
TEST(RoomReservationsTest, EveryOfferEndsAndLeavesTheFileAsWritten) {
    Testing::ScratchFolder folder;
    RoomReservations reservations;
    std::atomic<bool> cancel{false};
    auto open = [&](const std::wstring& name) {
        auto file = std::make_unique<Platform::OutputFile>();
        EXPECT_TRUE(file->Create(folder / name));
        return file;
    };

    auto untaken = open(L"untaken.bin");
    { RoomReservations::Offer offer(reservations, *untaken, 1 << 20); }  // withdrawn by its end alone

    auto taken = open(L"taken.bin");
    RoomReservations::Offer offer(reservations, *taken, 1 << 20);
    std::thread([&] { reservations.ReserveOffered(cancel); }).join();
    offer.Withdraw();
    EXPECT_TRUE(taken->Write("data", 4));
    EXPECT_TRUE(taken->Close());
    EXPECT_EQ(Testing::ReadText(folder / L"taken.bin"), "data") << "room beyond the data is not part of the file";

    cancel = true;
    RoomReservations::Offer left(reservations, *untaken, 1 << 20);
    reservations.ReserveOffered(cancel);
    left.Withdraw();
    cancel = false;

    std::vector<std::thread> threads;
    for (int owner = 0; owner < 4; ++owner) {
        threads.emplace_back([&, owner] {
            for (int i = 0; i < 20; ++i) {
                auto file = open(L"owner" + std::to_wstring(owner) + L"-" + std::to_wstring(i));
                RoomReservations::Offer mine(reservations, *file, 64 * 1024);
                std::this_thread::yield();
                mine.Withdraw();
                EXPECT_TRUE(file->Write("x", 1));
            }
        });
    }
    for (int reserver = 0; reserver < 2; ++reserver) {
        threads.emplace_back([&] {
            for (int i = 0; i < 200; ++i) reservations.ReserveOffered(cancel);
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(Testing::ReadText(folder / L"owner3-19"), "x");
}

}  // namespace
}  // namespace Arkova::FastZip
