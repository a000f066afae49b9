// Whole-buffer inflate: exact sizes, and no memory spent on sizes the data cannot produce.
#include <gtest/gtest.h>

#include "archive/raw_inflate.h"
#include "support/alz_writer.h"

namespace Arkova {
namespace {

using Testing::Bytes;

TEST(RawInflateTest, OutputLargerThanTheFirstGuessGrowsToTheExactSize) {
    Bytes zeros(5 * 1024 * 1024, 0);  // compresses about 1000:1, far past the initial buffer
    Bytes packed = Testing::DeflateRaw(zeros);
    Bytes out;
    ASSERT_EQ(InflateRaw(packed.data(), packed.size(), zeros.size(), out), DecodeResult::Ok);
    EXPECT_EQ(out, zeros);
}

TEST(RawInflateTest, EmptyStreamInflatesToNothing) {
    Bytes packed = Testing::DeflateRaw({});
    Bytes out{1, 2};
    ASSERT_EQ(InflateRaw(packed.data(), packed.size(), 0, out), DecodeResult::Ok);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(InflateRaw(packed.data(), packed.size(), 1, out), DecodeResult::DecompressFailed);
}

TEST(RawInflateTest, ClaimsBeyondTheExpansionLimitFailAtOnce) {
    Bytes packed = Testing::DeflateRaw(Bytes(100, 7));
    Bytes out;
    std::uint64_t impossible = packed.size() * kMaxDeflateExpansion + 65;
    EXPECT_EQ(InflateRaw(packed.data(), packed.size(), impossible, out), DecodeResult::DecompressFailed);
    EXPECT_LT(out.capacity(), 1024u * 1024u);
}

TEST(RawInflateTest, GarbageIsADecodeErrorNotACrash) {
    Bytes garbage(64, 0xFF);
    Bytes out;
    EXPECT_EQ(InflateRaw(garbage.data(), garbage.size(), 100, out), DecodeResult::DecompressFailed);
    EXPECT_EQ(InflateRaw(nullptr, 0, 0, out), DecodeResult::DecompressFailed);
}

}  // namespace
}  // namespace Arkova
