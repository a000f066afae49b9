// The options dialog's rules that need no window: the general page falls back to the right defaults and "저장"
// writes every extraction flag and the globals, never more than 255 units of welcome text and never half a
// character; the shell page's rows are the twelve types in order and follow the registry; the resize keeps the
// buttons in the corner and the list and pages stretching.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/settings.h"
#include "app/shell_integration.h"
#include "options/general_options_state.h"
#include "options/options_layout.h"
#include "options/shell_file_types.h"
#include "support/registry_sandbox.h"

namespace Arkova {
namespace {

std::uint32_t Stored(const wchar_t* name) {
    std::uint32_t value = 0xDEAD;
    return ReadDword(name, value) ? value : 0xDEAD;
}

TEST(GeneralOptionsState, DefaultsStoredFlagsAndSave) {
    Testing::RegistrySandbox sandbox;
    GlobalSettings globals;
    globals.rememberWindowPos = false;
    globals.welcomeMsg = L"안녕하세요";

    GeneralOptionsState shown = LoadGeneralOptions(globals);
    EXPECT_FALSE(shown.rememberWindowPos);
    EXPECT_TRUE(shown.contextMenuPreview);
    EXPECT_TRUE(shown.useParallelAllExtract);
    EXPECT_TRUE(shown.useParallelTempFolder);
    EXPECT_FALSE(shown.closeDialogOnFinished);
    EXPECT_FALSE(shown.openDestFolderOnFinished);
    EXPECT_EQ(shown.welcomeMsg, L"안녕하세요");

    // Saving unchanged defaults still writes all four flags, and the block with them.
    SaveGeneralOptions(shown, globals);
    EXPECT_EQ(Stored(kSettingUseParallelAllExtract), 1u);
    EXPECT_EQ(Stored(kSettingUseParallelTempFolder), 1u);
    EXPECT_EQ(Stored(kSettingCloseDialogOnFinished), 0u);
    EXPECT_EQ(Stored(kSettingOpenDestFolderOnFinished), 0u);
    EXPECT_EQ(Stored(kSettingRememberWindowPos), 0u);
    std::wstring text;
    ASSERT_TRUE(ReadString(kSettingWelcomeMsg, text));
    EXPECT_EQ(text, L"안녕하세요");

    // Any non-zero stored value reads as ticked; what is saved is exactly 0 or 1.
    WriteDword(kSettingCloseDialogOnFinished, 7);
    WriteDword(kSettingUseParallelAllExtract, 0);
    GeneralOptionsState stored = LoadGeneralOptions(globals);
    EXPECT_TRUE(stored.closeDialogOnFinished);
    EXPECT_FALSE(stored.useParallelAllExtract);
    stored.rememberWindowPos = true;
    stored.openDestFolderOnFinished = true;
    SaveGeneralOptions(stored, globals);
    EXPECT_TRUE(globals.rememberWindowPos);
    EXPECT_EQ(Stored(kSettingCloseDialogOnFinished), 1u);
    EXPECT_EQ(Stored(kSettingOpenDestFolderOnFinished), 1u);
    EXPECT_EQ(Stored(kSettingUseParallelAllExtract), 0u);
    EXPECT_EQ(Stored(kSettingRememberWindowPos), 1u);
    EXPECT_EQ(Stored(kSettingWindowX), static_cast<std::uint32_t>(-1));  // the rectangle goes with remembering
}

TEST(GeneralOptionsState, WelcomeTextIsCutAt255UnitsAndKeepsWholeCharacters) {
    Testing::RegistrySandbox sandbox;
    GlobalSettings globals;
    GeneralOptionsState state = LoadGeneralOptions(globals);
    state.welcomeMsg = std::wstring(300, L'환');
    SaveGeneralOptions(state, globals);
    EXPECT_EQ(globals.welcomeMsg, std::wstring(255, L'환'));
    std::wstring text;
    ASSERT_TRUE(ReadString(kSettingWelcomeMsg, text));
    EXPECT_EQ(text.size(), 255u);

    EXPECT_EQ(LimitWelcomeMessage(L""), L"");
    EXPECT_EQ(LimitWelcomeMessage(std::wstring(255, L'a')), std::wstring(255, L'a'));
    if constexpr (sizeof(wchar_t) == 2) {
        // U+1F600 as a pair that the cut would split: it goes as a whole.
        std::wstring split = std::wstring(254, L'a') + L"\xD83D\xDE00" + L"b";
        EXPECT_EQ(LimitWelcomeMessage(split), std::wstring(254, L'a'));
    }
}

TEST(ShellFileTypes, TwelveRowsInOrderFollowingTheRegistry) {
    std::vector<ShellFileType> types = DefaultShellFileTypes();
    ASSERT_EQ(types.size(), 12u);
    EXPECT_EQ(ShellFileTypeText(types.front()), L".zip - ZIP 압축 파일");
    EXPECT_EQ(ShellFileTypeText(types[4]), L".7z - 7-Zip 압축 파일");
    EXPECT_EQ(ShellFileTypeText(types.back()), L".wim - WIM 이미지");
    EXPECT_EQ(CheckedExtensions(types).size(), 12u);
    // The page offers exactly the extensions the shell integration knows, in its own order.
    for (const ShellFileType& type : types) {
        EXPECT_NE(std::ranges::find(RegistrableExtensions(), type.extension), RegistrableExtensions().end())
            << type.extension;
    }

    Testing::RegistrySandbox sandbox;
    ASSERT_TRUE(RegisterContextMenu({L".egg", L".iso"}, L"C:\\Arkova\\arkova.exe"));
    LoadRegistrationStates(types);
    EXPECT_EQ(CheckedExtensions(types), (std::vector<std::wstring>{L".egg", L".iso"}));
    ASSERT_TRUE(UnregisterContextMenu());
    LoadRegistrationStates(types);
    EXPECT_TRUE(CheckedExtensions(types).empty());
}

TEST(OptionsLayout, GrowsFromTheInitialLayout) {
    OptionsLayout initial{640, 400, {10, 10, 150, 350}, {160, 10, 630, 350}, {470, 362, 545, 390}, {555, 362, 630, 390}};
    EXPECT_EQ(ArrangeOptions(initial, 640, 400).pageList, initial.pageList);

    OptionsLayout grown = ArrangeOptions(initial, 800, 500);
    EXPECT_EQ(grown.pageList, (LayoutRect{10, 10, 150, 450}));  // width kept
    EXPECT_EQ(grown.page, (LayoutRect{160, 10, 790, 450}));
    EXPECT_EQ(grown.cancelButton, (LayoutRect{715, 462, 790, 490}));
    EXPECT_EQ(grown.saveButton, (LayoutRect{630, 462, 705, 490}));

    OptionsLayout tiny = ArrangeOptions(initial, 0, 0);
    EXPECT_GE(tiny.page.Width(), 0);
    EXPECT_GE(tiny.pageList.Height(), 0);
}

}  // namespace
}  // namespace Arkova
