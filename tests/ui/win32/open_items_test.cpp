// Entries leaving the browser, as the user and a drop target see it: a double-click opens a folder, hands an image
// to the external viewer with its exact command line, or extracts a file and opens it with its program, asking for
// the password first; a drag-out gives a target that peeks the bare names and extracts exactly the dragged rows
// once the drop happens; and no temporary folder outlives the window.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "app/settings.h"
#include "app/win32/application.h"
#include "fixtures.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "resource.h"
#include "support/registry_sandbox.h"
#include "support/scratch_folder.h"
#include "support/win32/control_readers.h"
#include "support/win32/dialog_answerer.h"
#include "support/win32/pump_until.h"
#include "support/win32/recording_shell.h"
#include "support/win32/screenshot.h"
#include "support/zip_writer.h"
#include "ui/win32/drag/data_object.h"
#include "ui/win32/drag/drag_out.h"
#include "ui/win32/drag/drop_source.h"
#include "ui/win32/gdiplus.h"

namespace Arkova {
namespace {

using Testing::DialogAnswerer;
using Testing::ReadText;
using Testing::ShownDialog;

const std::string kPng = "\x89PNG\r\n\x1a\n not really an image";

class OpenItemsTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Finished job windows close themselves, so a drop's extraction returns to the test.
        WriteDword(kSettingCloseDialogOnFinished, 1);
        Globals() = GlobalSettings{};
        Testing::ZipWriter zip;
        zip.Folder("docs/").File("docs/readme.txt", "hello docs").File("docs/pics/cat.png", kPng);
        zip.File("top.txt", "top bytes").File("photo.png", kPng);
        ASSERT_TRUE(zip.Finish().WriteTo(archive_));
    }
    bool Start(const std::wstring& archive) {
        const std::wstring arguments = L"\"" + archive + L"\"";
        return application_.Init(L"arkova.exe " + arguments, arguments, SW_SHOWNORMAL);
    }
    MainWindow& Window() { return *application_.Window(); }
    HWND List() { return ::GetDlgItem(Window().Handle(), IDC_MAIN_LIST); }
    // Closes the window as the user does; the quit message it posts would end the next test's modal loops.
    void Close() {
        ::SendMessageW(Window().Handle(), WM_CLOSE, 0, 0);
        MSG quit{};
        ::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }

    // Selects exactly the rows with these names.
    void Select(const std::vector<std::wstring>& names) {
        ListView_SetItemState(List(), -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        std::vector<std::vector<std::wstring>> rows = Testing::ListViewRows(List());
        for (const std::wstring& name : names) {
            auto row = std::find_if(rows.begin(), rows.end(), [&](const auto& cells) { return cells.at(0) == name; });
            ASSERT_NE(row, rows.end()) << Platform::WideToUtf8(name);
            ListView_SetItemState(List(), static_cast<int>(row - rows.begin()), LVIS_SELECTED | LVIS_FOCUSED,
                                  LVIS_SELECTED | LVIS_FOCUSED);
        }
    }
    // Double-clicks the row, as the list reports it (Enter reports the same).
    void Open(const std::wstring& name) {
        Select({name});
        NMITEMACTIVATE activate{};
        activate.hdr = {List(), IDC_MAIN_LIST, LVN_ITEMACTIVATE};
        activate.iItem = ListView_GetNextItem(List(), -1, LVNI_SELECTED);
        ::SendMessageW(Window().Handle(), WM_NOTIFY, IDC_MAIN_LIST, reinterpret_cast<LPARAM>(&activate));
    }

    GdiplusSession gdiplus_;
    Testing::RegistrySandbox registry_;
    Testing::ScratchFolder folder_;
    Testing::RecordingShell shell_;
    std::wstring archive_ = folder_ / L"묶음.zip";
    Application application_{shell_};
};

// The paths a file list block names.
std::vector<std::wstring> DroppedPaths(HGLOBAL block) {
    auto drop = static_cast<HDROP>(block);
    std::vector<std::wstring> paths;
    const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        wchar_t path[MAX_PATH] = L"";
        const UINT length = ::DragQueryFileW(drop, i, path, MAX_PATH);
        // Wine counts the empty list as one empty name.
        if (length > 0) paths.emplace_back(path, length);
    }
    return paths;
}

std::vector<std::wstring> GetFileList(IDataObject& data) {
    FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    if (data.GetData(&format, &medium) != S_OK) return {L"<GetData failed>"};
    EXPECT_EQ(medium.pUnkForRelease, nullptr);
    std::vector<std::wstring> paths = DroppedPaths(medium.hGlobal);
    ::ReleaseStgMedium(&medium);
    return paths;
}

bool IsUnder(const std::wstring& path, const std::wstring& folder) {
    return path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 && path[folder.size()] == L'\\';
}

TEST_F(OpenItemsTest, DoubleClicksOpenFoldersFilesWithTheirProgramAndImagesInTheViewer) {
    ASSERT_TRUE(Start(archive_));
    HWND frame = Window().Handle();
    Open(L"docs");
    EXPECT_EQ(Window().Browser().CurrentFolder(), L"docs");

    Open(L"readme.txt");
    ASSERT_EQ(shell_.files.size(), 1u);
    const auto opened = shell_.files[0];
    EXPECT_EQ(opened.parameters, L"");
    EXPECT_EQ(opened.ownerWindow, frame);
    const std::wstring arkovaTemp = Platform::JoinPath(Platform::TempDirectory(), L"Arkova");
    ASSERT_TRUE(IsUnder(opened.file, arkovaTemp)) << Platform::WideToUtf8(opened.file);
    const std::wstring guidFolder = opened.file.substr(0, opened.file.find_last_of(L'\\'));
    EXPECT_EQ(guidFolder.size(), arkovaTemp.size() + 1 + 32) << "a folder named by 32 hexadecimal digits";
    EXPECT_EQ(opened.file.substr(guidFolder.size()), L"\\readme.txt");
    EXPECT_EQ(ReadText(opened.file), "hello docs");

    // Without the viewer an image opens like any other file.
    Open(L"pics");
    Open(L"cat.png");
    ASSERT_EQ(shell_.files.size(), 2u);
    EXPECT_EQ(ReadText(shell_.files[1].file), kPng);
    EXPECT_NE(shell_.files[1].file.substr(0, guidFolder.size()), guidFolder) << "each opened entry gets a new folder";

    // With the viewer installed, the image goes to it and is never extracted.
    const std::wstring install = folder_ / L"Lumora";
    ASSERT_TRUE(Platform::MakeDirectories(install));
    ASSERT_TRUE(Testing::WriteText(install + L"\\LumoraAsync.exe", "MZ"));
    Platform::RegistryKey viewerKey;
    ASSERT_EQ(viewerKey.Create(L"Software\\Lumora", Platform::RegistryAccess::Write), Platform::kRegistryOk);
    ASSERT_EQ(viewerKey.SetString(L"InstallPath", install), Platform::kRegistryOk);
    const std::size_t foldersBefore = Window().Temporaries().Folders().size();
    Open(L"cat.png");
    ASSERT_EQ(shell_.files.size(), 3u);
    EXPECT_EQ(shell_.files[2].file, install + L"\\LumoraAsync.exe");
    EXPECT_EQ(shell_.files[2].parameters, L"-sel \"" + archive_ + L"::docs\\pics\\cat.png\"");
    EXPECT_EQ(Window().Temporaries().Folders().size(), foldersBefore);
    Testing::SaveScreenshot(frame, L"open-items-browser");

    // A viewer folder that holds no program is no viewer.
    ASSERT_EQ(viewerKey.SetString(L"InstallPath", folder_ / L"nothing"), Platform::kRegistryOk);
    Open(L"cat.png");
    ASSERT_EQ(shell_.files.size(), 4u);
    EXPECT_EQ(ReadText(shell_.files[3].file), kPng);

    // Every temporary folder goes with the window; nothing else of ours stays in the temporary folder.
    std::vector<std::wstring> made = Window().Temporaries().Folders();
    ASSERT_EQ(made.size(), 3u);
    Close();
    for (const std::wstring& folder : made) EXPECT_FALSE(Platform::PathExists(folder)) << Platform::WideToUtf8(folder);
    EXPECT_FALSE(Platform::PathExists(arkovaTemp));
}

TEST_F(OpenItemsTest, AFileOfAnArchiveWithEncryptedEntriesAsksForThePasswordFirst) {
    ARKOVA_REQUIRE_FIXTURE(encrypted, L"encrypted.zip");
    ASSERT_TRUE(Start(encrypted));
    Open(L"tree");
    {
        DialogAnswerer refuse([](ShownDialog& dialog) { dialog.Press(IDCANCEL); });
        Open(L"a.txt");
        EXPECT_EQ(refuse.Seen().size(), 1u);
    }
    EXPECT_TRUE(shell_.files.empty()) << "a refused password stops";
    EXPECT_TRUE(Window().Temporaries().Folders().empty()) << "and extracts nothing";

    {
        DialogAnswerer answer([](ShownDialog& dialog) {
            ::SetDlgItemTextW(dialog.Handle(), IDC_PASSWORD_EDIT, L"Secret");
            dialog.Press(IDOK);
        });
        Open(L"a.txt");
        EXPECT_EQ(answer.Seen().size(), 1u);
    }
    ASSERT_EQ(shell_.files.size(), 1u);
    EXPECT_EQ(ReadText(shell_.files[0].file), "alpha\n");
    EXPECT_EQ(Window().Session().archivePassword, L"Secret");

    // Known now: not asked again.
    DialogAnswerer none([](ShownDialog& dialog) { dialog.Press(IDCANCEL); });
    Open(L"a.txt");
    EXPECT_TRUE(none.Seen().empty());
    EXPECT_EQ(shell_.files.size(), 2u);
}

TEST_F(OpenItemsTest, TheDropSourceDropsOnlyOutsideTheProgramAndEscapeCancels) {
    ASSERT_TRUE(Start(archive_));
    HWND under = List();
    auto* source = new DropSource(Window().Handle(), [&] { return under; });
    DragState() = {};
    EXPECT_EQ(source->QueryContinueDrag(FALSE, MK_LBUTTON), S_OK);
    EXPECT_EQ(source->QueryContinueDrag(TRUE, MK_LBUTTON), DRAGDROP_S_CANCEL);
    EXPECT_EQ(source->GiveFeedback(DROPEFFECT_COPY), S_OK) << "the slashed circle over our own window";
    EXPECT_EQ(source->QueryContinueDrag(FALSE, 0), DRAGDROP_S_CANCEL) << "released over our own window";
    EXPECT_FALSE(DragState().dropConfirmed);
    under = ::GetDesktopWindow();
    EXPECT_EQ(source->GiveFeedback(DROPEFFECT_COPY), DRAGDROP_S_USEDEFAULTCURSORS);
    EXPECT_EQ(source->QueryContinueDrag(FALSE, 0), DRAGDROP_S_DROP);
    EXPECT_TRUE(DragState().dropConfirmed);
    source->Release();
    DragState() = {};

    // Files dropped on the window while our own drag runs are not an archive to open.
    const std::wstring other = folder_ / L"other.zip";
    ASSERT_TRUE(Testing::ZipWriter().File("x.txt", "x").Finish().WriteTo(other));
    HGLOBAL drop = MakeFileListBlock({other});
    DragState().dragInProgress = true;
    ::SendMessageW(Window().Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    DragState() = {};
    EXPECT_EQ(Window().Session().archivePath, archive_);
    ::SendMessageW(Window().Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeFileListBlock({other})), 0);
    EXPECT_EQ(Window().Session().archivePath, other) << "outside a drag the same drop opens it";
}

void SendButton(DWORD flags, LONG dx = 0) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    input.mi.dx = dx;
    ::SendInput(1, &input, sizeof(input));
}

// A drop target in a window of its own, as another program would be: it takes the file list when the drop comes.
// (Wine enters the target only as the button comes up, so what a target sees before the drop is checked by the next
// test.)
class RecordingDropTarget final : public IDropTarget {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (!IsEqualIID(id, IID_IUnknown) && !IsEqualIID(id, IID_IDropTarget)) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<IDropTarget*>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override {
        *effect = DROPEFFECT_COPY;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
        *effect = DROPEFFECT_COPY;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        dropped = GetFileList(*data);
        dragInProgressAtDrop = DragState().dragInProgress;
        *effect = DROPEFFECT_COPY;
        return S_OK;
    }

    std::vector<std::wstring> dropped;
    bool dragInProgressAtDrop = false;
};

TEST_F(OpenItemsTest, TheDragLoopHandsAnotherProgramTheExtractedFilesOnlyAtTheDrop) {
    ASSERT_HRESULT_SUCCEEDED(::OleInitialize(nullptr));
    ASSERT_TRUE(Start(archive_));
    Select({L"top.txt", L"docs"});
    HWND other = ::CreateWindowExW(WS_EX_TOPMOST, L"BUTTON", L"drop here", WS_POPUP | WS_VISIBLE | WS_BORDER, 1700, 900,
                                   300, 200, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(other, nullptr);
    RecordingDropTarget target;
    ASSERT_HRESULT_SUCCEEDED(::RegisterDragDrop(other, &target));
    // The user's gesture: the button goes down, the pointer reaches the window, the button comes up there.
    ::SetCursorPos(1850, 1000);
    SendButton(MOUSEEVENTF_LEFTDOWN);
    // The drag loop reads the button's state at once: wait until the press has arrived (Wine delivers injected
    // input later when earlier tests kept the display busy).
    ASSERT_TRUE(Testing::PumpUntil([] { return (::GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0; }));
    static int ticks = 0;
    ticks = 0;
    const UINT_PTR gesture = ::SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR, DWORD) {
        if (++ticks == 1) {
            SendButton(MOUSEEVENTF_MOVE, 1);
        } else if (ticks == 3) {
            SendButton(MOUSEEVENTF_LEFTUP);
        }
    });

    DragOutSetup setup = Window().DragSetup();
    setup.findDropFolder = [] { return std::wstring(); };
    const DWORD effect = RunDragOut(Window().DraggedItems(), setup, Window().Handle());
    ::KillTimer(nullptr, gesture);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_FALSE(DragState().dragInProgress);
    EXPECT_TRUE(target.dragInProgressAtDrop);
    ASSERT_EQ(target.dropped.size(), 2u);
    const std::wstring temporary = target.dropped[0].substr(0, target.dropped[0].find_last_of(L'\\'));
    EXPECT_EQ(target.dropped, (std::vector<std::wstring>{temporary + L"\\docs", temporary + L"\\top.txt"}));
    EXPECT_EQ(ReadText(temporary + L"\\top.txt"), "top bytes");
    EXPECT_EQ(ReadText(temporary + L"\\docs\\pics\\cat.png"), kPng) << "at the root the engine's paths agree too";
    EXPECT_EQ(Window().Temporaries().Folders(), std::vector<std::wstring>{temporary});

    ::RevokeDragDrop(other);
    ::DestroyWindow(other);
    Close();
    EXPECT_FALSE(Platform::PathExists(temporary));
    ::OleUninitialize();
}

TEST_F(OpenItemsTest, ADragOutExtractsExactlyTheDraggedRowsOnceAfterTheDrop) {
    ASSERT_TRUE(Start(archive_));
    Open(L"docs");
    Select({L"pics", L"readme.txt"});
    std::vector<DragItem> items = Window().DraggedItems();
    ASSERT_EQ(items.size(), 2u);

    // Into the folder under the pointer.
    const std::wstring dropFolder = folder_ / L"dropped";
    ASSERT_TRUE(Platform::MakeDirectories(dropFolder));
    DragOutSetup setup = Window().DragSetup();
    setup.findDropFolder = [&] { return dropFolder; };
    DragState() = {};
    auto* inPlace = new DataObject(items, setup);
    FORMATETC text{CF_UNICODETEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    FORMATETC fileList{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    EXPECT_EQ(inPlace->QueryGetData(&fileList), S_OK);
    EXPECT_EQ(inPlace->QueryGetData(&text), DV_E_FORMATETC);
    STGMEDIUM medium{};
    EXPECT_EQ(inPlace->GetData(&text, &medium), DV_E_FORMATETC);
    EXPECT_EQ(GetFileList(*inPlace), (std::vector<std::wstring>{L"pics", L"readme.txt"}))
        << "before the drop: the bare names";
    EXPECT_TRUE(inPlace->DropFolder().empty()) << "and nothing extracted";

    DragState().dropConfirmed = true;  // as the drop source says when the button is released elsewhere
    EXPECT_TRUE(GetFileList(*inPlace).empty()) << "extracted in place: the target has nothing to copy";
    DragState() = {};
    EXPECT_EQ(ReadText(dropFolder + L"\\readme.txt"), "hello docs");
    EXPECT_EQ(ReadText(dropFolder + L"\\pics\\cat.png"), kPng) << "relative to the browsed folder";
    EXPECT_FALSE(Platform::PathExists(dropFolder + L"\\top.txt"));
    EXPECT_FALSE(Platform::PathExists(dropFolder + L"\\docs"));
    ASSERT_TRUE(Platform::RemoveFile(dropFolder + L"\\readme.txt"));
    EXPECT_TRUE(GetFileList(*inPlace).empty()) << "the flags are reset once the loop ends; the drop stays confirmed";
    EXPECT_FALSE(Platform::PathExists(dropFolder + L"\\readme.txt")) << "never extracted twice";
    inPlace->Release();

    // Onto a program that is no folder window: a new temporary folder, and its paths handed over.
    setup.findDropFolder = [] { return std::wstring(); };
    auto* elsewhere = new DataObject(items, setup);
    elsewhere->ConfirmDrop();
    std::vector<std::wstring> paths = GetFileList(*elsewhere);
    const std::wstring temporary = elsewhere->TemporaryFolder();
    ASSERT_TRUE(IsUnder(temporary, Platform::TempDirectory()));
    EXPECT_EQ(temporary.substr(Platform::TempDirectory().size() + 1, 7), L"Arkova_");
    EXPECT_EQ(paths, (std::vector<std::wstring>{temporary + L"\\pics", temporary + L"\\readme.txt"}));
    EXPECT_EQ(ReadText(temporary + L"\\pics\\cat.png"), kPng);
    EXPECT_EQ(ReadText(temporary + L"\\readme.txt"), "hello docs");
    EXPECT_EQ(GetFileList(*elsewhere), paths) << "later requests answer the same list";

    // A target that holds the data past the window's end gets an empty list, and nothing breaks.
    auto* late = new DataObject(items, Window().DragSetup());
    late->ConfirmDrop();
    Close();
    EXPECT_FALSE(Platform::PathExists(temporary)) << "the drop's temporary folder goes with the window";
    EXPECT_TRUE(GetFileList(*late).empty());
    late->Release();
    elsewhere->Release();
}

}  // namespace
}  // namespace Arkova
