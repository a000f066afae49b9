// The program as a user starts it: the main window's welcome and browser states, what a failed open leaves
// behind, closing the archive, and every command-line action end to end (extract here, into a new folder, to a
// chosen folder, test, register and unregister), with the job windows answered as a user would.
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "app/settings.h"
#include "app/shell_integration.h"
#include "app/win32/application.h"
#include "fixtures.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "resource.h"
#include "support/alz_writer.h"
#include "support/egg_writer.h"
#include "support/registry_sandbox.h"
#include "support/scratch_folder.h"
#include "support/win32/control_readers.h"
#include "support/win32/dialog_answerer.h"
#include "support/win32/pump_until.h"
#include "support/win32/recording_shell.h"
#include "support/win32/screenshot.h"
#include "support/zip_writer.h"
#include "ui/win32/gdiplus.h"

namespace Arkova {
namespace {

using Testing::DialogAnswerer;
using Testing::IsShown;
using Testing::ReadText;
using Testing::ShownDialog;
using Testing::WindowText;

std::string Cp949(const std::wstring& text) { return Platform::WideToMultiByte(text, 949); }

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Finished job windows close themselves, so a command-line extraction returns to the test.
        WriteDword(kSettingCloseDialogOnFinished, 1);
        Globals() = GlobalSettings{};
        ASSERT_TRUE(Testing::AlzWriter()
                        .ArchiveHeader()
                        .Folder(Cp949(L"문서"))
                        .File(Cp949(L"문서\\안내.txt"), "hello")
                        .File("readme.txt", "stored", 0)
                        .WriteTo(archive_));
    }
    // Starts the program as `arguments` would, the program path first.
    bool Start(const std::wstring& arguments) {
        return application_.Init(L"arkova.exe " + arguments, arguments, SW_SHOWNORMAL);
    }
    MainWindow& Window() { return *application_.Window(); }
    HWND Item(int id) { return ::GetDlgItem(Window().Handle(), id); }
    std::wstring Quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

    GdiplusSession gdiplus_;
    Testing::RegistrySandbox registry_;
    Testing::ScratchFolder folder_;
    Testing::RecordingShell shell_;
    std::wstring archive_ = folder_ / L"샘플.alz";
    Application application_{shell_};
};

TEST_F(MainWindowTest, StartsOnTheWelcomePanelAndShowsAnArchiveUntilItIsClosed) {
    ASSERT_TRUE(Start(L""));
    HWND frame = Window().Handle();
    EXPECT_EQ(WindowText(frame), L"아르코반 Arkova");
    EXPECT_TRUE(Window().WelcomeShown());
    EXPECT_FALSE(IsShown(Item(IDC_MAIN_TOOLBAR)));
    EXPECT_FALSE(IsShown(Item(IDC_MAIN_TREE)));
    EXPECT_FALSE(IsShown(Item(IDC_MAIN_LIST)));
    Testing::SaveScreenshot(frame, L"main-welcome");

    ASSERT_TRUE(Window().OpenArchiveFile(archive_));
    EXPECT_EQ(WindowText(frame), L"Arkova - 샘플.alz");
    EXPECT_FALSE(Window().WelcomeShown());
    EXPECT_TRUE(IsShown(Item(IDC_MAIN_TOOLBAR)));
    EXPECT_TRUE(IsShown(Item(IDC_MAIN_TREE)));
    EXPECT_TRUE(IsShown(Item(IDC_MAIN_LIST)));
    EXPECT_TRUE(IsShown(Item(IDC_MAIN_SEARCH))) << "the search bar comes with the browser";
    ::SendMessageW(frame, WM_COMMAND, IDM_STATUS_OPEN_LOCATION, 0);
    EXPECT_EQ(shell_.selected, std::vector<std::wstring>{archive_}) << "the status bar's button";

    // A failed open says why and leaves the archive that was open.
    {
        DialogAnswerer answerer([](ShownDialog& dialog) { dialog.Press(IDOK); });
        EXPECT_FALSE(Window().OpenArchiveFile(folder_ / L"없음.zip"));
        ASSERT_EQ(answerer.Seen().size(), 1u);
        EXPECT_EQ(answerer.Seen()[0].caption, L"오류");
        EXPECT_EQ(answerer.Seen()[0].text,
                  L"압축 파일을 열 수 없습니다: " + (folder_ / L"없음.zip") + L"\n오류 코드: FileNotFound");
    }
    EXPECT_EQ(WindowText(frame), L"Arkova - 샘플.alz");
    EXPECT_TRUE(Window().Session().HasOpenArchive());

    ::SendMessageW(frame, WM_COMMAND, IDM_FILE_CLOSE, 0);
    EXPECT_EQ(WindowText(frame), L"Arkova");
    EXPECT_TRUE(Window().WelcomeShown());
    EXPECT_FALSE(Window().Session().HasOpenArchive());

    // Extracting with nothing open asks to open an archive first.
    DialogAnswerer answerer([](ShownDialog& dialog) { dialog.Press(IDOK); });
    ::SendMessageW(frame, WM_COMMAND, IDM_TOOLBAR_EXTRACT, 0);
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(answerer.Seen()[0].text, L"먼저 압축 파일을 열어주세요.");
}

std::vector<std::wstring> Column(const std::vector<std::vector<std::wstring>>& rows, size_t column) {
    std::vector<std::wstring> texts;
    for (const auto& row : rows) texts.push_back(row.at(column));
    return texts;
}

TEST_F(MainWindowTest, TheBrowserFollowsTheTreeTheCodePageTheViewTheSearchAndTheSort) {
    ASSERT_TRUE(Testing::AlzWriter()
                    .ArchiveHeader()
                    .Folder(Cp949(L"문서"))
                    .File(Cp949(L"문서\\안내.txt"), "hello")
                    .File("readme.txt", "stored", 0)
                    .File("data\\numbers.csv", std::string(5000, '7'))
                    .File("big.bin", std::string(20000, 'x'), 0)
                    .WriteTo(archive_));
    ASSERT_TRUE(Start(Quoted(archive_)));
    HWND frame = Window().Handle();
    HWND list = Item(IDC_MAIN_LIST);
    std::vector<Testing::TreeRow> tree = Testing::TreeItems(Item(IDC_MAIN_TREE));
    ASSERT_GE(tree.size(), 3u);
    EXPECT_EQ(tree[0].text, L"샘플.alz");
    EXPECT_EQ(tree[1].text, L"data") << "a folder only implied by a path is in the tree too";
    EXPECT_EQ(tree[2].text, L"문서");
    EXPECT_EQ(Column(Testing::ListViewRows(list), 0),
              (std::vector<std::wstring>{L"data", L"문서", L"big.bin", L"readme.txt"}))
        << "folders first, then files by name";
    EXPECT_EQ(Window().Status().Text(StatusBar::kArchivePart).rfind(L"파일: 4, 폴더: 1, 압축 파일 크기: ", 0), 0u);

    // The tree's selection shows that folder; a folder row opens on Enter or a double click.
    NMITEMACTIVATE activate{};
    activate.hdr = {list, IDC_MAIN_LIST, LVN_ITEMACTIVATE};
    activate.iItem = 1;
    ListView_SetItemState(list, 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ::SendMessageW(frame, WM_NOTIFY, IDC_MAIN_LIST, reinterpret_cast<LPARAM>(&activate));
    EXPECT_EQ(Window().Browser().CurrentFolder(), L"문서");
    EXPECT_EQ(Column(Testing::ListViewRows(list), 0), std::vector<std::wstring>{L"안내.txt"});
    Testing::SaveScreenshot(frame, L"main-details-folder");

    ::SendMessageW(frame, WM_COMMAND, IDM_VIEW_LARGE_ICONS, 0);
    EXPECT_EQ(::SendMessageW(list, LVM_GETVIEW, 0, 0), LV_VIEW_ICON);
    Testing::SaveScreenshot(frame, L"main-icons");
    ::SendMessageW(frame, WM_COMMAND, IDM_VIEW_DETAILS, 0);
    EXPECT_EQ(::SendMessageW(list, LVM_GETVIEW, 0, 0), LV_VIEW_DETAILS);

    // Back at the root through the tree.
    HWND treeWindow = Item(IDC_MAIN_TREE);
    TreeView_SelectItem(treeWindow, TreeView_GetRoot(treeWindow));
    EXPECT_EQ(Window().Browser().CurrentFolder(), L"");

    // A click on "원본 크기" sorts the files by size, folders still first; a second click reverses it.
    NMLISTVIEW click{};
    click.hdr = {list, IDC_MAIN_LIST, LVN_COLUMNCLICK};
    click.iSubItem = 2;
    ::SendMessageW(frame, WM_NOTIFY, IDC_MAIN_LIST, reinterpret_cast<LPARAM>(&click));
    EXPECT_EQ(Column(Testing::ListViewRows(list), 0),
              (std::vector<std::wstring>{L"data", L"문서", L"readme.txt", L"big.bin"}));
    ::SendMessageW(frame, WM_NOTIFY, IDC_MAIN_LIST, reinterpret_cast<LPARAM>(&click));
    EXPECT_EQ(Column(Testing::ListViewRows(list), 0),
              (std::vector<std::wstring>{L"data", L"문서", L"big.bin", L"readme.txt"}));

    // The search filters the folder's rows a moment after typing and counts them.
    ::SetWindowTextW(Item(IDC_MAIN_SEARCH), L"read");
    EXPECT_TRUE(Testing::PumpUntil([&] { return Testing::ListViewRows(list).size() == 1; }));
    EXPECT_EQ(Window().Status().Text(StatusBar::kSelectionPart), L"1 items found");
    Testing::SaveScreenshot(frame, L"main-search");
    ::SendMessageW(Item(IDC_MAIN_SEARCH_CLEAR), BM_CLICK, 0, 0);
    EXPECT_EQ(Testing::ListViewRows(list).size(), 4u);

    ::ShowWindow(frame, SW_MAXIMIZE);
    Testing::SaveScreenshot(frame, L"main-maximized");
}

// The library decodes a ZIP's names in the chosen code page (ALZ and EGG names are always in the system's).
TEST_F(MainWindowTest, AnotherCodePageReadsTheNamesAgainAndIsSaved) {
    Testing::ZipWriter zip;
    zip.File(Cp949(L"문서/안내.txt"), "hello");
    ASSERT_TRUE(zip.Finish().WriteTo(folder_ / L"names.zip"));
    ASSERT_TRUE(Start(Quoted(folder_ / L"names.zip")));
    HWND frame = Window().Handle();
    auto folderName = [&] { return Testing::TreeItems(Item(IDC_MAIN_TREE)).at(1).text; };
    ::SendMessageW(frame, WM_COMMAND, IDM_CODEPAGE_FIRST + 4, 0);  // 한국어
    EXPECT_EQ(folderName(), L"문서");
    ::SendMessageW(frame, WM_COMMAND, IDM_CODEPAGE_FIRST + 1, 0);  // 일본어
    EXPECT_NE(folderName(), L"문서");
    std::uint32_t stored = 0;
    EXPECT_TRUE(ReadDword(kSettingCodePage, stored));
    EXPECT_EQ(stored, 932u);
    EXPECT_EQ(WindowText(frame), L"Arkova - names.zip");
}

// EGG, 7z and an archive whose names are encrypted: the last asks for the password before it can be listed.
TEST_F(MainWindowTest, EggSevenZipAndAnEncryptedListingOpen) {
    ASSERT_TRUE(Start(L""));
    Testing::EggWriter egg;
    egg.ArchiveHeader().Folder("docs").File("docs\\a.txt", "alpha").File("b.txt", "bravo");
    ASSERT_TRUE(egg.WriteTo(folder_ / L"a.egg"));
    ASSERT_TRUE(Window().OpenArchiveFile(folder_ / L"a.egg"));
    EXPECT_EQ(Column(Testing::ListViewRows(Item(IDC_MAIN_LIST)), 0), (std::vector<std::wstring>{L"docs", L"b.txt"}));

    ARKOVA_REQUIRE_FIXTURE(tree, L"tree.7z");
    ASSERT_TRUE(Window().OpenArchiveFile(tree));
    EXPECT_EQ(WindowText(Window().Handle()), L"Arkova - tree.7z");
    EXPECT_FALSE(Testing::ListViewRows(Item(IDC_MAIN_LIST)).empty());

    ARKOVA_REQUIRE_FIXTURE(hidden, L"encrypted-headers.7z");
    int rounds = 0;
    DialogAnswerer answerer([&](ShownDialog& dialog) {
        ++rounds;
        ::SetDlgItemTextW(dialog.Handle(), IDC_PASSWORD_EDIT, rounds == 1 ? L"wrong" : L"Secret");
        dialog.Press(IDOK);
    });
    ASSERT_TRUE(Window().OpenArchiveFile(hidden));
    EXPECT_EQ(rounds, 2) << "a wrong password is asked again";
    EXPECT_EQ(WindowText(Window().Handle()), L"Arkova - encrypted-headers.7z");
    EXPECT_EQ(Window().Session().archivePassword, L"Secret");
}

// A drop handle as the shell makes one, holding `paths`; the window frees it.
HDROP MakeDrop(const std::vector<std::wstring>& paths) {
    std::wstring list;
    for (const auto& path : paths) list += path + L'\0';
    list += L'\0';
    HGLOBAL memory = ::GlobalAlloc(GHND, sizeof(DROPFILES) + list.size() * sizeof(wchar_t));
    auto* drop = static_cast<DROPFILES*>(::GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::copy(list.begin(), list.end(), reinterpret_cast<wchar_t*>(drop + 1));
    ::GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

TEST_F(MainWindowTest, DroppedFilesOpenTheFirstAndClosingSavesThePlacement) {
    ASSERT_TRUE(Start(L""));
    HWND frame = Window().Handle();
    ::SendMessageW(frame, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({L"relative.alz"})), 0);
    EXPECT_TRUE(Window().WelcomeShown()) << "a relative path is not opened";
    ::SendMessageW(frame, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({archive_, folder_ / L"other.zip"})), 0);
    EXPECT_EQ(WindowText(frame), L"Arkova - 샘플.alz");

    ::SetWindowPos(frame, nullptr, 40, 30, 900, 600, SWP_NOZORDER);
    ::SendMessageW(frame, WM_CLOSE, 0, 0);
    EXPECT_FALSE(::IsWindow(frame));
    GlobalSettings saved;
    LoadSettings(saved);
    EXPECT_EQ((std::vector<int>{saved.windowX, saved.windowY, saved.windowW, saved.windowH}),
              (std::vector<int>{40, 30, 900, 600}));
    EXPECT_FALSE(saved.windowMaximized);
    MSG quit{};
    EXPECT_TRUE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "closing ends the program";
}

TEST_F(MainWindowTest, CommandLineExtractionsRunThroughTheJobWindowsAndLeaveTheArchiveShown) {
    ASSERT_TRUE(Start(L"/extracthere " + Quoted(archive_)));
    EXPECT_EQ(ReadText(folder_ / L"문서/안내.txt"), "hello");
    EXPECT_EQ(ReadText(folder_ / L"readme.txt"), "stored");
    EXPECT_EQ(WindowText(Window().Handle()), L"Arkova - 샘플.alz") << "the window stays open on the archive";

    Application second{shell_};
    ASSERT_TRUE(second.Init(L"arkova.exe -ExtractNewFolder " + Quoted(archive_), L"", SW_SHOWNORMAL));
    EXPECT_EQ(ReadText(folder_ / L"샘플/readme.txt"), "stored");

    // "extract to" asks for the folder first.
    ASSERT_TRUE(Platform::MakeDirectories(folder_ / L"chosen"));
    Application fourth{shell_};
    {
        DialogAnswerer answerer([&](ShownDialog& dialog) {
            if (dialog.Caption() != L"압축이 해제될 폴더") return;
            ::SetDlgItemTextW(dialog.Handle(), IDC_DEST_PATH, (folder_ / L"chosen").c_str());
            dialog.Press(IDOK);
        });
        ASSERT_TRUE(fourth.Init(L"arkova.exe /extractto " + Quoted(archive_), L"", SW_SHOWNORMAL));
    }
    EXPECT_EQ(ReadText(folder_ / L"chosen/문서/안내.txt"), "hello");

    std::vector<std::wstring> report;
    Application third{shell_};
    {
        DialogAnswerer answerer([&](ShownDialog& dialog) {
            if (::GetDlgItem(dialog.Handle(), IDC_PROGRESS_ITEM_BAR) != nullptr) return;
            report.push_back(dialog.Caption());
            report.push_back(dialog.ItemText(IDC_REPORT_SUMMARY));
            dialog.Press(IDOK);
        });
        ASSERT_TRUE(third.Init(L"arkova.exe /test " + Quoted(archive_), L"", SW_SHOWNORMAL));
    }
    EXPECT_EQ(report, (std::vector<std::wstring>{L"Archive Test Result - OK", L"샘플.alz\nAll 2 file(s) passed."}));
}

TEST_F(MainWindowTest, RegisterAndUnregisterEndAtTheirMessageWithoutAWindow) {
    DialogAnswerer answerer([](ShownDialog& dialog) { dialog.Press(IDOK); });
    EXPECT_FALSE(Start(L"/register"));
    EXPECT_EQ(application_.Window(), nullptr);
    Platform::RegistryKey progId;
    EXPECT_EQ(progId.Open(L"Software\\Classes\\Arkova.Archive", Platform::RegistryAccess::Read), Platform::kRegistryOk);
    Application again{shell_};
    EXPECT_FALSE(again.Init(L"arkova.exe /unregister", L"/unregister", SW_SHOWNORMAL));
    ASSERT_EQ(answerer.Seen().size(), 2u);
    EXPECT_EQ(answerer.Seen()[0].caption, L"Arkova");
    EXPECT_EQ(answerer.Seen()[0].text, L"Shell integration registered successfully.");
    EXPECT_EQ(answerer.Seen()[1].text, L"Shell integration unregistered successfully.");
    EXPECT_EQ(again.ExitCode(), 0);
}

TEST_F(MainWindowTest, QuietRegistrationShowsNoMessage) {
    DialogAnswerer answerer([](ShownDialog& dialog) { dialog.Press(IDOK); });
    EXPECT_FALSE(Start(L"/register /quiet"));
    EXPECT_EQ(application_.ExitCode(), 0);
    {
        Platform::RegistryKey registered;
        EXPECT_EQ(registered.Open(L"Software\\Classes\\Arkova.Archive", Platform::RegistryAccess::Read),
                  Platform::kRegistryOk);
    }
    Application again{shell_};
    EXPECT_FALSE(again.Init(L"arkova.exe -quiet /unregister", L"-quiet /unregister", SW_SHOWNORMAL));
    EXPECT_EQ(again.ExitCode(), 0);
    Platform::RegistryKey removed;
    EXPECT_NE(removed.Open(L"Software\\Classes\\Arkova.Archive", Platform::RegistryAccess::Read),
              Platform::kRegistryOk);
    EXPECT_TRUE(answerer.Seen().empty()) << "an installer has nobody to press OK";
}

TEST_F(MainWindowTest, ABarePathOpensTheArchiveAndAMissingOneOpensTheEmptyWindow) {
    ASSERT_TRUE(Start(Quoted(archive_)));
    EXPECT_TRUE(Window().Session().HasOpenArchive());
    Application missing{shell_};
    ASSERT_TRUE(
        missing.Init(L"arkova.exe " + Quoted(folder_ / L"없음.alz"), Quoted(folder_ / L"없음.alz"), SW_SHOWNORMAL));
    EXPECT_TRUE(missing.Window()->WelcomeShown()) << "no message, just the empty window";
}

}  // namespace
}  // namespace Arkova
