// The password rounds against a real encrypted archive: three strikes and one message, the verified password set
// everywhere, and the session cache keyed by the exact path.
#include <gtest/gtest.h>

#include "dialogs/password_prompt.h"
#include "fixtures.h"
#include "platform/text.h"
#include "support/egg_writer.h"
#include "support/scratch_folder.h"
#include "support/scripted_front_end.h"

namespace Arkova {
namespace {

using Testing::ScriptedFrontEnd;

class PasswordPromptTest : public ::testing::Test {
protected:
    bool Open(const std::wstring& path) {
        session_.archivePath = path;
        return session_.context.OpenArchive(path) == DecodeResult::Ok;
    }

    ArchiveSession session_;
    ScriptedFrontEnd frontEnd_;
};

TEST_F(PasswordPromptTest, ThreeWrongPasswordsGiveThreeRoundsAndOneMessage) {
    ARKOVA_REQUIRE_FIXTURE(archive, L"encrypted.zip");
    ASSERT_TRUE(Open(archive));
    frontEnd_.passwordReplies = {
        {true, L"one", true}, {true, L"two", true}, {true, L"three", true}, {true, L"Secret", true}};
    EXPECT_FALSE(RequestPassword(session_, frontEnd_));
    ASSERT_EQ(frontEnd_.passwordRounds.size(), 3u) << "a fourth round is never shown";
    EXPECT_EQ(frontEnd_.passwordRounds[0].archiveName, L"encrypted.zip");
    EXPECT_FALSE(frontEnd_.passwordRounds[0].wrongPassword);
    EXPECT_TRUE(frontEnd_.passwordRounds[1].wrongPassword);
    EXPECT_TRUE(frontEnd_.passwordRounds[2].wrongPassword);
    ASSERT_EQ(frontEnd_.messages.size(), 1u);
    EXPECT_EQ(frontEnd_.messages[0].text, L"비밀번호가 올바르지 않습니다.");
    EXPECT_EQ(frontEnd_.messages[0].caption, L"오류");
    EXPECT_TRUE(session_.archivePassword.empty()) << "a refused password is not kept for the next operation";
    EXPECT_EQ(session_.context.Password(), L"three") << "the context keeps the last password tried";
}

TEST_F(PasswordPromptTest, CancelEndsTheRequestSilently) {
    ARKOVA_REQUIRE_FIXTURE(archive, L"encrypted.zip");
    ASSERT_TRUE(Open(archive));
    EXPECT_FALSE(RequestPassword(session_, frontEnd_));
    EXPECT_EQ(frontEnd_.passwordRounds.size(), 1u);
    EXPECT_TRUE(frontEnd_.messages.empty());
}

TEST_F(PasswordPromptTest, TheRightPasswordIsSetEverywhereAndRememberedByExactPath) {
    ARKOVA_REQUIRE_FIXTURE(archive, L"encrypted-aes.zip");
    ASSERT_TRUE(Open(archive));
    frontEnd_.passwordReplies = {{true, L"wrong", true}, {true, L"Secret", true}};
    EXPECT_TRUE(RequestPassword(session_, frontEnd_));
    EXPECT_EQ(session_.archivePassword, L"Secret");
    EXPECT_EQ(session_.context.Password(), L"Secret");
    EXPECT_EQ(LookUpPassword(PasswordCache(), archive), std::optional<std::wstring>(L"Secret"));
    std::wstring otherSpelling = archive;
    otherSpelling.back() = L'P';  // ...encrypted-aes.ziP
    EXPECT_EQ(LookUpPassword(PasswordCache(), otherSpelling), std::nullopt);

    std::vector<std::uint8_t> data;
    EXPECT_EQ(session_.context.Decoder()->ExtractToMemory(0, data), DecodeResult::Ok) << "the decoder has it too";
}

TEST_F(PasswordPromptTest, AnAnswerWithoutRememberIsNotCached) {
    ARKOVA_REQUIRE_FIXTURE(archive, L"encrypted.7z");
    ASSERT_TRUE(Open(archive));
    frontEnd_.passwordReplies = {{true, L"Secret", false}};
    EXPECT_TRUE(RequestPassword(session_, frontEnd_));
    EXPECT_EQ(LookUpPassword(PasswordCache(), archive), std::nullopt);
    EXPECT_EQ(session_.archivePassword, L"Secret") << "the current operation still proceeds";
}

// The native readers once answered "unsupported" for every encrypted entry, and any password was then taken and
// cached. Now a password is checked by decrypting; only an archive nothing can decrypt skips the check, and says so.
TEST_F(PasswordPromptTest, NativeEntriesCheckThePasswordAndOnlyUndecodableOnesSkipIt) {
    Testing::ScratchFolder folder;
    const std::wstring sealed = folder / L"sealed.egg";
    ASSERT_TRUE(Testing::EggWriter()
                    .ArchiveHeader()
                    .SealedFile("a.txt", Testing::ToBytes("alpha"), 1, 2, "right")
                    .WriteTo(sealed));
    ASSERT_TRUE(Open(sealed));
    frontEnd_.passwordReplies = {{true, L"wrong", true}, {true, L"right", true}};
    EXPECT_TRUE(RequestPassword(session_, frontEnd_));
    EXPECT_EQ(frontEnd_.passwordRounds.size(), 2u);
    EXPECT_EQ(LookUpPassword(PasswordCache(), sealed), std::optional<std::wstring>(L"right"));

    const std::wstring unknown = folder / L"unknown.egg";
    ASSERT_TRUE(Testing::EggWriter()
                    .ArchiveHeader()
                    .Extra(Testing::kEggGlobalEncryption, {9, 0, 0})
                    .File("b.txt", "bravo")
                    .WriteTo(unknown));
    ScriptedFrontEnd second;
    second.passwordReplies = {{true, L"anything", true}};
    ASSERT_TRUE(Open(unknown));
    EXPECT_TRUE(RequestPassword(session_, second));
    ASSERT_EQ(second.messages.size(), 1u);
    EXPECT_NE(second.messages[0].text.find(L"확인할 수 없습니다"), std::wstring::npos);
    EXPECT_FALSE(LookUpPassword(PasswordCache(), unknown).has_value()) << "an unchecked password is not remembered";
}

}  // namespace
}  // namespace Arkova
