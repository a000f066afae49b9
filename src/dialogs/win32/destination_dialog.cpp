#include "dialogs/win32/destination_dialog.h"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>

#include "app/recent_folders.h"
#include "dialogs/destination_rules.h"
#include "dialogs/win32/shell_folder_tree.h"
#include "platform/file_system.h"
#include "platform/text.h"
#include "resource.h"
#include "wingui/button.h"
#include "wingui/combo_box.h"
#include "wingui/dialog.h"
#include "wingui/dpi.h"
#include "wingui/static.h"

namespace Arkova {

namespace {

// Path texts are read as at most 259 characters, the longest classic Windows path.
constexpr int kPathBuffer = MAX_PATH;
constexpr UINT_PTR kRenameSubclassId = 1;
// Posted when the name edit loses the focus. Committing later, not inside the focus change, lets a click on "확인"
// find the edit still open (it then commits instead of closing) and leaves the focus where the user put it.
constexpr UINT kCommitRenameMessage = WM_APP + 1;

std::wstring LimitedText(HWND window) {
    wchar_t text[kPathBuffer] = {};
    ::GetWindowTextW(window, text, kPathBuffer);
    return text;
}

std::wstring DesktopFolder() {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_DESKTOP, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
    return path;
}

// One spelling per folder for comparisons: "/" as "\", no doubled or trailing separators (a drive root keeps its).
std::wstring CanonicalPath(const std::wstring& path) {
    std::wstring canonical;
    for (wchar_t c : path) {
        if (c == L'/') c = L'\\';
        if (c == L'\\' && !canonical.empty() && canonical.back() == L'\\') continue;
        canonical += c;
    }
    if (canonical.size() > 1 && canonical.back() == L'\\' && !(canonical.size() == 3 && canonical[1] == L':')) {
        canonical.pop_back();
    }
    return canonical;
}

class DestinationDialog : public WinGui::Dialog {
public:
    DestinationDialog(DestinationRequest& request, HINSTANCE instance)
        : Dialog(IDD_DESTINATION, instance), request_(request) {}

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnClose() override;
    void OnDestroy() override { editEnding_ = true; }
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void CentreInWorkArea();
    void AttachControls();
    // Moves the tree to a path the user typed or chose; the combo keeps that text while the tree follows.
    void Navigate(const std::wstring& path);
    void OnTreeSelection(HTREEITEM item);
    void OnOk();
    void OnNewFolder();
    int Message(const wchar_t* text, const wchar_t* caption, UINT flags);

    // In-place naming of the folder just created.
    void BeginRename();
    // true when the edit ended; false when the name was refused and editing goes on.
    bool CommitRename(bool focusTree);
    void CancelRename();
    void KeepEditing();
    void EndRename(bool focusTree);
    static LRESULT CALLBACK RenameEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                           DWORD_PTR data);

    DestinationRequest& request_;
    WinGui::ComboBox path_;
    ShellFolderTree tree_;
    WinGui::Button allFiles_;
    WinGui::Button selectedFiles_;
    WinGui::Static fileCount_;
    WinGui::Button newFolder_;
    WinGui::Button createSubfolder_;
    WinGui::Button keepPaths_;
    WinGui::Button newerOnly_;
    WinGui::Button remember_;
    WinGui::Button deleteArchive_;

    bool followSelection_ = true;
    HWND edit_ = nullptr;           // the naming edit, while it exists
    HTREEITEM editItem_ = nullptr;  // the item recorded for naming
    std::wstring newFolderPath_;    // the folder just created, while it is being named
    bool editEnding_ = false;       // one end of the edit at a time (its message boxes and its destruction move focus)
};

bool DestinationDialog::OnInitDialog() {
    CentreInWorkArea();
    AttachControls();

    path_.Clear();
    for (const std::wstring& folder : request_.recentFolders) path_.AddItem(folder);
    path_.SetText(request_.initialFolder);

    allFiles_.SetChecked(request_.allFilesPreset);
    selectedFiles_.SetChecked(!request_.allFilesPreset);
    fileCount_.SetText(L"(" + std::to_wstring(request_.selectedCount) + L")");
    keepPaths_.SetChecked(true);
    newerOnly_.SetChecked(false);

    tree_.Attach(Handle(), IDC_DEST_TREE);
    tree_.View().onSelectionChanged = [this](HTREEITEM item) { OnTreeSelection(item); };
    Navigate(request_.initialFolder);
    return true;
}

void DestinationDialog::AttachControls() {
    path_.Attach(Handle(), IDC_DEST_PATH);
    allFiles_.Attach(Handle(), IDC_DEST_ALL_FILES);
    selectedFiles_.Attach(Handle(), IDC_DEST_SELECTED_FILES);
    fileCount_.Attach(Handle(), IDC_DEST_FILE_COUNT);
    newFolder_.Attach(Handle(), IDC_DEST_NEW_FOLDER);
    createSubfolder_.Attach(Handle(), IDC_DEST_CREATE_SUBFOLDER);
    keepPaths_.Attach(Handle(), IDC_DEST_KEEP_PATHS);
    newerOnly_.Attach(Handle(), IDC_DEST_NEWER_ONLY);
    remember_.Attach(Handle(), IDC_DEST_REMEMBER);
    deleteArchive_.Attach(Handle(), IDC_DEST_DELETE_ARCHIVE);

    path_.onSelectionChanged = [this] {
        int index = path_.SelectedIndex();
        if (index >= 0) Navigate(path_.ItemText(index));
    };
    newFolder_.onClick = [this] { OnNewFolder(); };
}

void DestinationDialog::CentreInWorkArea() {
    RECT window{};
    ::GetWindowRect(Handle(), &window);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (!::GetMonitorInfoW(::MonitorFromWindow(Handle(), MONITOR_DEFAULTTONEAREST), &monitor)) return;
    const RECT& work = monitor.rcWork;
    int x = work.left + ((work.right - work.left) - (window.right - window.left)) / 2;
    int y = work.top + ((work.bottom - work.top) - (window.bottom - window.top)) / 2;
    ::SetWindowPos(Handle(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void DestinationDialog::Navigate(const std::wstring& path) {
    // Without this the tree would rewrite the text under the user's caret (a trailing "\" dropped, the case
    // changed) or replace it by a parent when the walk stops early.
    followSelection_ = false;
    tree_.NavigateTo(path);
    followSelection_ = true;
}

void DestinationDialog::OnTreeSelection(HTREEITEM item) {
    if (!followSelection_) return;
    std::wstring path = tree_.PathOf(item);
    if (!path.empty()) path_.SetText(path);
}

int DestinationDialog::Message(const wchar_t* text, const wchar_t* caption, UINT flags) {
    return ::MessageBoxW(Handle(), text, caption, flags);
}

bool DestinationDialog::OnCommand(int id, int code, HWND control) {
    switch (id) {
        case IDC_DEST_PATH:
            if (code != CBN_EDITCHANGE) return false;
            Navigate(LimitedText(path_.Handle()));
            return true;
        case IDOK:
            OnOk();
            return true;
        case IDCANCEL:
            // Closing moves the focus out of an open name edit: that must not rename anything any more.
            editEnding_ = true;
            End(2);
            return true;
        default:
            return Dialog::OnCommand(id, code, control);
    }
}

void DestinationDialog::OnClose() {
    editEnding_ = true;
    End(2);
}

void DestinationDialog::OnOk() {
    if (edit_ != nullptr) {
        CommitRename(true);
        return;
    }
    std::wstring destination = LimitedText(path_.Handle());
    if (!Platform::IsDirectory(destination)) {
        if (Message(L"폴더가 존재하지 않습니다. 생성하시겠습니까?", L"폴더 생성", MB_ICONQUESTION | MB_YESNOCANCEL) !=
            IDYES) {
            return;
        }
        // No window: the shell would show its own error box besides ours.
        int created = ::SHCreateDirectoryExW(nullptr, destination.c_str(), nullptr);
        if ((created != ERROR_SUCCESS && created != ERROR_ALREADY_EXISTS) || !Platform::IsDirectory(destination)) {
            Message(L"폴더를 생성할 수 없습니다.", L"오류", MB_ICONERROR);
            return;
        }
    }
    request_.destination = destination;
    request_.extractAll = allFiles_.Checked();
    request_.createSubfolder = createSubfolder_.Checked();
    request_.keepPaths = keepPaths_.Checked();
    request_.newerOnly = newerOnly_.Checked();
    request_.deleteArchive = deleteArchive_.Checked();
    request_.rememberSettings = remember_.Checked();
    AddRecentFolder(request_.recentFolders, destination);
    End(1);
}

void DestinationDialog::OnNewFolder() {
    if (edit_ != nullptr && !CommitRename(false)) return;
    std::wstring parent = LimitedText(path_.Handle());
    if (!Platform::IsDirectory(parent)) {
        Message(L"선택된 폴더가 유효하지 않습니다.", L"오류", MB_ICONERROR);
        return;
    }
    std::wstring path = FreeNewFolderPath(parent, [](const std::wstring& candidate) {
        return ::GetFileAttributesW(candidate.c_str()) != INVALID_FILE_ATTRIBUTES;
    });
    if (path.empty() || !::CreateDirectoryW(path.c_str(), nullptr)) {
        DWORD error = path.empty() ? ERROR_ALREADY_EXISTS : ::GetLastError();
        std::wstring text = L"폴더를 생성할 수 없습니다. (오류: " + std::to_wstring(error) + L")";
        Message(text.c_str(), L"오류", MB_ICONERROR);
        return;
    }
    std::wstring name = path.substr(Platform::LastSeparator(path) + 1);
    HTREEITEM selected = tree_.View().Selected();
    if (selected != nullptr) {
        tree_.Reload(selected);
        HTREEITEM item = tree_.FindChildByLabel(selected, name);
        // Only the item of the folder just made: the tree may show another folder than the typed parent.
        if (item != nullptr && CanonicalPath(tree_.PathOf(item)) == CanonicalPath(path)) {
            newFolderPath_ = path;
            editItem_ = item;
            ::PostMessageW(Handle(), WM_DEST_BEGIN_RENAME, 0, 0);
        }
    }
    path_.SetText(path);
}

bool DestinationDialog::HandleMessage(UINT message, WPARAM, LPARAM, LRESULT& result) {
    if (message == WM_DEST_BEGIN_RENAME) {
        BeginRename();
    } else if (message == kCommitRenameMessage) {
        // Not when the focus has come back to the edit meanwhile (after one of its message boxes).
        if (edit_ != nullptr && ::GetFocus() != edit_) CommitRename(false);
    } else {
        return false;
    }
    result = 0;
    return true;
}

void DestinationDialog::BeginRename() {
    if (editItem_ == nullptr || edit_ != nullptr) return;
    HWND tree = tree_.Handle();
    tree_.SelectAndShow(editItem_);
    RECT label{};
    if (!TreeView_GetItemRect(tree, editItem_, &label, TRUE)) {
        editItem_ = nullptr;
        newFolderPath_.clear();
        return;
    }
    UINT dpi = WinGui::DpiForWindow(Handle());
    int width = std::max<int>(label.right - label.left + WinGui::Scale(50, dpi), WinGui::Scale(100, dpi));
    int height = label.bottom - label.top + WinGui::Scale(4, dpi);
    std::wstring text = tree_.View().ItemText(editItem_);
    edit_ =
        ::CreateWindowExW(WS_EX_CLIENTEDGE, WC_EDITW, text.c_str(), WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, label.left,
                          label.top, width, height, tree, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (edit_ == nullptr) {
        editItem_ = nullptr;
        newFolderPath_.clear();
        return;
    }
    // No more than a commit reads.
    ::SendMessageW(edit_, EM_LIMITTEXT, kPathBuffer - 1, 0);
    ::SendMessageW(edit_, WM_SETFONT, ::SendMessageW(tree, WM_GETFONT, 0, 0), FALSE);
    ::SetWindowSubclass(edit_, &DestinationDialog::RenameEditProc, kRenameSubclassId,
                        reinterpret_cast<DWORD_PTR>(this));
    editEnding_ = false;
    KeepEditing();
}

void DestinationDialog::KeepEditing() {
    ::SetFocus(edit_);
    ::SendMessageW(edit_, EM_SETSEL, 0, -1);
}

bool DestinationDialog::CommitRename(bool focusTree) {
    if (edit_ == nullptr || editEnding_) return false;
    editEnding_ = true;
    std::wstring text = LimitedText(edit_);
    FolderRename plan = PlanFolderRename(newFolderPath_, text);
    if (plan.kind == FolderRename::Kind::Invalid) {
        Message(L"폴더 이름을 변경할 수 없습니다.", L"오류", MB_ICONERROR);
        KeepEditing();
        editEnding_ = false;
        return false;
    }
    if (plan.kind == FolderRename::Kind::Move) {
        if (!::MoveFileW(newFolderPath_.c_str(), plan.target.c_str())) {
            DWORD error = ::GetLastError();
            if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) {
                Message(L"같은 이름의 폴더가 이미 있습니다.\n다른 이름을 입력하세요.", L"폴더 이름 변경",
                        MB_ICONWARNING);
            } else {
                Message(L"폴더 이름을 변경할 수 없습니다.", L"오류", MB_ICONERROR);
            }
            KeepEditing();
            editEnding_ = false;
            return false;
        }
        path_.SetText(plan.target);
        if (HTREEITEM parent = tree_.View().Parent(editItem_)) {
            tree_.Reload(parent);
            if (HTREEITEM renamed = tree_.FindChildByLabel(parent, text)) tree_.SelectAndShow(renamed);
        }
        newFolderPath_ = plan.target;
    }
    EndRename(focusTree);
    return true;
}

void DestinationDialog::CancelRename() {
    if (edit_ == nullptr || editEnding_) return;
    editEnding_ = true;
    if (!newFolderPath_.empty()) {
        ::RemoveDirectoryW(newFolderPath_.c_str());
        if (HTREEITEM parent = tree_.View().Parent(editItem_)) {
            tree_.Reload(parent);
            tree_.SelectAndShow(parent);
        }
        // After the tree, which would write the parent's own spelling.
        std::size_t separator = Platform::LastSeparator(newFolderPath_);
        if (separator != std::wstring::npos) path_.SetText(newFolderPath_.substr(0, separator));
    }
    EndRename(true);
}

void DestinationDialog::EndRename(bool focusTree) {
    HWND edit = edit_;
    edit_ = nullptr;
    editItem_ = nullptr;
    newFolderPath_.clear();
    ::DestroyWindow(edit);
    if (focusTree) ::SetFocus(tree_.Handle());
    editEnding_ = false;
}

LRESULT CALLBACK DestinationDialog::RenameEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                                   DWORD_PTR data) {
    auto* self = reinterpret_cast<DestinationDialog*>(data);
    switch (message) {
        case WM_GETDLGCODE:
            // Enter and Escape belong to the edit, not to the dialog's OK and Cancel.
            return ::DefSubclassProc(edit, message, wParam, lParam) | DLGC_WANTALLKEYS;
        case WM_KEYDOWN:
            if (wParam == VK_RETURN) {
                self->CommitRename(true);
                return 0;
            }
            if (wParam == VK_ESCAPE) {
                self->CancelRename();
                return 0;
            }
            break;
        case WM_CHAR:
            if (wParam == VK_RETURN || wParam == VK_ESCAPE) return 0;  // no beep
            break;
        case WM_KILLFOCUS:
            if (!self->editEnding_) ::PostMessageW(self->Handle(), kCommitRenameMessage, 0, 0);
            break;
        case WM_NCDESTROY:
            ::RemoveWindowSubclass(edit, &DestinationDialog::RenameEditProc, id);
            break;
        default:
            break;
    }
    return ::DefSubclassProc(edit, message, wParam, lParam);
}

}  // namespace

int ShowDestinationDialog(DestinationRequest& request, HWND owner, HINSTANCE instance, const std::wstring& archivePath,
                          std::int32_t selectedCount, bool allFilesPreset) {
    request.archivePath = archivePath;
    request.selectedCount = selectedCount;
    request.allFilesPreset = allFilesPreset;
    request.initialFolder = InitialFolderOf(archivePath);
    if (request.initialFolder.empty()) request.initialFolder = DesktopFolder();
    request.recentFolders = LoadRecentFolders();

    // The tree's shell folders need COM; S_FALSE (already initialised) is balanced too.
    HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INT_PTR result = 2;
    {
        DestinationDialog dialog(request, instance);
        result = dialog.ShowModal(owner);
    }
    if (SUCCEEDED(com)) ::CoUninitialize();
    return result == 1 ? 1 : 2;
}

}  // namespace Arkova
