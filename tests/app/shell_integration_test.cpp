// The shell integration writes exactly the keys and texts the shell reads, removes only what it wrote, and reports
// keys it could not write or remove; deleting a tree always ends, even when a sub-key refuses to go.
#include <gtest/gtest.h>

#include "app/shell_integration.h"
#include "platform/debug_output.h"
#include "platform/registry.h"
#include "platform/shell_notify.h"
#include "support/registry_sandbox.h"

namespace Arkova {
namespace {

using Platform::RegistryAccess;
using Platform::RegistryKey;

constexpr wchar_t kProgram[] = L"C:\\Program Files\\Arkova\\arkova.exe";
const std::wstring kZipVerbs = L"Software\\Classes\\SystemFileAssociations\\.zip\\shell\\";

bool KeyExists(const std::wstring& path) {
    RegistryKey key;
    return key.Open(path, RegistryAccess::Read) == Platform::kRegistryOk;
}

// The value as text with its type and size, or "<absent>".
std::wstring Value(const std::wstring& path, const std::wstring& name = L"") {
    RegistryKey key;
    if (key.Open(path, RegistryAccess::Read) != Platform::kRegistryOk) return L"<no key>";
    std::uint8_t buffer[2048] = {};
    std::uint32_t type = 0;
    std::uint32_t size = sizeof buffer;
    if (key.QueryValue(name, &type, buffer, &size) != Platform::kRegistryOk) return L"<absent>";
    if (type != Platform::kRegistryTypeString) return L"<type " + std::to_wstring(type) + L">";
    return Platform::RegistryStringFromBytes(buffer, size) + L"|" + std::to_wstring(size);
}

std::wstring Sz(const std::wstring& text) { return text + L"|" + std::to_wstring((text.size() + 1) * 2); }

void CreateKey(const std::wstring& path, const std::wstring& text = L"x") {
    RegistryKey key;
    ASSERT_EQ(key.Create(path, RegistryAccess::Write), Platform::kRegistryOk) << std::string(path.begin(), path.end());
    ASSERT_EQ(key.SetString(L"", text), Platform::kRegistryOk);
}

class ShellIntegrationTest : public ::testing::Test {
protected:
    Testing::RegistrySandbox sandbox_;
};

TEST_F(ShellIntegrationTest, ProgIdAndOpenWithEntriesQuoteTheProgramAndLeaveTheDefaultHandler) {
    CreateKey(L"Software\\Classes\\.zip", L"OtherArchiver.zip");
    ASSERT_TRUE(RegisterProgId(kProgram));
    ASSERT_TRUE(AddOpenWithProgId(L".zip"));

    const std::wstring progId = L"Software\\Classes\\Arkova.Archive";
    const std::wstring quoted = L"\"C:\\Program Files\\Arkova\\arkova.exe\"";
    EXPECT_EQ(Value(progId), Sz(L"Arkova Archive"));
    EXPECT_EQ(Value(progId + L"\\DefaultIcon"), Sz(std::wstring(kProgram) + L",0"));
    EXPECT_EQ(Value(progId + L"\\shell"), Sz(L"open"));
    EXPECT_EQ(Value(progId + L"\\shell\\open\\command"), Sz(quoted + L" \"%1\""));
    EXPECT_EQ(Value(progId + L"\\shell\\extracthere"), Sz(L"Extract Here"));
    EXPECT_EQ(Value(progId + L"\\shell\\extracthere\\command"), Sz(quoted + L" /extracthere \"%1\""));
    EXPECT_EQ(Value(progId + L"\\shell\\extractto"), Sz(L"Extract to Folder..."));
    EXPECT_EQ(Value(progId + L"\\shell\\extractto\\command"), Sz(quoted + L" /extractto \"%1\""));

    EXPECT_EQ(Value(L"Software\\Classes\\.zip\\OpenWithProgids", L"Arkova.Archive"), L"|0");
    EXPECT_EQ(Value(L"Software\\Classes\\.zip"), Sz(L"OtherArchiver.zip"));

    EXPECT_TRUE(RemoveOpenWithProgId(L".zip"));
    EXPECT_EQ(Value(L"Software\\Classes\\.zip\\OpenWithProgids", L"Arkova.Archive"), L"<absent>");
    EXPECT_FALSE(RemoveOpenWithProgId(L".7z"));
}

TEST_F(ShellIntegrationTest, ContextMenuForOneExtensionWritesFourVerbs) {
    unsigned notificationsBefore = Platform::AssociationChangeNotifications();
    ASSERT_TRUE(RegisterContextMenu({L".zip"}, kProgram));
    EXPECT_EQ(Platform::AssociationChangeNotifications(), notificationsBefore + 1);

    RegistryKey shell;
    ASSERT_EQ(shell.Open(L"Software\\Classes\\SystemFileAssociations\\.zip\\shell", RegistryAccess::Read),
              Platform::kRegistryOk);
    std::wstring name;
    EXPECT_EQ(shell.EnumSubKey(3, name), Platform::kRegistryOk);
    EXPECT_EQ(shell.EnumSubKey(4, name), Platform::kRegistryNoMoreItems);

    const std::wstring quoted = L"\"C:\\Program Files\\Arkova\\arkova.exe\" ";
    EXPECT_EQ(Value(kZipVerbs + L"Arkova1_ExtractNewFolder"), Sz(L"압축 풀기 (폴더 자동 생성)\t(&E)"));
    EXPECT_EQ(Value(kZipVerbs + L"Arkova2_ExtractHere"), Sz(L"압축 풀기 (현재 폴더)\t(&X)"));
    EXPECT_EQ(Value(kZipVerbs + L"Arkova3_ExtractTo"), Sz(L"아르코반으로 압축 풀기\t(&F)"));
    EXPECT_EQ(Value(kZipVerbs + L"Arkova4_Open"), Sz(L"아르코반으로 열기\t(&H)"));
    EXPECT_EQ(Value(kZipVerbs + L"Arkova2_ExtractHere", L"Icon"), Sz(kProgram));
    EXPECT_EQ(Value(kZipVerbs + L"Arkova1_ExtractNewFolder", L"SeparatorBefore"), L"|2");
    EXPECT_EQ(Value(kZipVerbs + L"Arkova1_ExtractNewFolder", L"SeparatorAfter"), L"<absent>");
    EXPECT_EQ(Value(kZipVerbs + L"Arkova2_ExtractHere", L"SeparatorBefore"), L"<absent>");
    EXPECT_EQ(Value(kZipVerbs + L"Arkova4_Open", L"SeparatorAfter"), L"|2");
    EXPECT_EQ(Value(kZipVerbs + L"Arkova1_ExtractNewFolder\\command"), Sz(quoted + L"/extractnewfolder \"%1\""));
    EXPECT_EQ(Value(kZipVerbs + L"Arkova3_ExtractTo\\command"), Sz(quoted + L"/extractto \"%1\""));
    EXPECT_EQ(Value(kZipVerbs + L"Arkova4_Open\\command"), Sz(quoted + L"\"%1\""));

    EXPECT_TRUE(IsContextMenuRegistered(L".zip"));
    EXPECT_FALSE(IsContextMenuRegistered(L".7z"));
}

TEST_F(ShellIntegrationTest, EachRemovalTakesOnlyWhatItWrote) {
    ASSERT_TRUE(RegisterContextMenu({L".zip", L".alz"}, kProgram));
    ASSERT_TRUE(RegisterProgId(kProgram));
    for (const std::wstring& extension : RegistrableExtensions()) ASSERT_TRUE(AddOpenWithProgId(extension));

    EXPECT_TRUE(UnregisterFileAssociations());
    EXPECT_FALSE(KeyExists(L"Software\\Classes\\Arkova.Archive"));
    EXPECT_TRUE(KeyExists(L"Software\\Classes\\.wim\\OpenWithProgids"));
    EXPECT_EQ(Value(L"Software\\Classes\\.wim\\OpenWithProgids", L"Arkova.Archive"), L"<absent>");
    EXPECT_TRUE(IsContextMenuRegistered(L".zip"));
    EXPECT_TRUE(IsContextMenuRegistered(L".alz"));

    // Verbs of older versions go too, under both places; other programs' verbs stay.
    CreateKey(kZipVerbs + L"ArkovaTest\\command");
    CreateKey(L"Software\\Classes\\.egg\\shell\\ArkovaOpen\\command");
    CreateKey(L"Software\\Classes\\.egg\\shell\\OtherTool\\command");
    EXPECT_TRUE(UnregisterContextMenu());
    EXPECT_FALSE(IsContextMenuRegistered(L".zip"));
    EXPECT_FALSE(IsContextMenuRegistered(L".alz"));
    EXPECT_FALSE(KeyExists(kZipVerbs + L"ArkovaTest"));
    EXPECT_FALSE(KeyExists(kZipVerbs + L"Arkova4_Open"));
    EXPECT_FALSE(KeyExists(L"Software\\Classes\\.egg\\shell\\ArkovaOpen"));
    EXPECT_TRUE(KeyExists(L"Software\\Classes\\.egg\\shell\\OtherTool\\command"));
    EXPECT_TRUE(KeyExists(L"Software\\Classes\\SystemFileAssociations\\.zip\\shell"));

    // Nothing left to remove is no failure.
    EXPECT_TRUE(UnregisterContextMenu());
}

TEST_F(ShellIntegrationTest, TreesAreDeletedDeepestFirstAndMissingOnesQuietly) {
    std::wstring log;
    Platform::SetDebugOutputSink([&log](std::wstring_view text) { log.append(text); });
    CreateKey(L"Software\\Tree\\a\\b\\c");
    CreateKey(L"Software\\Tree\\a\\d");
    CreateKey(L"Software\\Tree\\e");
    CreateKey(L"Software\\Treetop");
    EXPECT_TRUE(DeleteRegistryTree(L"Software\\Tree"));
    EXPECT_FALSE(KeyExists(L"Software\\Tree"));
    EXPECT_TRUE(KeyExists(L"Software\\Treetop"));

    EXPECT_FALSE(DeleteRegistryTree(L"Software\\Tree"));
    EXPECT_EQ(RemoveRegistryTree(L"Software\\Tree"), RegistryTreeRemoval::Missing);
    Platform::SetDebugOutputSink(nullptr);
    EXPECT_EQ(log, L"");
}

TEST_F(ShellIntegrationTest, KeysThatRefuseChangeEndTheWalkAndAreReported) {
    CreateKey(L"Software\\Tree\\a\\stuck");
    CreateKey(L"Software\\Tree\\b");
    CreateKey(kZipVerbs + L"Arkova2_ExtractHere");
    if (!sandbox_.LockKey(L"Software\\Tree\\a\\stuck") || !sandbox_.LockKey(kZipVerbs + L"Arkova2_ExtractHere")) {
        GTEST_SKIP() << "this system does not enforce key permissions";
    }

    EXPECT_EQ(RemoveRegistryTree(L"Software\\Tree"), RegistryTreeRemoval::Failed);
    EXPECT_FALSE(DeleteRegistryTree(L"Software\\Tree"));
    EXPECT_TRUE(KeyExists(L"Software\\Tree\\a\\stuck"));

    EXPECT_FALSE(RegisterContextMenu({L".zip"}, kProgram));
    EXPECT_FALSE(UnregisterContextMenu());
    EXPECT_TRUE(KeyExists(kZipVerbs + L"Arkova2_ExtractHere"));

    sandbox_.UnlockAll();
    EXPECT_TRUE(DeleteRegistryTree(L"Software\\Tree"));
    EXPECT_TRUE(UnregisterContextMenu());
}

}  // namespace
}  // namespace Arkova
