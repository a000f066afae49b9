// Encrypted archives of every kind the library reads: without a password or with a wrong one nothing is handed out
// as if it had worked (PasswordRequired), with the right one the data comes back; encrypted 7z headers are told
// apart from a damaged file.
#include <gtest/gtest.h>

#include "archive/sevenzip/bit7z_decoder.h"
#include "fixtures.h"
#include "platform/file_system.h"
#include "platform/text.h"
#include "support/scratch_folder.h"

namespace Arkova {
namespace {

std::uint32_t PositionOf(const Bit7zDecoder& decoder, const std::wstring& suffix) {
    for (std::uint32_t i = 0; i < decoder.Items().size(); ++i) {
        const std::wstring& path = decoder.Items()[i].path;
        if (path.size() >= suffix.size() && path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0) {
            return i;
        }
    }
    return static_cast<std::uint32_t>(decoder.Items().size());
}

class EncryptedDataTest : public ::testing::TestWithParam<const wchar_t*> {
protected:
    void SetUp() override {
        path_ = Testing::FixturePath(GetParam());
        if (path_.empty()) GTEST_SKIP() << "fixture not made";
        ASSERT_EQ(decoder_.Open(path_), DecodeResult::Ok) << Platform::WideToUtf8(decoder_.LastErrorText());
        big_ = PositionOf(decoder_, L"big.txt");
        ASSERT_LT(big_, decoder_.ItemCount());
    }
    std::wstring path_;
    Bit7zDecoder decoder_;
    std::uint32_t big_ = 0;
};

TEST_P(EncryptedDataTest, ListsWithoutAPasswordAndMarksTheItems) {
    EXPECT_TRUE(decoder_.HasEncryptedItems());
    EXPECT_TRUE(decoder_.Items()[big_].isEncrypted);
}

TEST_P(EncryptedDataTest, NoPasswordOrAWrongOneIsPasswordRequired) {
    std::vector<std::uint8_t> buffer = {7};
    EXPECT_EQ(decoder_.ExtractToMemory(big_, buffer), DecodeResult::PasswordRequired);
    EXPECT_EQ(buffer, std::vector<std::uint8_t>{7});
    decoder_.SetPassword(L"wrong");
    EXPECT_EQ(decoder_.ExtractToMemory(big_, buffer), DecodeResult::PasswordRequired);
    EXPECT_EQ(buffer, std::vector<std::uint8_t>{7});
}

TEST_P(EncryptedDataTest, TheRightPasswordSetAfterOpeningDecrypts) {
    decoder_.SetPassword(L"Secret");
    std::vector<std::uint8_t> buffer;
    ASSERT_EQ(decoder_.ExtractToMemory(big_, buffer), DecodeResult::Ok);
    EXPECT_EQ(std::string(buffer.begin(), buffer.end()), Testing::BigFileText());
}

TEST_P(EncryptedDataTest, ExtractAllWithAWrongPasswordLeavesNoFilesBehind) {
    Testing::ScratchFolder folder;
    decoder_.SetPassword(L"wrong");
    EXPECT_EQ(decoder_.ExtractAll(folder.Path()), DecodeResult::PasswordRequired);
    EXPECT_FALSE(Platform::PathExists(folder / L"tree/sub/deeper/big.txt"));
    EXPECT_FALSE(Platform::PathExists(folder / L"tree/sub/deeper/big.txt.arkova-part"));
    decoder_.SetPassword(L"Secret");
    ASSERT_EQ(decoder_.ExtractAll(folder.Path()), DecodeResult::Ok);
    EXPECT_EQ(Testing::ReadText(folder / L"tree/sub/deeper/big.txt"), Testing::BigFileText());
}

INSTANTIATE_TEST_SUITE_P(EveryCipher, EncryptedDataTest,
                         ::testing::Values(L"encrypted.zip", L"encrypted-aes.zip", L"encrypted.7z"));

TEST(EncryptedHeadersTest, OpeningNeedsTheRightPassword) {
    ARKOVA_REQUIRE_FIXTURE(path, L"encrypted-headers.7z");
    Bit7zDecoder decoder;
    EXPECT_EQ(decoder.Open(path), DecodeResult::PasswordRequired);
    EXPECT_FALSE(decoder.IsOpen());
    EXPECT_EQ(decoder.ItemCount(), 0u);
    decoder.SetPassword(L"wrong");
    EXPECT_EQ(decoder.Open(path), DecodeResult::PasswordRequired);
    EXPECT_FALSE(decoder.IsOpen());

    decoder.SetPassword(L"Secret");
    ASSERT_EQ(decoder.Open(path), DecodeResult::Ok) << Platform::WideToUtf8(decoder.LastErrorText());
    EXPECT_TRUE(decoder.HasEncryptedItems());
    std::vector<std::uint8_t> buffer;
    ASSERT_EQ(decoder.ExtractToMemory(PositionOf(decoder, L"a.txt"), buffer), DecodeResult::Ok);
    EXPECT_EQ(std::string(buffer.begin(), buffer.end()), "alpha\n");
}

TEST(EncryptedHeadersTest, ADamagedArchiveIsNotMistakenForAPasswordProblem) {
    ARKOVA_REQUIRE_FIXTURE(path, L"truncated.7z");
    Bit7zDecoder decoder;
    EXPECT_EQ(decoder.Open(path), DecodeResult::InvalidArchive);
}

}  // namespace
}  // namespace Arkova
