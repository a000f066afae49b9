// The progress window of a job (dialog 133): both bars with their percent labels, the current name, the status
// line, "취소", the two completion check boxes (saved as CloseDialogOnFinished and OpenDestFolderOnFinished), and
// the buttons that show the archive in the file manager and open the destination. A modeless dialog that
// disables its owner while it exists, so a job behaves like a modal operation while messages keep flowing.
// After a drag-out the finished window can be detached: it stays on screen on its own, keeping only the two
// paths, until the user closes it. UI thread only.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "frontend/progress_dialog.h"
#include "platform/shell.h"
#include "wingui/button.h"
#include "wingui/dialog.h"
#include "wingui/progress_bar.h"

namespace Arkova {

class ProgressWindow : public WinGui::Dialog, public ExtractProgressDialog {
public:
    // `owner` may be null (the window is then centred on the screen). `shell` must outlive every window this
    // object shows, detached ones included.
    ProgressWindow(HWND owner, Platform::ShellActions& shell);
    ~ProgressWindow() override;

    bool Open(const std::wstring& title, const std::wstring& destinationToShow,
              const std::wstring& sourceArchive) override;
    void SetCurrentName(const std::wstring& text) override;
    void SetStatusText(const std::wstring& text) override;
    void SetItemProgress(int percent) override;
    void SetOverallProgress(int percent) override;
    void StartItemMarquee() override;
    void StopItemMarquee() override;
    bool IsCancelled() const override { return cancelled_; }
    void PumpMessages() override;
    // Waits on the worker's two events and this thread's input together (MsgWaitForMultipleObjects, 100 ms).
    void WaitForWorker(JobSignal& signal) override;
    void Finish() override;
    bool IsOpen() const override { return Handle() != nullptr; }
    void Close() override;
    void Detach() override;
    void RunUntilClosed() override;

    // Told when this object's window appears (its handle) and when it is gone or detached (nullptr), so the
    // front end can own its prompts by the job's window.
    std::function<void(HWND)> onWindowChanged;

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnClose() override;
    void OnDestroy() override;

private:
    static INT_PTR CALLBACK DetachedProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void CloseWindow();
    void ReadCompletionOptions();
    void WriteCompletionOptions() const;
    void SetPercent(int labelId, WinGui::ProgressBar& bar, int percent);

    HWND owner_;
    Platform::ShellActions& shell_;
    bool cancelled_ = false;
    bool closeOnFinish_ = false;
    bool openDestOnFinish_ = false;
    std::wstring destinationPath_;
    std::wstring sourcePath_;
    WinGui::ProgressBar itemBar_;
    WinGui::ProgressBar overallBar_;
    WinGui::Button closeOnFinishBox_;
    WinGui::Button openDestOnFinishBox_;
};

}  // namespace Arkova
