// Guards the destination folder dialog against what would send an extraction to the wrong place or lose a folder:
// start state and options not read back as shown, the tree not following the archive's folder or the typed path
// (or rewriting the typed text), a missing destination created without asking or a refusal reported as success,
// recent folders not stored on OK, and the in-place naming of a new folder: Enter not renaming, a taken name
// accepted, Escape closing the dialog instead of undoing the new folder.
#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/recent_folders.h"
#include "dialogs/win32/destination_dialog.h"
#include "platform/file_system.h"
#include "resource.h"
#include "support/registry_sandbox.h"
#include "support/win32/control_readers.h"
#include "support/win32/dialog_answerer.h"
#include "support/win32/pump_until.h"
#include "support/win32/screenshot.h"

namespace Arkova {
namespace {

using Testing::IsChecked;
using Testing::IsShown;
using Testing::ItemText;
using Testing::PumpUntil;
using Testing::WindowText;

constexpr wchar_t kCaption[] = L"압축이 해제될 폴더";

// A scratch folder on Wine's Z: drive (the Linux root), so the tree reaches it through "컴퓨터" like any folder.
class ZFolder {
public:
    ZFolder() {
        static int counter = 0;
        path_ = L"Z:\\tmp\\arkova-destination-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                std::to_wstring(counter++);
        Platform::RemoveTree(path_);
        Platform::MakeDirectories(path_);
    }
    ~ZFolder() { Platform::RemoveTree(path_); }
    const std::wstring& Path() const { return path_; }
    std::wstring operator/(const std::wstring& relative) const { return path_ + L"\\" + relative; }

private:
    std::wstring path_;
};

std::wstring Label(HWND tree, HTREEITEM item) {
    wchar_t text[MAX_PATH] = {};
    TVITEMW info{};
    info.mask = TVIF_TEXT;
    info.hItem = item;
    info.pszText = text;
    info.cchTextMax = MAX_PATH;
    if (item == nullptr || !TreeView_GetItem(tree, &info)) return {};
    return text;
}

std::vector<std::wstring> ChildLabels(HWND tree, HTREEITEM parent) {
    std::vector<std::wstring> labels;
    for (HTREEITEM child = parent != nullptr ? TreeView_GetChild(tree, parent) : TreeView_GetRoot(tree);
         child != nullptr; child = TreeView_GetNextSibling(tree, child)) {
        labels.push_back(Label(tree, child));
    }
    return labels;
}

HTREEITEM ChildNamed(HWND tree, HTREEITEM parent, const std::wstring& label) {
    for (HTREEITEM child = TreeView_GetChild(tree, parent); child != nullptr;
         child = TreeView_GetNextSibling(tree, child)) {
        if (Label(tree, child) == label) return child;
    }
    return nullptr;
}

std::wstring Leaf(const std::wstring& path) { return path.substr(path.find_last_of(L'\\') + 1); }

// Types into the combo's edit as the keyboard would (the edit tells the dialog CBN_EDITCHANGE), over all its text.
void TypeInCombo(HWND dialog, const std::wstring& text) {
    HWND combo = ::GetDlgItem(dialog, IDC_DEST_PATH);
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(::GetComboBoxInfo(combo, &info));
    ::SendMessageW(info.hwndItem, EM_SETSEL, 0, -1);
    for (wchar_t c : text) ::SendMessageW(info.hwndItem, WM_CHAR, c, 1);
}

// A key as the dialog's modal loop hands it on: the dialog manager first, then the focused window.
void PressKey(HWND dialog, HWND target, WPARAM key) {
    MSG message{target, WM_KEYDOWN, key, 1, 0, {}};
    if (!::IsDialogMessageW(dialog, &message)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    PumpUntil([] { return true; }, 0);
}

HWND RenameEdit(HWND dialog) {
    return ::FindWindowExW(::GetDlgItem(dialog, IDC_DEST_TREE), nullptr, WC_EDITW, nullptr);
}

void Click(HWND dialog, int id) { ::SendMessageW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

std::wstring DesktopFolder() {
    wchar_t path[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, CSIDL_DESKTOP, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

// Shows the dialog; `drive` runs the destination dialog once it is up, message boxes get the answers of
// `boxAnswers` in turn (OK when they run out).
class DestinationDialogTest : public testing::Test {
protected:
    int Show(const std::wstring& archivePath, int selectedCount, bool allFilesPreset,
             const std::function<void(HWND)>& drive, std::vector<int> boxAnswers = {}) {
        boxes.clear();
        size_t nextAnswer = 0;
        Testing::DialogAnswerer answerer([&](Testing::ShownDialog& shown) {
            if (shown.Caption() == kCaption) {
                HWND dialog = shown.Handle();
                EXPECT_TRUE(::IsWindowVisible(dialog) != FALSE);
                drive(dialog);
                return;
            }
            boxes.push_back(shown.Caption() + L"|" + shown.Text());
            shown.Press(nextAnswer < boxAnswers.size() ? boxAnswers[nextAnswer++] : IDOK);
        });
        return ShowDestinationDialog(request, nullptr, nullptr, archivePath, selectedCount, allFilesPreset);
    }

    Testing::RegistrySandbox registry;
    ZFolder scratch;
    DestinationRequest request;
    std::vector<std::wstring> boxes;  // caption|text of every message box, in order
};

TEST_F(DestinationDialogTest, StartsAtTheArchiveFolderFollowsTreeAndTypingAndAnswersWithTheOptions) {
    const std::wstring archives = scratch / L"archives";
    const std::wstring inner = archives + L"\\inner";
    const std::wstring other = scratch / L"other";
    ASSERT_TRUE(Platform::MakeDirectories(inner));
    ASSERT_TRUE(Platform::MakeDirectories(other));

    int result = Show(archives + L"\\sample.zip", 3, false, [&](HWND dialog) {
        HWND tree = ::GetDlgItem(dialog, IDC_DEST_TREE);
        EXPECT_EQ(WindowText(dialog), kCaption);
        EXPECT_EQ(ItemText(dialog, IDC_DEST_ALL_FILES), L"전체 파일");
        EXPECT_EQ(ItemText(dialog, IDC_DEST_SELECTED_FILES), L"선택된 파일");
        EXPECT_EQ(ItemText(dialog, IDC_DEST_FILE_COUNT), L"(3)");
        EXPECT_EQ(ItemText(dialog, IDC_DEST_NEW_FOLDER), L"새 폴더");
        EXPECT_EQ(ItemText(dialog, IDC_DEST_CREATE_SUBFOLDER), L"[압축 파일명]으로 하위 폴더 생성 후 압축 풀기(E)");
        EXPECT_EQ(ItemText(dialog, IDOK), L"확인");
        EXPECT_EQ(ItemText(dialog, IDCANCEL), L"취소");
        EXPECT_FALSE(IsChecked(::GetDlgItem(dialog, IDC_DEST_ALL_FILES)));
        EXPECT_TRUE(IsChecked(::GetDlgItem(dialog, IDC_DEST_SELECTED_FILES)));
        EXPECT_FALSE(IsChecked(::GetDlgItem(dialog, IDC_DEST_CREATE_SUBFOLDER)));
        EXPECT_TRUE(IsChecked(::GetDlgItem(dialog, IDC_DEST_KEEP_PATHS)));
        EXPECT_FALSE(IsChecked(::GetDlgItem(dialog, IDC_DEST_NEWER_ONLY)));
        for (int id : {IDC_DEST_PATH, IDC_DEST_TREE, IDC_DEST_ALL_FILES, IDC_DEST_NEW_FOLDER, IDC_DEST_NEWER_ONLY}) {
            EXPECT_TRUE(IsShown(::GetDlgItem(dialog, id))) << id;
        }
        EXPECT_FALSE(IsShown(::GetDlgItem(dialog, IDC_DEST_REMEMBER)));
        EXPECT_FALSE(IsShown(::GetDlgItem(dialog, IDC_DEST_DELETE_ARCHIVE)));

        // The roots, then the walk down "컴퓨터" to the archive's folder.
        EXPECT_EQ(ChildLabels(tree, nullptr), (std::vector<std::wstring>{L"바탕 화면", L"문서", L"사진", L"컴퓨터"}));
        EXPECT_EQ(ItemText(dialog, IDC_DEST_PATH), archives);
        EXPECT_TRUE(Testing::ComboItems(::GetDlgItem(dialog, IDC_DEST_PATH)).empty());
        HTREEITEM selected = TreeView_GetSelection(tree);
        EXPECT_EQ(Label(tree, selected), L"archives");
        EXPECT_EQ(Label(tree, TreeView_GetParent(tree, selected)), Leaf(scratch.Path()));

        // Its children are read when it is first opened; choosing one puts its path in the combo box.
        EXPECT_EQ(TreeView_GetChild(tree, selected), nullptr);
        TreeView_Expand(tree, selected, TVE_EXPAND);
        HTREEITEM innerItem = ChildNamed(tree, selected, L"inner");
        ASSERT_NE(innerItem, nullptr);
        TreeView_SelectItem(tree, innerItem);
        EXPECT_EQ(ItemText(dialog, IDC_DEST_PATH), inner);
        EXPECT_FALSE(Testing::SaveScreenshot(dialog, L"134-destination-expanded").empty());

        // Typing walks the tree along but leaves the text as typed, trailing "\" and letter case included.
        TypeInCombo(dialog, other + L"\\");
        EXPECT_EQ(ItemText(dialog, IDC_DEST_PATH), other + L"\\");
        EXPECT_EQ(Label(tree, TreeView_GetSelection(tree)), L"other");

        Click(dialog, IDC_DEST_CREATE_SUBFOLDER);
        Click(dialog, IDC_DEST_KEEP_PATHS);
        Click(dialog, IDC_DEST_NEWER_ONLY);
        Click(dialog, IDC_DEST_ALL_FILES);
        EXPECT_FALSE(IsChecked(::GetDlgItem(dialog, IDC_DEST_SELECTED_FILES)));
        Click(dialog, IDOK);
    });
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(request.destination, other + L"\\");
    EXPECT_TRUE(request.extractAll);
    EXPECT_TRUE(request.createSubfolder);
    EXPECT_FALSE(request.keepPaths);
    EXPECT_TRUE(request.newerOnly);
    EXPECT_FALSE(request.deleteArchive);
    EXPECT_FALSE(request.rememberSettings);
    EXPECT_EQ(LoadRecentFolders(), (std::vector<std::wstring>{other + L"\\"}));

    // No folder in the archive's path: the desktop. The recent folder is offered, and choosing it moves the tree.
    request = DestinationRequest();
    result = Show(L"sample.zip", 0, true, [&](HWND dialog) {
        HWND tree = ::GetDlgItem(dialog, IDC_DEST_TREE);
        HWND combo = ::GetDlgItem(dialog, IDC_DEST_PATH);
        EXPECT_EQ(ItemText(dialog, IDC_DEST_PATH), DesktopFolder());
        EXPECT_TRUE(IsChecked(::GetDlgItem(dialog, IDC_DEST_ALL_FILES)));
        EXPECT_FALSE(IsChecked(::GetDlgItem(dialog, IDC_DEST_SELECTED_FILES)));
        EXPECT_EQ(ItemText(dialog, IDC_DEST_FILE_COUNT), L"(0)");
        EXPECT_EQ(Testing::ComboItems(combo), (std::vector<std::wstring>{other + L"\\"}));
        ::SendMessageW(combo, CB_SETCURSEL, 0, 0);
        ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_DEST_PATH, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
        EXPECT_EQ(Label(tree, TreeView_GetSelection(tree)), L"other");
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(result, 2);
    EXPECT_TRUE(request.destination.empty());
    EXPECT_EQ(LoadRecentFolders(), (std::vector<std::wstring>{other + L"\\"}));
}

TEST_F(DestinationDialogTest, MissingDestinationIsCreatedOnlyAfterYesAndFailuresKeepTheDialogOpen) {
    const std::wstring missing = scratch / L"new\\deeper";
    const std::wstring file = scratch / L"file.txt";
    HANDLE handle = ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    ::CloseHandle(handle);

    const std::wstring question = L"폴더 생성|폴더가 존재하지 않습니다. 생성하시겠습니까?";
    int result = Show(scratch / L"a.zip", 0, true,
                      [&](HWND dialog) {
                          TypeInCombo(dialog, missing);
                          Click(dialog, IDOK);  // No
                          Click(dialog, IDOK);  // Cancel
                          EXPECT_TRUE(::IsWindowVisible(dialog));
                          EXPECT_FALSE(Platform::PathExists(scratch / L"new"));
                          EXPECT_TRUE(LoadRecentFolders().empty());

                          TypeInCombo(dialog, file);
                          Click(dialog, IDOK);  // Yes, but a file has the name
                          EXPECT_TRUE(::IsWindowVisible(dialog));

                          TypeInCombo(dialog, missing);
                          Click(dialog, IDOK);  // Yes
                      },
                      {IDNO, IDCANCEL, IDYES, IDOK, IDYES});
    EXPECT_EQ(result, 1);
    EXPECT_EQ(boxes,
              (std::vector<std::wstring>{question, question, question, L"오류|폴더를 생성할 수 없습니다.", question}));
    EXPECT_TRUE(Platform::IsDirectory(missing));
    EXPECT_EQ(request.destination, missing);
    EXPECT_EQ(LoadRecentFolders(), (std::vector<std::wstring>{missing}));
}

TEST_F(DestinationDialogTest, NewFolderIsNamedInPlaceAndEscapeUndoesIt) {
    const std::wstring work = scratch / L"work";
    ASSERT_TRUE(Platform::MakeDirectories(work + L"\\자료"));
    const std::wstring fresh = work + L"\\새 폴더";

    int result =
        Show(work + L"\\a.zip", 0, true,
             [&](HWND dialog) {
                 HWND tree = ::GetDlgItem(dialog, IDC_DEST_TREE);
                 // A name that is taken is refused with the edit kept open and its text selected.
                 Click(dialog, IDC_DEST_NEW_FOLDER);
                 ASSERT_TRUE(PumpUntil([&] { return RenameEdit(dialog) != nullptr; }));
                 HWND edit = RenameEdit(dialog);
                 EXPECT_TRUE(Platform::IsDirectory(fresh));
                 EXPECT_EQ(WindowText(edit), L"새 폴더");
                 EXPECT_EQ(ItemText(dialog, IDC_DEST_PATH), fresh);
                 EXPECT_EQ(Label(tree, TreeView_GetSelection(tree)), L"새 폴더");
                 EXPECT_EQ(::GetFocus(), edit);
                 EXPECT_FALSE(Testing::SaveScreenshot(dialog, L"134-destination-naming").empty());
                 ::SetWindowTextW(edit, L"자료");
                 PressKey(dialog, edit, VK_RETURN);
                 EXPECT_EQ(RenameEdit(dialog), edit);
                 EXPECT_EQ(::GetFocus(), edit);
                 DWORD start = 1, end = 0;
                 ::SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
                 EXPECT_EQ(start, 0u);
                 EXPECT_EQ(end, 2u);
                 EXPECT_TRUE(Platform::IsDirectory(fresh));

                 // Enter renames the folder and the tree shows it under its new name.
                 ::SetWindowTextW(edit, L"결과");
                 PressKey(dialog, edit, VK_RETURN);
                 EXPECT_EQ(RenameEdit(dialog), nullptr);
                 EXPECT_FALSE(Platform::PathExists(fresh));
                 EXPECT_TRUE(Platform::IsDirectory(work + L"\\결과"));
                 EXPECT_EQ(ItemText(dialog, IDC_DEST_PATH), work + L"\\결과");
                 EXPECT_EQ(Label(tree, TreeView_GetSelection(tree)), L"결과");
                 EXPECT_EQ(::GetFocus(), tree);

                 // Escape removes the folder just made and goes back to its parent; the dialog stays.
                 TypeInCombo(dialog, work);
                 Click(dialog, IDC_DEST_NEW_FOLDER);
                 ASSERT_TRUE(PumpUntil([&] { return RenameEdit(dialog) != nullptr; }));
                 EXPECT_TRUE(Platform::IsDirectory(fresh));
                 PressKey(dialog, RenameEdit(dialog), VK_ESCAPE);
                 EXPECT_EQ(RenameEdit(dialog), nullptr);
                 EXPECT_TRUE(::IsWindowVisible(dialog));
                 EXPECT_FALSE(Platform::PathExists(fresh));
                 EXPECT_EQ(ItemText(dialog, IDC_DEST_PATH), work);
                 EXPECT_EQ(Label(tree, TreeView_GetSelection(tree)), L"work");
                 EXPECT_EQ(ChildLabels(tree, TreeView_GetSelection(tree)).size(), 2u);

                 // The next free name is numbered from 1; losing the focus commits the name.
                 ASSERT_TRUE(Platform::MakeDirectory(fresh));
                 Click(dialog, IDC_DEST_NEW_FOLDER);
                 ASSERT_TRUE(PumpUntil([&] { return RenameEdit(dialog) != nullptr; }));
                 EXPECT_EQ(WindowText(RenameEdit(dialog)), L"새 폴더 (1)");
                 ::SetWindowTextW(RenameEdit(dialog), L"보관");
                 ::SetFocus(tree);
                 ASSERT_TRUE(PumpUntil([&] { return RenameEdit(dialog) == nullptr; }));
                 EXPECT_TRUE(Platform::IsDirectory(work + L"\\보관"));
                 EXPECT_FALSE(Platform::PathExists(work + L"\\새 폴더 (1)"));

                 // "확인" while naming only commits the name.
                 TypeInCombo(dialog, work);
                 Click(dialog, IDC_DEST_NEW_FOLDER);
                 ASSERT_TRUE(PumpUntil([&] { return RenameEdit(dialog) != nullptr; }));
                 EXPECT_EQ(WindowText(RenameEdit(dialog)), L"새 폴더 (1)");
                 Click(dialog, IDOK);
                 EXPECT_EQ(RenameEdit(dialog), nullptr);
                 EXPECT_TRUE(::IsWindowVisible(dialog));
                 EXPECT_TRUE(Platform::IsDirectory(work + L"\\새 폴더 (1)"));

                 // "새 폴더" needs an existing folder in the combo box.
                 TypeInCombo(dialog, scratch / L"nowhere");
                 Click(dialog, IDC_DEST_NEW_FOLDER);
                 EXPECT_FALSE(Platform::PathExists(scratch / L"nowhere"));
                 Click(dialog, IDCANCEL);
             },
             {IDOK, IDOK});
    EXPECT_EQ(result, 2);
    EXPECT_EQ(boxes,
              (std::vector<std::wstring>{L"폴더 이름 변경|같은 이름의 폴더가 이미 있습니다.\n다른 이름을 입력하세요.",
                                         L"오류|선택된 폴더가 유효하지 않습니다."}));
    EXPECT_TRUE(LoadRecentFolders().empty());
}

}  // namespace
}  // namespace Arkova
