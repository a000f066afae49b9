// The settings key as the program reads it: every value falls back to its default when absent, of another type or
// too long, and the reader says why in the debugger output; the block save writes what the next start loads.
#include <gtest/gtest.h>

#include "app/job_settings.h"
#include "app/settings.h"
#include "platform/debug_output.h"
#include "platform/registry.h"
#include "support/registry_sandbox.h"

namespace Arkova {
namespace {

using Platform::RegistryAccess;
using Platform::RegistryKey;

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        Platform::SetDebugOutputSink([this](std::wstring_view text) { log_.append(text); });
    }
    void TearDown() override { Platform::SetDebugOutputSink(nullptr); }

    // A value of any type, written the way another program (or an older version) might have left it.
    void StoreString(const std::wstring& name, const std::wstring& text) {
        RegistryKey key;
        ASSERT_EQ(key.Create(kSettingsKey, RegistryAccess::Write), Platform::kRegistryOk);
        ASSERT_EQ(key.SetString(name, text), Platform::kRegistryOk);
    }

    Testing::RegistrySandbox sandbox_;
    std::wstring log_;
};

TEST_F(SettingsTest, WithoutTheKeyEveryReadLogsAndDefaultsApply) {
    GlobalSettings settings;
    LoadSettings(settings);
    EXPECT_TRUE(settings.rememberWindowPos);
    EXPECT_EQ(settings.windowX, -1);
    EXPECT_EQ(settings.windowH, -1);
    EXPECT_FALSE(settings.windowMaximized);
    EXPECT_EQ(settings.welcomeMsg, L"초고속 통합압축 프로그램");
    EXPECT_EQ(settings.codePage, -1);
    EXPECT_TRUE(ReadFlag(kSettingUseParallelAllExtract, kDefaultUseParallelAllExtract));
    EXPECT_FALSE(ReadFlag(kSettingCloseDialogOnFinished, kDefaultCloseDialogOnFinished));

    std::wstring line = L"RegistryHelper::ReadDword - key.Open failed\n";
    std::size_t count = 0;
    for (std::size_t at = log_.find(line); at != std::wstring::npos; at = log_.find(line, at + 1)) ++count;
    // RememberWindowPos, the five window values, CodePage and the two flags.
    EXPECT_EQ(count, 9u);
    EXPECT_EQ(log_.size(), count * line.size());
}

TEST_F(SettingsTest, AStringWhereADwordBelongsCountsAsAbsent) {
    StoreString(kSettingUseParallelAllExtract, L"0");  // one character: fits the 4-byte buffer, wrong type
    std::uint32_t value = 1;
    EXPECT_FALSE(ReadDword(kSettingUseParallelAllExtract, value));
    EXPECT_EQ(value, 1u);  // the caller's default is untouched
    EXPECT_TRUE(ReadFlag(kSettingUseParallelAllExtract, true));
    EXPECT_NE(log_.find(L"QueryDWORDValue failed for 'UseParallelAllExtract', error=13\n"), std::wstring::npos)
        << std::string(log_.begin(), log_.end());

    log_.clear();
    StoreString(kSettingUseParallelTempFolder, L"00");  // longer: the query itself fails
    EXPECT_TRUE(ReadFlag(kSettingUseParallelTempFolder, true));
    EXPECT_EQ(log_, L"RegistryHelper::ReadDword - QueryDWORDValue failed for 'UseParallelTempFolder', error=234\n");

    log_.clear();
    std::uint32_t missing = 7;
    EXPECT_FALSE(ReadDword(L"NeverWritten", missing));
    EXPECT_EQ(log_, L"RegistryHelper::ReadDword - QueryDWORDValue failed for 'NeverWritten', error=2\n");
}

TEST_F(SettingsTest, DebugMessageIsCutToItsBuffer) {
    ASSERT_TRUE(WriteDword(L"Other", 1));
    std::wstring longName(300, L'n');
    std::uint32_t value = 0;
    EXPECT_FALSE(ReadDword(longName, value));
    EXPECT_EQ(log_.size(), 255u);
    EXPECT_EQ(log_.rfind(L"RegistryHelper::ReadDword - QueryDWORDValue failed for 'nnn", 0), 0u);
}

TEST_F(SettingsTest, FlagsCountAnyNonZeroValueAsOn) {
    ASSERT_TRUE(WriteDword(kSettingCloseDialogOnFinished, 7));
    ASSERT_TRUE(WriteDword(kSettingUseParallelAllExtract, 0));
    EXPECT_TRUE(ReadFlag(kSettingCloseDialogOnFinished, false));
    EXPECT_FALSE(ReadFlag(kSettingUseParallelAllExtract, true));
}

TEST_F(SettingsTest, JobSettingsComeFromTheStoreAndDefaultToOn) {
    JobSettings defaults = ReadJobSettings();
    EXPECT_TRUE(defaults.useParallelAllExtract);
    EXPECT_TRUE(defaults.useParallelTempFolder);
    ASSERT_TRUE(WriteDword(kSettingUseParallelTempFolder, 0));
    JobSettings stored = ReadJobSettings();
    EXPECT_TRUE(stored.useParallelAllExtract);
    EXPECT_FALSE(stored.useParallelTempFolder);
}

TEST_F(SettingsTest, WelcomeTextOf511CharactersReadsBackAnd512DoNot) {
    std::wstring text;
    ASSERT_TRUE(WriteString(kSettingWelcomeMsg, std::wstring(511, L'가')));
    ASSERT_TRUE(ReadString(kSettingWelcomeMsg, text));
    EXPECT_EQ(text, std::wstring(511, L'가'));

    ASSERT_TRUE(WriteString(kSettingWelcomeMsg, std::wstring(512, L'가')));
    EXPECT_FALSE(ReadString(kSettingWelcomeMsg, text));
    GlobalSettings settings;
    LoadSettings(settings);
    EXPECT_EQ(settings.welcomeMsg, kDefaultWelcomeMsg);

    ASSERT_TRUE(WriteString(kSettingWelcomeMsg, L""));
    LoadSettings(settings);
    EXPECT_EQ(settings.welcomeMsg, L"");
}

TEST_F(SettingsTest, StringsWithoutTheirTerminatorAreRefused) {
    RegistryKey key;
    ASSERT_EQ(key.Create(kSettingsKey, RegistryAccess::Write), Platform::kRegistryOk);
    // The bytes after the stated size are not NUL, so that Windows does not count a terminator in for us.
    const std::uint8_t unterminated[] = {'a', 0, 'b', 0, 'c', 0};
    const std::uint8_t odd[] = {'a', 0, 0, 'x'};
    ASSERT_EQ(key.SetValue(L"Unterminated", Platform::kRegistryTypeString, unterminated, 4), Platform::kRegistryOk);
    ASSERT_EQ(key.SetValue(L"Odd", Platform::kRegistryTypeString, odd, 3), Platform::kRegistryOk);
    ASSERT_EQ(key.SetDword(L"Number", 5), Platform::kRegistryOk);
    std::wstring text = L"unchanged";
    EXPECT_FALSE(ReadString(L"Unterminated", text));
    EXPECT_FALSE(ReadString(L"Odd", text));
    EXPECT_FALSE(ReadString(L"Number", text));
    EXPECT_EQ(text, L"unchanged");
}

TEST_F(SettingsTest, BlockSaveIsWhatTheNextStartLoads) {
    GlobalSettings saved;
    saved.windowX = -8;
    saved.windowY = 20;
    saved.windowW = 1024;
    saved.windowH = 700;
    saved.windowMaximized = true;
    saved.welcomeMsg = L"안녕하세요";
    saved.codePage = -1;
    SaveSettings(saved);

    std::uint32_t codePage = 0;
    ASSERT_TRUE(ReadDword(kSettingCodePage, codePage));
    EXPECT_EQ(codePage, 0xFFFFFFFFu);

    GlobalSettings loaded;
    loaded.codePage = 949;
    LoadSettings(loaded);
    EXPECT_EQ(loaded.windowX, -8);
    EXPECT_EQ(loaded.windowW, 1024);
    EXPECT_TRUE(loaded.windowMaximized);
    EXPECT_EQ(loaded.welcomeMsg, L"안녕하세요");
    EXPECT_EQ(loaded.codePage, -1);

    // With the position not remembered, the stored rectangle is neither written nor read.
    GlobalSettings forgetful;
    forgetful.rememberWindowPos = false;
    forgetful.windowX = 500;
    SaveSettings(forgetful);
    std::uint32_t x = 0;
    ASSERT_TRUE(ReadDword(kSettingWindowX, x));
    EXPECT_EQ(static_cast<std::int32_t>(x), -8);
    GlobalSettings next;
    LoadSettings(next);
    EXPECT_FALSE(next.rememberWindowPos);
    EXPECT_EQ(next.windowX, -1);
}

}  // namespace
}  // namespace Arkova
