// The program's window: the archive browser. It owns the open archive (the session and its decoder), the toolbar,
// the folder tree and item list, the search bar, the status bar and the welcome panel shown while nothing is open,
// and it runs every command of the menu, the toolbar, the popups and the keyboard. UI thread only.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

#include "archive/archive_session.h"
#include "extract/win32/win32_front_end.h"
#include "platform/shell.h"
#include "preview/image_decoder.h"
#include "preview/win32/image_preview.h"
#include "ui/main_window_layout.h"
#include "ui/temporary_folders.h"
#include "ui/win32/browser_view.h"
#include "ui/win32/drag/drag_out.h"
#include "ui/win32/image_toolbar.h"
#include "ui/win32/splitter.h"
#include "ui/win32/status_bar.h"
#include "ui/win32/welcome_panel.h"
#include "wingui/button.h"
#include "wingui/edit.h"
#include "wingui/gdi_handles.h"
#include "wingui/window.h"

namespace Arkova {

class MainWindow : public WinGui::Window {
public:
    // `shell` opens folders for the window and its jobs; tests pass one that records the calls.
    explicit MainWindow(Platform::ShellActions& shell = Platform::SystemShell());
    ~MainWindow() override;

    // Registers the frame class, creates the frame where the saved settings say, and shows it.
    bool Create(int showCommand);
    // Opens the archive and shows it; says why in a message box when it cannot. A failed open leaves the welcome
    // panel, or the archive that was open before it.
    bool OpenArchiveFile(const std::wstring& path);
    void ClearArchiveView();
    void ShowWelcome(bool show);
    // The layout's input from the window's present size and state.
    LayoutInput CurrentLayoutInput();
    void LayoutChildren();
    // Extracts every entry, as the command line's "extract here" and "extract into a new folder" do.
    bool ExtractArchive(const std::wstring& destination);
    // Shows the entry named `name` in the current folder in the preview pane, or empties the pane.
    void ShowPreviewEntry(const std::wstring& name);
    // The icon views' thumbnails again, e.g. once a password is known.
    void BuildThumbnails() { browser_.BuildThumbnails(); }

    // Opening entries and dragging them out (main_window_open.cpp).
    // The list's double click or Enter on its first selected row: a folder opens in the browser, an image goes to
    // the external image viewer when it is installed, any other file opens with its program.
    void OpenSelectedRow();
    // Extracts the entry `name` of the browsed folder into a new temporary folder and opens it with the shell.
    void OpenItemWithShell(const std::wstring& name);
    // Starts the image viewer on the entry; false when there is no viewer or no archive.
    bool OpenInImageViewer(const std::wstring& entryPath);
    // The preview pane's double click: the previewed entry in the viewer, or else with the shell.
    void OnPreviewDoubleClick();
    // The list's begin-drag: the selected rows dragged out, extracted when dropped.
    void BeginDragOut();
    // The selected rows as the drag takes them, and what the drag needs from this window.
    std::vector<DragItem> DraggedItems() const;
    DragOutSetup DragSetup();
    // The job a drop runs: the items placed relative to the browsed folder; the finished window is left on its own.
    bool ExtractItems(const std::vector<DragItem>& items, const std::wstring& destination,
                      const std::wstring& displayDestination);
    // The temporary folders made so far this run; removed when the window is destroyed.
    const Ui::TemporaryFolders& Temporaries() const { return temporaries_; }

    ArchiveSession& Session() { return *session_; }
    BrowserView& Browser() { return browser_; }
    StatusBar& Status() { return status_; }
    ImagePreview& Preview() { return preview_; }
    bool PreviewVisible() const { return previewVisible_; }
    const std::wstring& PreviewItemPath() const { return previewItemPath_; }
    bool WelcomeShown() const { return welcomeShown_; }
    bool SearchVisible() const { return searchVisible_; }

protected:
    bool OnCreate() override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnNotify(NMHDR& header, LRESULT& result) override;
    void OnSize(int width, int height) override;
    void OnDpiChanged(UINT dpi, const RECT& suggested) override;
    void OnDestroy() override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    struct Command {
        int id;
        void (MainWindow::*run)();
    };
    static const Command kCommands[];

    // The command table's entries.
    void ShowAbout();
    void Exit();
    void ChooseArchive();
    void AnnounceCompress();
    void Extract();
    void ShowCodePageMenu();
    void ShowOptions();
    void ShowViewMenu();
    void CloseArchive();
    void TestArchive();
    void SendExtract();
    void ShowDetails();
    void ShowLargeIcons();
    void ToggleSearch();
    void OpenFileLocation();

    void SetCodePage(int codePage);
    // The preview rule when the list's selection changes.
    void UpdatePreview();
    void HidePreview();
    // True while this thread uses the decoder further up its stack (a job pumping messages): it must not be closed
    // or replaced then.
    bool DecoderInUse();
    // The pane's client size once it is shown, which the preview is decoded for.
    SIZE PreviewPaneSize();
    void ShowPopupUnder(HMENU menu, int toolbarButton);
    void ClearSearch();
    void OnFilesDropped(HDROP drop);
    // Asks for the password before an entry is opened when the archive has encrypted entries and none is known.
    bool EnsurePasswordForOpen();
    // A password was accepted while opening an entry: images that were encrypted can be shown now.
    void OnPasswordAccepted();
    void SavePlacement();
    void UpdateTitle();
    // The status bar's note of the archive's comment and warnings, with the warnings a job has met since.
    void UpdateArchiveNotice(const std::vector<std::wstring>& newWarnings = {});
    // A click on that note: the comment and the warnings in a message box.
    void ShowArchiveNotes();
    std::wstring ImageFolder() const;

    Platform::ShellActions& shell_;
    std::unique_ptr<ArchiveSession> session_ = std::make_unique<ArchiveSession>();
    Win32FrontEnd frontEnd_;
    int dpi_ = 96;
    int treeWidth_ = 0;
    int previewSplitY_ = 0;
    bool previewVisible_ = false;
    bool searchVisible_ = false;
    bool welcomeShown_ = true;

    ImageToolbar toolbar_;
    Splitter treeSplitter_;
    Splitter previewSplitter_;
    BrowserView browser_;
    ImagePreview preview_;
    std::unique_ptr<IImageDecoder> previewDecoder_;
    std::wstring previewItemPath_;
    StatusBar status_;
    WelcomePanel welcome_;
    WinGui::Edit search_;
    WinGui::Button searchClear_;
    WinGui::Font searchFont_;
    WinGui::Icon largeIcon_;
    WinGui::Icon smallIcon_;

    std::wstring archiveComment_;
    std::vector<std::wstring> archiveWarnings_;

    Ui::TemporaryFolders temporaries_;
    // Gone once the window is destroyed, so a drop target that keeps the dragged data cannot reach this object.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace Arkova
