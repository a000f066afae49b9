// Testing through the library's own test mode: every entry gets its own result in one pass, encrypted entries
// without a password fail alone instead of stopping the pass, damage is told apart from a wrong password, and a
// cancel keeps what was tested.
#include <gtest/gtest.h>

#include <algorithm>

#include "archive/archive_context.h"
#include "fixtures.h"

namespace Arkova {
namespace {

std::size_t Failed(const std::vector<ItemTestResult>& results) {
    return static_cast<std::size_t>(
        std::count_if(results.begin(), results.end(), [](const ItemTestResult& result) { return !result.ok; }));
}

TEST(SevenZipTestModeTest, EveryFileEntryPassesWithItsStoredCrc) {
    ARKOVA_REQUIRE_FIXTURE(archive, L"tree.7z");
    ArchiveContext context;
    ASSERT_EQ(context.OpenArchive(archive), DecodeResult::Ok);
    std::vector<std::uint32_t> seen;
    std::vector<ItemTestResult> results =
        context.TestAll([&](std::uint32_t current, std::uint32_t total, const std::wstring&) {
            seen.push_back(current);
            EXPECT_EQ(total, 4u);
            return true;
        });
    ASSERT_EQ(results.size(), 4u) << "a.txt, empty.txt, big.txt and the Korean-named file";
    EXPECT_EQ(Failed(results), 0u);
    EXPECT_EQ(seen, (std::vector<std::uint32_t>{1, 2, 3, 4}));
    for (const ItemTestResult& result : results) EXPECT_EQ(result.actualCrc, result.expectedCrc) << result.path.size();
}

TEST(SevenZipTestModeTest, EncryptedEntriesWithoutAPasswordFailAloneAndPassWithIt) {
    ARKOVA_REQUIRE_FIXTURE(archive, L"encrypted.zip");
    ArchiveContext context;
    ASSERT_EQ(context.OpenArchive(archive), DecodeResult::Ok);
    std::vector<ItemTestResult> results = context.TestAll();
    ASSERT_EQ(results.size(), 4u);
    for (const ItemTestResult& result : results) {
        if (result.expectedCrc != 0) {
            EXPECT_EQ(result.error, DecodeResult::PasswordRequired);
        }
    }
    context.SetPassword(L"wrong");
    ASSERT_EQ(context.OpenArchive(archive), DecodeResult::Ok);
    EXPECT_GE(Failed(context.TestAll()), 3u) << "every entry with data refuses the wrong password";
    context.SetPassword(L"Secret");
    ASSERT_EQ(context.OpenArchive(archive), DecodeResult::Ok);
    EXPECT_EQ(Failed(context.TestAll()), 0u);
}

TEST(SevenZipTestModeTest, DamagedDataFailsOnlyItsEntryAndACancelKeepsTheResultsSoFar) {
    ARKOVA_REQUIRE_FIXTURE(archive, L"damaged.zip");
    ArchiveContext context;
    ASSERT_EQ(context.OpenArchive(archive), DecodeResult::Ok);
    std::vector<ItemTestResult> results = context.TestAll();
    ASSERT_EQ(results.size(), 4u);
    ASSERT_EQ(Failed(results), 1u);
    auto damaged = std::find_if(results.begin(), results.end(), [](const ItemTestResult& r) { return !r.ok; });
    EXPECT_TRUE(damaged->error == DecodeResult::CrcMismatch || damaged->error == DecodeResult::DecompressFailed);

    std::vector<ItemTestResult> partial =
        context.TestAll([](std::uint32_t current, std::uint32_t, const std::wstring&) { return current < 3; });
    EXPECT_EQ(partial.size(), 2u);
}

}  // namespace
}  // namespace Arkova
