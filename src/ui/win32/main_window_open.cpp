// The main window's entries leaving the browser: opening a row (a folder, an image in the external viewer, any
// other file with its program from a temporary folder), the preview's double click, and dragging rows out.
#include <objbase.h>

#include <mutex>

#include "app/job_settings.h"
#include "archive/entry_path.h"
#include "dialogs/password_prompt.h"
#include "extract/extraction_job.h"
#include "frontend/texts.h"
#include "platform/file_system.h"
#include "preview/image_name.h"
#include "ui/drag_items.h"
#include "ui/open_items.h"
#include "ui/win32/main_window.h"

namespace Arkova {

void MainWindow::OpenSelectedRow() {
    std::vector<SelectedRow> rows = browser_.SelectedRows();
    if (rows.empty()) return;
    const std::wstring name = rows.front().name.substr(0, 255);
    const std::wstring entryPath = Ui::EntryPathIn(browser_.CurrentFolder(), name);
    if (rows.front().typeText == kTextFolder) {
        browser_.NavigateToFolder(entryPath);
        return;
    }
    if (!EnsurePasswordForOpen()) return;
    if (IsImageFileName(name) && OpenInImageViewer(entryPath)) return;
    OpenItemWithShell(name);
}

bool MainWindow::EnsurePasswordForOpen() {
    const IArchiveDecoder* decoder = session_->context.Decoder();
    if (decoder == nullptr || !decoder->HasEncryptedItems() || !session_->archivePassword.empty()) return true;
    bool accepted = false;
    {
        // The prompt checks each answer by decrypting an entry.
        std::scoped_lock lock(session_->decoderMutex);
        accepted = RequestPassword(*session_, frontEnd_);
    }
    if (accepted) OnPasswordAccepted();
    return accepted;
}

void MainWindow::OnPasswordAccepted() {
    // Encrypted images can be thumbnailed now.
    if (browser_.Model().ShowsThumbnails()) BuildThumbnails();
}

void MainWindow::OpenItemWithShell(const std::wstring& name) {
    if (!session_->HasOpenArchive()) return;
    const std::wstring fileName = Ui::WithoutEncryptedMark(name);
    std::optional<std::uint32_t> position = Ui::EntryToOpen(session_->context.Items(), browser_.CurrentFolder(), name);
    std::wstring target;
    // The name is one component of an untrusted entry path: it must not climb out of the folder or name a device.
    if (!position || !SafeOutputPath(Platform::TempDirectory(), fileName, target)) return;
    GUID guid{};
    if (FAILED(::CoCreateGuid(&guid))) return;
    const std::wstring parent = Platform::JoinPath(Platform::TempDirectory(), L"Arkova");
    temporaries_.RemoveWhenEmpty(parent);
    const std::wstring folder = temporaries_.MakeNew(
        Platform::JoinPath(parent, Ui::GuidFolderName(guid.Data1, guid.Data2, guid.Data3, guid.Data4)));
    if (folder.empty() || !SafeOutputPath(folder, fileName, target)) return;
    DecodeResult result = DecodeResult::InternalError;
    {
        std::scoped_lock lock(session_->decoderMutex);
        result = session_->context.ExtractItemToFile(*position, target);
    }
    if (result == DecodeResult::Ok) shell_.OpenFile(target, L"", Handle());
}

bool MainWindow::OpenInImageViewer(const std::wstring& entryPath) {
    if (entryPath.empty() || !session_->HasOpenArchive()) return false;
    const std::wstring viewer = Ui::FindImageViewer();
    if (viewer.empty()) return false;
    std::optional<std::wstring> parameters =
        Ui::ImageViewerParameters(session_->archivePath, entryPath, session_->archivePassword);
    if (!parameters) return false;
    shell_.OpenFile(viewer, *parameters, Handle());
    return true;
}

void MainWindow::OnPreviewDoubleClick() {
    if (previewItemPath_.empty()) return;
    if (!OpenInImageViewer(previewItemPath_)) OpenItemWithShell(Ui::PreviewEntryName(previewItemPath_));
}

std::vector<DragItem> MainWindow::DraggedItems() const {
    return Ui::BuildDragItems(browser_.SelectedRows(), session_->context.Items(), browser_.CurrentFolder());
}

DragOutSetup MainWindow::DragSetup() {
    DragOutSetup setup;
    std::weak_ptr<bool> alive = alive_;
    const std::wstring archivePath = session_->archivePath;
    // A target may ask for the data after the loop: by then the window may be gone or show another archive.
    auto stillHere = [this, alive, archivePath] { return !alive.expired() && session_->archivePath == archivePath; };
    setup.extract = [this, stillHere](const std::vector<DragItem>& items, const std::wstring& destination,
                                      const std::wstring& displayDestination) {
        return stillHere() && ExtractItems(items, destination, displayDestination);
    };
    setup.makeTemporaryFolder = [this, stillHere](const std::wstring& wanted) {
        return stillHere() ? temporaries_.MakeNew(wanted) : std::wstring();
    };
    setup.currentFolder = browser_.CurrentFolder();
    return setup;
}

void MainWindow::BeginDragOut() {
    std::vector<DragItem> items = DraggedItems();
    if (!items.empty()) RunDragOut(items, DragSetup(), Handle());
}

bool MainWindow::ExtractItems(const std::vector<DragItem>& items, const std::wstring& destination,
                              const std::wstring& displayDestination) {
    session_->currentFolder = browser_.CurrentFolder();
    ExtractionJob job(*session_, frontEnd_, ReadJobSettings());
    // The engine places entries by their whole archive path; inside a sub-folder only the sequential job puts them
    // relative to the browsed folder, where the drop target is told they are.
    if (!session_->currentFolder.empty()) job.SetParallelAllowed(false);
    job.SetDetachWhenFinished(true);
    return job.ExtractItems(items, destination, displayDestination);
}

}  // namespace Arkova
