// arkova-cli config shows what the program will use, stores only values of the right kind, and /register and
// /unregister leave the store as the Windows program's switches would.
#include <gtest/gtest.h>

#include "app/settings.h"
#include "app/shell_integration.h"
#include "cli/commands.h"
#include "cli/config_command.h"
#include "cli/register_command.h"
#include "platform/registry.h"
#include "support/registry_sandbox.h"
#include "support/scripted_console.h"

namespace Arkova {
namespace {

class ConfigCommandTest : public ::testing::Test {
protected:
    int Config(std::vector<std::wstring> arguments) {
        console_.out.clear();
        console_.err.clear();
        return Cli::RunConfig(arguments, console_);
    }

    Testing::RegistrySandbox sandbox_;
    Testing::ScriptedConsole console_;
};

TEST_F(ConfigCommandTest, ListsEverySettingWithDefaultsMarked) {
    ASSERT_TRUE(WriteDword(kSettingCloseDialogOnFinished, 1));
    ASSERT_TRUE(WriteString(L"RecentFolder0", L"/data/out"));
    EXPECT_EQ(Config({}), Cli::kExitOk);
    EXPECT_EQ(console_.out,
              L"RememberWindowPos = 1 (default)\n"
              L"WindowX = -1 (default)\n"
              L"WindowY = -1 (default)\n"
              L"WindowW = -1 (default)\n"
              L"WindowH = -1 (default)\n"
              L"WindowMaximized = 0 (default)\n"
              L"WelcomeMsg = 초고속 통합압축 프로그램 (default)\n"
              L"CodePage = -1 (default)\n"
              L"UseParallelAllExtract = 1 (default)\n"
              L"UseParallelTempFolder = 1 (default)\n"
              L"CloseDialogOnFinished = 1\n"
              L"OpenDestFolderOnFinished = 0 (default)\n"
              L"RecentFolder0 = /data/out\n");
}

TEST_F(ConfigCommandTest, StoresValuesOfTheRightKindThatTheProgramThenReads) {
    EXPECT_EQ(Config({L"windowx", L"-1200"}), Cli::kExitOk);
    EXPECT_EQ(console_.out, L"WindowX = -1200\n");
    EXPECT_EQ(Config({L"CodePage", L"949"}), Cli::kExitOk);
    EXPECT_EQ(Config({L"WelcomeMsg", L"어서 오세요"}), Cli::kExitOk);
    EXPECT_EQ(Config({L"UseParallelTempFolder", L"0"}), Cli::kExitOk);

    GlobalSettings settings;
    LoadSettings(settings);
    EXPECT_EQ(settings.windowX, -1200);
    EXPECT_EQ(settings.codePage, 949);
    EXPECT_EQ(settings.welcomeMsg, L"어서 오세요");
    EXPECT_FALSE(ReadFlag(kSettingUseParallelTempFolder, true));
    EXPECT_EQ(Config({L"WelcomeMsg"}), Cli::kExitOk);
    EXPECT_EQ(console_.out, L"WelcomeMsg = 어서 오세요\n");

    EXPECT_EQ(Config({L"CodePage", L"-1"}), Cli::kExitOk);
    std::uint32_t raw = 0;
    ASSERT_TRUE(ReadDword(kSettingCodePage, raw));
    EXPECT_EQ(raw, 0xFFFFFFFFu);
}

TEST_F(ConfigCommandTest, RefusesUnknownNamesAndValuesOfTheWrongKind) {
    const std::vector<std::vector<std::wstring>> refused = {
        {L"NoSuchSetting"},
        {L"NoSuchSetting", L"1"},
        {L"RememberWindowPos", L"2"},
        {L"RememberWindowPos", L"yes"},
        {L"WindowX", L"2147483648"},
        {L"WindowX", L"12px"},
        {L"WindowX", L""},
        {L"CodePage", L"1200"},
        {L"WelcomeMsg", std::wstring(512, L'가')},
        {L"WindowX", L"1", L"2"},
    };
    for (const auto& arguments : refused) {
        EXPECT_EQ(Config(arguments), Cli::kExitUsageOrOpen) << arguments.size();
        EXPECT_FALSE(console_.err.empty());
    }
    Platform::RegistryKey key;
    EXPECT_EQ(key.Open(kSettingsKey, Platform::RegistryAccess::Read), Platform::kRegistryNotFound);
    EXPECT_EQ(Config({L"WelcomeMsg", std::wstring(511, L'가')}), Cli::kExitOk);
}

TEST_F(ConfigCommandTest, RegisterAndUnregisterReportAndLeaveTheContextMenu) {
    ASSERT_TRUE(RegisterContextMenu({L".zip"}));
    EXPECT_EQ(Cli::RunRegister(console_), Cli::kExitOk);
    EXPECT_EQ(console_.out, L"Shell integration registered successfully.\n");
    Platform::RegistryKey key;
    EXPECT_EQ(key.Open(L"Software\\Classes\\Arkova.Archive\\shell\\open\\command", Platform::RegistryAccess::Read),
              Platform::kRegistryOk);
    std::uint32_t size = 1;
    EXPECT_EQ(key.Open(L"Software\\Classes\\.egg\\OpenWithProgids", Platform::RegistryAccess::Read),
              Platform::kRegistryOk);
    EXPECT_EQ(key.QueryValue(L"Arkova.Archive", nullptr, nullptr, &size), Platform::kRegistryOk);
    EXPECT_EQ(size, 0u);

    console_.out.clear();
    EXPECT_EQ(Cli::RunUnregister(console_), Cli::kExitOk);
    EXPECT_EQ(console_.out, L"Shell integration unregistered successfully.\n");
    EXPECT_EQ(key.Open(L"Software\\Classes\\Arkova.Archive", Platform::RegistryAccess::Read),
              Platform::kRegistryNotFound);
    EXPECT_TRUE(IsContextMenuRegistered(L".zip"));
}

TEST_F(ConfigCommandTest, RegisterFailureIsReportedWithExitStatusZero) {
    ASSERT_TRUE(WriteDword(kSettingCodePage, 0));
    if (!sandbox_.LockKey(L"Software")) GTEST_SKIP() << "this system does not enforce key permissions";
    EXPECT_EQ(Cli::RunRegister(console_), Cli::kExitOk);
    Platform::RegistryKey key;
    if (key.Open(L"Software\\Classes\\Arkova.Archive", Platform::RegistryAccess::Read) == Platform::kRegistryOk) {
        GTEST_SKIP() << "this system lets a locked key gain sub-keys";
    }
    EXPECT_EQ(console_.err, L"Failed to register shell integration.\n");
    EXPECT_EQ(console_.out, L"");
}

}  // namespace
}  // namespace Arkova
