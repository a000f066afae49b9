// Large buffers hold what is written to them, whatever memory they were handed: a new mapping, or one freed before
// and kept (on Linux), whole or with the part beyond the new size given back; and freeing hands on nothing twice.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/memory.h"

namespace Arkova::Platform {
namespace {

void Fill(LargeBuffer& buffer, std::uint8_t seed) {
    for (std::size_t i = 0; i < buffer.Size(); i += 4096) buffer.Data()[i] = static_cast<std::uint8_t>(seed + i / 4096);
    buffer.Data()[buffer.Size() - 1] = seed;
}

bool Holds(const LargeBuffer& buffer, std::uint8_t seed) {
    for (std::size_t i = 0; i + 1 < buffer.Size(); i += 4096) {
        if (buffer.Data()[i] != static_cast<std::uint8_t>(seed + i / 4096)) return false;
    }
    return buffer.Data()[buffer.Size() - 1] == seed;
}

TEST(MemoryTest, BuffersHandedOnAfterAFreeHoldTheirOwnBytes) {
    constexpr std::size_t kMiB = 1 << 20;
    {
        LargeBuffer a, b;
        ASSERT_TRUE(a.Allocate(9 * kMiB));
        ASSERT_TRUE(b.Allocate(5 * kMiB));
        Fill(a, 1);
        Fill(b, 2);
    }
    // Smaller, larger and reserved buffers after two were freed; all in use at once, so none may share memory.
    const std::size_t sizes[] = {3 * kMiB, 5 * kMiB + 17, 20 * kMiB, 1 * kMiB, 2 * kMiB};
    std::vector<LargeBuffer> buffers(std::size(sizes) + 1);
    for (std::size_t i = 0; i < std::size(sizes); ++i) {
        ASSERT_TRUE(buffers[i].Allocate(sizes[i]));
        ASSERT_EQ(buffers[i].Size(), sizes[i]);
        Fill(buffers[i], static_cast<std::uint8_t>(10 + i));
    }
    ASSERT_TRUE(buffers.back().Reserve(64 * kMiB));
    Fill(buffers.back(), 99);
    for (std::size_t i = 0; i < std::size(sizes); ++i) {
        EXPECT_TRUE(Holds(buffers[i], static_cast<std::uint8_t>(10 + i))) << i;
    }
    EXPECT_TRUE(Holds(buffers.back(), 99));
    // Freed in another order and asked for again: still whole and apart.
    buffers[2].Free();
    buffers[0].Free();
    ASSERT_TRUE(buffers[0].Allocate(7 * kMiB));
    ASSERT_TRUE(buffers[2].Allocate(3 * kMiB));
    Fill(buffers[0], 50);
    Fill(buffers[2], 60);
    EXPECT_TRUE(Holds(buffers[0], 50));
    EXPECT_TRUE(Holds(buffers[1], 11));
    EXPECT_TRUE(Holds(buffers[2], 60));
}

}  // namespace
}  // namespace Arkova::Platform
