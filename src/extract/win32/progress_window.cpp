#include "extract/win32/progress_window.h"

#include <algorithm>
#include <cwchar>
#include <utility>

#include "app/settings.h"
#include "extract/wait_for_worker.h"
#include "frontend/texts.h"
#include "resource.h"
#include "wingui/message_pump.h"
#include "wingui/modeless_dialogs.h"

namespace Arkova {

namespace {

// A detached window keeps its paths as window properties, each a heap copy that the window frees as it closes,
// and the shell it opens them with.
constexpr wchar_t kSourcePathProperty[] = L"SourcePath";
constexpr wchar_t kDestPathProperty[] = L"DestPath";
constexpr wchar_t kShellProperty[] = L"Arkova.ShellActions";

void SetPathProperty(HWND window, const wchar_t* name, const std::wstring& path) {
    if (path.empty()) return;
    auto* copy = new wchar_t[path.size() + 1];
    std::wmemcpy(copy, path.c_str(), path.size() + 1);
    if (!::SetPropW(window, name, copy)) delete[] copy;
}

const wchar_t* PathProperty(HWND window, const wchar_t* name) {
    auto* path = static_cast<const wchar_t*>(::GetPropW(window, name));
    return path != nullptr && *path != L'\0' ? path : nullptr;
}

void FreePathProperty(HWND window, const wchar_t* name) { delete[] static_cast<wchar_t*>(::RemovePropW(window, name)); }

// Gives the user's window back: enabled and in front, before the progress window goes away.
void ReturnToOwner(HWND owner) {
    if (owner == nullptr) return;
    ::EnableWindow(owner, TRUE);
    ::SetForegroundWindow(owner);
}

}  // namespace

ProgressWindow::ProgressWindow(HWND owner, Platform::ShellActions& shell)
    : Dialog(IDD_PROGRESS), owner_(owner), shell_(shell) {}

ProgressWindow::~ProgressWindow() {
    // A job that ends without closing its window must not leave the owner disabled.
    if (IsOpen()) Close();
}

bool ProgressWindow::Open(const std::wstring& title, const std::wstring& destinationToShow,
                          const std::wstring& sourceArchive) {
    destinationPath_ = destinationToShow;
    sourcePath_ = sourceArchive;
    cancelled_ = false;
    ReadCompletionOptions();
    if (!CreateModeless(owner_)) return false;
    ::SetWindowTextW(Handle(), title.c_str());

    RECT dialog{};
    ::GetWindowRect(Handle(), &dialog);
    RECT around{};
    if (owner_ == nullptr || !::GetWindowRect(owner_, &around)) {
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &around, 0);
    }
    const LONG width = dialog.right - dialog.left;
    const LONG height = dialog.bottom - dialog.top;
    LONG x = around.left + ((around.right - around.left) - width) / 2;
    LONG y = around.top + ((around.bottom - around.top) - height) / 2;
    // Over an owner smaller than the window the centre could push it off the screen: keep it on the monitor.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (::GetMonitorInfoW(::MonitorFromRect(&around, MONITOR_DEFAULTTONEAREST), &monitor)) {
        x = std::clamp(x, monitor.rcWork.left, std::max(monitor.rcWork.left, monitor.rcWork.right - width));
        y = std::clamp(y, monitor.rcWork.top, std::max(monitor.rcWork.top, monitor.rcWork.bottom - height));
    }
    ::SetWindowPos(Handle(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    ::ShowWindow(Handle(), SW_SHOW);
    ::UpdateWindow(Handle());
    if (owner_ != nullptr) ::EnableWindow(owner_, FALSE);
    if (onWindowChanged) onWindowChanged(Handle());
    return true;
}

bool ProgressWindow::OnInitDialog() {
    itemBar_.Attach(Handle(), IDC_PROGRESS_ITEM_BAR);
    overallBar_.Attach(Handle(), IDC_PROGRESS_OVERALL_BAR);
    itemBar_.SetRange(0, 100);
    overallBar_.SetRange(0, 100);
    closeOnFinishBox_.Attach(Handle(), IDC_PROGRESS_CLOSE_ON_FINISH);
    openDestOnFinishBox_.Attach(Handle(), IDC_PROGRESS_OPEN_DEST_ON_FINISH);
    closeOnFinishBox_.SetChecked(closeOnFinish_);
    openDestOnFinishBox_.SetChecked(openDestOnFinish_);
    // Either box changed during a job is remembered at once, for this job's end and the next job.
    closeOnFinishBox_.onClick = [this] {
        closeOnFinish_ = closeOnFinishBox_.Checked();
        WriteCompletionOptions();
    };
    openDestOnFinishBox_.onClick = [this] {
        openDestOnFinish_ = openDestOnFinishBox_.Checked();
        WriteCompletionOptions();
    };
    return true;
}

bool ProgressWindow::OnCommand(int id, int, HWND) {
    switch (id) {
        case IDCANCEL:
            cancelled_ = true;
            CloseWindow();
            return true;
        case IDC_PROGRESS_CLOSE:
            CloseWindow();
            return true;
        case IDC_PROGRESS_SHOW_SOURCE:
            if (!sourcePath_.empty()) shell_.SelectInFileManager(sourcePath_);
            return true;
        case IDC_PROGRESS_OPEN_DEST:
            if (!destinationPath_.empty()) shell_.OpenFolder(destinationPath_);
            return true;
        default:
            return false;
    }
}

// The close box only asks the job to stop; the job closes the window when it has.
void ProgressWindow::OnClose() { cancelled_ = true; }

void ProgressWindow::OnDestroy() {
    if (onWindowChanged) onWindowChanged(nullptr);
}

void ProgressWindow::CloseWindow() {
    if (!IsOpen()) return;
    ReturnToOwner(owner_);
    End(IDCANCEL);
}

void ProgressWindow::SetPercent(int labelId, WinGui::ProgressBar& bar, int percent) {
    if (!IsOpen()) return;
    bar.SetPos(percent);
    wchar_t text[16];
    std::swprintf(text, std::size(text), L"%d%%", percent);
    SetItemText(labelId, text);
}

void ProgressWindow::SetItemProgress(int percent) { SetPercent(IDC_PROGRESS_ITEM_PERCENT, itemBar_, percent); }

void ProgressWindow::SetOverallProgress(int percent) { SetPercent(IDC_PROGRESS_OVERALL_PERCENT, overallBar_, percent); }

void ProgressWindow::SetCurrentName(const std::wstring& text) {
    if (IsOpen()) SetItemText(IDC_PROGRESS_NAME, text);
}

void ProgressWindow::SetStatusText(const std::wstring& text) {
    if (IsOpen()) SetItemText(IDC_PROGRESS_STATUS, text);
}

void ProgressWindow::StartItemMarquee() {
    if (IsOpen()) itemBar_.SetMarquee(true, 30);
}

void ProgressWindow::StopItemMarquee() {
    if (!IsOpen()) return;
    itemBar_.SetMarquee(false);
    itemBar_.SetPos(0);
}

void ProgressWindow::PumpMessages() {
    // A quit request (the program is closing) stops the job like "취소"; the quit itself is posted again.
    if (!WinGui::PumpWaitingMessages()) cancelled_ = true;
}

void ProgressWindow::WaitForWorker(JobSignal& signal) {
    bool itemBarActive = false;
    HANDLE events[] = {signal.DoneEventHandle(), signal.ProgressEventHandle()};
    const auto slice = static_cast<DWORD>(kWorkerWaitSlice.count());
    while (!signal.workerDone) {
        DWORD woke = ::MsgWaitForMultipleObjects(2, events, FALSE, slice, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0) return;
        if (woke == WAIT_OBJECT_0 + 1) ShowWorkerProgress(*this, signal, itemBarActive);
        // Input is handled after progress reports too: the progress event wins the wait whenever both are there,
        // and a worker that reports without pause must not starve a click on "취소".
        PumpMessages();
        if (PassOnCancel(*this, signal)) return;
    }
}

void ProgressWindow::Finish() {
    if (IsOpen()) {
        closeOnFinish_ = closeOnFinishBox_.Checked();
        openDestOnFinish_ = openDestOnFinishBox_.Checked();
        WriteCompletionOptions();
        ::SetWindowTextW(Handle(), kTitleExtractFinished);
        ::ShowWindow(Item(IDCANCEL), SW_HIDE);
        ::ShowWindow(Item(IDC_PROGRESS_CLOSE), SW_SHOW);
    }
    if (openDestOnFinish_ && !destinationPath_.empty()) shell_.OpenFolder(destinationPath_);
    if (closeOnFinish_) CloseWindow();
}

void ProgressWindow::Close() {
    CloseWindow();
    destinationPath_.clear();
    sourcePath_.clear();
}

void ProgressWindow::Detach() {
    if (!IsOpen()) return;
    if (owner_ != nullptr) ::EnableWindow(owner_, TRUE);
    HWND window = Handle();
    SetPathProperty(window, kSourcePathProperty, sourcePath_);
    SetPathProperty(window, kDestPathProperty, destinationPath_);
    ::SetPropW(window, kShellProperty, &shell_);
    if (onWindowChanged) onWindowChanged(nullptr);
    Release();
    ::SetWindowLongPtrW(window, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(&ProgressWindow::DetachedProcedure));
    WinGui::ModelessDialogs::Add(window);
}

INT_PTR CALLBACK ProgressWindow::DetachedProcedure(HWND window, UINT message, WPARAM wParam, LPARAM) {
    auto* shell = static_cast<Platform::ShellActions*>(::GetPropW(window, kShellProperty));
    switch (message) {
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDCANCEL:
                case IDC_PROGRESS_CLOSE:
                    ::DestroyWindow(window);
                    return TRUE;
                case IDC_PROGRESS_SHOW_SOURCE:
                    if (const wchar_t* path = PathProperty(window, kSourcePathProperty); path && shell) {
                        shell->SelectInFileManager(path);
                    }
                    return TRUE;
                case IDC_PROGRESS_OPEN_DEST:
                    if (const wchar_t* path = PathProperty(window, kDestPathProperty); path && shell) {
                        shell->OpenFolder(path);
                    }
                    return TRUE;
                default:
                    return TRUE;  // the check boxes no longer mean anything
            }
        case WM_CLOSE:
            ::DestroyWindow(window);
            return TRUE;
        case WM_NCDESTROY:
            FreePathProperty(window, kSourcePathProperty);
            FreePathProperty(window, kDestPathProperty);
            ::RemovePropW(window, kShellProperty);
            WinGui::ModelessDialogs::Remove(window);
            return FALSE;
        default:
            return FALSE;
    }
}

void ProgressWindow::RunUntilClosed() {
    if (IsOpen()) WinGui::RunUntilClosed(Handle());
}

void ProgressWindow::ReadCompletionOptions() {
    std::uint32_t value = 0;
    closeOnFinish_ = ReadDword(kSettingCloseDialogOnFinished, value) && value != 0;
    value = 0;
    openDestOnFinish_ = ReadDword(kSettingOpenDestFolderOnFinished, value) && value != 0;
}

void ProgressWindow::WriteCompletionOptions() const {
    WriteDword(kSettingCloseDialogOnFinished, closeOnFinish_ ? 1 : 0);
    WriteDword(kSettingOpenDestFolderOnFinished, openDestOnFinish_ ? 1 : 0);
}

}  // namespace Arkova
