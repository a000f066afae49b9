#include "ui/win32/main_window.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include "app/settings.h"
#include "archive/browser_path.h"
#include "dialogs/archive_open.h"
#include "dialogs/archive_test.h"
#include "dialogs/destination_rules.h"
#include "dialogs/win32/destination_dialog.h"
#include "extract/extraction_job.h"
#include "extract/parallel_test.h"
#include "frontend/texts.h"
#include "options/win32/options_dialog.h"
#include "platform/file_system.h"
#include "platform/text.h"
#include "preview/image_name.h"
#include "preview/win32/image_decoder_choice.h"
#include "resource.h"
#include "ui/archive_notes.h"
#include "ui/win32/about_box.h"
#include "wingui/dpi.h"

namespace Arkova {

namespace {

constexpr UINT_PTR kSearchTimer = 1001;
constexpr UINT kSearchDelayMs = 200;

const std::vector<ToolbarButtonSpec> kToolbarButtons = {
    {IDM_TOOLBAR_OPEN, L"btn_open.png", L"열기", false},
    {IDM_TOOLBAR_EXTRACT, L"btn_extract.png", L"풀기", false},
    {0, L"", L"", true},
    {IDM_TOOLBAR_COMPRESS, L"btn_compress.png", L"새로 압축", false},
    {IDM_TOOLBAR_VIEW, L"btn_viewtype.png", L"보기", false},
    {IDM_TOOLBAR_CODEPAGE, L"btn_codepage.png", L"코드페이지", false},
};

// The code page menu's entries, in command order from IDM_CODEPAGE_FIRST.
constexpr int kCodePages[] = {-1, 932, 936, 950, 949, 1252, 1250, 1251, 1254, 1253, 1256, 1255, 1257, 874, 65001, 0};

RECT ToRect(const Rect& rect) { return {rect.x, rect.y, rect.Right(), rect.Bottom()}; }
Rect FromRect(const RECT& rect) { return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top}; }

std::optional<Rect> WorkAreaOfMonitorTouching(const Rect& rect, bool nearest) {
    RECT area = ToRect(rect);
    HMONITOR monitor = ::MonitorFromRect(&area, nearest ? MONITOR_DEFAULTTONEAREST : MONITOR_DEFAULTTONULL);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (monitor == nullptr || !::GetMonitorInfoW(monitor, &info)) return std::nullopt;
    return FromRect(info.rcWork);
}

}  // namespace

const MainWindow::Command MainWindow::kCommands[] = {
    {IDM_ABOUT, &MainWindow::ShowAbout},
    {IDM_EXIT, &MainWindow::Exit},
    {IDM_OPEN_WELCOME, &MainWindow::ChooseArchive},
    {IDM_TOOLBAR_OPEN, &MainWindow::ChooseArchive},
    {IDM_FILE_OPEN, &MainWindow::ChooseArchive},
    {IDM_COMPRESS_WELCOME, &MainWindow::AnnounceCompress},
    {IDM_FILE_COMPRESS, &MainWindow::AnnounceCompress},
    // Creating archives is announced wherever it is offered.
    {IDM_TOOLBAR_COMPRESS, &MainWindow::AnnounceCompress},
    {IDM_TOOLBAR_EXTRACT, &MainWindow::Extract},
    {IDM_LIST_EXTRACT, &MainWindow::Extract},
    {IDM_TOOLBAR_CODEPAGE, &MainWindow::ShowCodePageMenu},
    {IDM_OPTIONS_TOOLBAR, &MainWindow::ShowOptions},
    {IDM_OPTIONS, &MainWindow::ShowOptions},
    {IDM_TOOLBAR_VIEW, &MainWindow::ShowViewMenu},
    {IDM_FILE_CLOSE, &MainWindow::CloseArchive},
    {IDM_TEST, &MainWindow::TestArchive},
    {IDM_EXTRACT, &MainWindow::SendExtract},
    {IDM_VIEW_DETAILS, &MainWindow::ShowDetails},
    {IDM_VIEW_LARGE_ICONS, &MainWindow::ShowLargeIcons},
    {IDM_FIND, &MainWindow::ToggleSearch},
    {IDM_STATUS_OPEN_LOCATION, &MainWindow::OpenFileLocation},
};

MainWindow::MainWindow(Platform::ShellActions& shell) : shell_(shell), frontEnd_(nullptr, shell) {
    // The test command runs on every core for the archives the parallel engine reads.
    InstallParallelTest();
}

MainWindow::~MainWindow() = default;

bool MainWindow::Create(int showCommand) {
    GlobalSettings& settings = Globals();
    LoadSettings(settings);
    INITCOMMONCONTROLSEX controls{sizeof(controls), 0x4FF};
    ::InitCommonControlsEx(&controls);

    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    const UINT systemDpi = WinGui::SystemDpi();
    wchar_t title[128] = L"Arkova";
    ::LoadStringW(instance, IDS_APP_TITLE, title, static_cast<int>(std::size(title)));
    largeIcon_.Reset(
        static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDI_ARKOVA), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE)));
    smallIcon_.Reset(
        static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDI_ARKOVA_SMALL), IMAGE_ICON,
                                        ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), 0)));
    CreateArgs args;
    args.className = L"ArkovaMainWindow";
    args.title = title;
    args.style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    args.width = WinGui::Scale(1280, systemDpi);
    args.height = WinGui::Scale(800, systemDpi);
    args.menu = ::LoadMenuW(instance, MAKEINTRESOURCEW(IDR_MAIN_MENU));
    args.icon = largeIcon_.Get();
    if (!Window::Create(args)) return false;
    ::SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.Get()));
    dpi_ = static_cast<int>(WinGui::DpiForWindow(Handle()));

    RECT created{};
    ::GetWindowRect(Handle(), &created);
    SavedPlacement saved{settings.rememberWindowPos, settings.windowX, settings.windowY,
                         settings.windowW,           settings.windowH, settings.windowMaximized};
    Rect savedRect{saved.x, saved.y, saved.width, saved.height};
    FramePlacement placement =
        PlaceFrame(saved, WorkAreaOfMonitorTouching(savedRect, false), ::GetSystemMetrics(SM_CXSCREEN),
                   ::GetSystemMetrics(SM_CYSCREEN), FromRect(created),
                   WorkAreaOfMonitorTouching(FromRect(created), true).value_or(FromRect(created)));
    ::SetWindowPos(Handle(), nullptr, placement.rect.x, placement.rect.y, placement.rect.width, placement.rect.height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    ::ShowWindow(Handle(), placement.maximized ? SW_SHOWMAXIMIZED : showCommand);
    ::UpdateWindow(Handle());
    return true;
}

std::wstring MainWindow::ImageFolder() const {
    std::wstring program = Platform::ExecutablePath();
    return program.substr(0, program.find_last_of(L"\\/") + 1) + L"res\\";
}

bool MainWindow::OnCreate() {
    HWND frame = Handle();
    frontEnd_.SetOwner(frame);
    const UINT dpi = WinGui::DpiForWindow(frame);
    treeWidth_ = previewSplitY_ = WinGui::Scale(300, dpi);

    toolbar_.Create(frame, IDC_MAIN_TOOLBAR, WinGui::Scale(70, dpi), WinGui::Scale(54, dpi), dpi);
    toolbar_.AddButtons(kToolbarButtons, ImageFolder());
    toolbar_.onClick = [this](int id) { OnCommand(id, 0, nullptr); };

    treeSplitter_.Create(frame, IDC_MAIN_VSPLITTER, Splitter::Orientation::Vertical);
    previewSplitter_.Create(frame, IDC_MAIN_HSPLITTER, Splitter::Orientation::Horizontal);
    treeSplitter_.onMoved = [this](int position) {
        treeWidth_ = position;
        LayoutChildren();
    };
    previewSplitter_.onMoved = [this](int position) {
        previewSplitY_ = position;
        LayoutChildren();
    };

    browser_.Create(frame, dpi);
    browser_.SetSession(session_.get());
    browser_.onSelectionChanged = [this] {
        status_.SetText(StatusBar::kSelectionPart, browser_.SelectionSummary());
        UpdatePreview();
    };
    browser_.onFilled = [this](const std::wstring& count) { status_.SetText(StatusBar::kSelectionPart, count); };
    browser_.onCommand = [this](int command) { OnCommand(command, 0, nullptr); };
    browser_.onOpen = [this] { OpenSelectedRow(); };
    preview_.Create(frame, IDC_MAIN_PREVIEW);
    status_.Create(frame, IDC_MAIN_STATUS, dpi);
    status_.AddButton(IDM_STATUS_OPEN_LOCATION, ImageFolder() + L"btn_status_open_file_on_folder.png");

    welcome_.Create(frame, dpi, ImageFolder());
    welcome_.onOpen = [this] { OnCommand(IDM_FILE_OPEN, 0, nullptr); };
    welcome_.onCompress = [this] { OnCommand(IDM_FILE_COMPRESS, 0, nullptr); };

    WinGui::Edit::CreateArgs searchArgs;
    searchArgs.parent = frame;
    searchArgs.id = IDC_MAIN_SEARCH;
    searchArgs.width = 200;
    searchArgs.height = 24;
    searchArgs.style = ES_AUTOHSCROLL;
    searchFont_.Reset(::CreateFontW(-WinGui::Scale(16, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH,
                                    L"Segoe UI"));
    searchArgs.font = searchFont_.Get();
    search_.Create(searchArgs);
    ::SendMessageW(search_.Handle(), EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(L"찾기 검색어 입력"));
    search_.onChange = [this] { ::SetTimer(Handle(), kSearchTimer, kSearchDelayMs, nullptr); };
    WinGui::Button::CreateArgs clearArgs;
    clearArgs.parent = frame;
    clearArgs.id = IDC_MAIN_SEARCH_CLEAR;
    clearArgs.width = 24;
    clearArgs.height = 24;
    clearArgs.text = L"X";
    clearArgs.font = searchFont_.Get();
    searchClear_.Create(clearArgs);
    searchClear_.onClick = [this] {
        ClearSearch();
        search_.Focus();
    };

    ::DragAcceptFiles(frame, TRUE);
    ShowWelcome(true);
    return true;
}

LayoutInput MainWindow::CurrentLayoutInput() {
    RECT client{};
    ::GetClientRect(Handle(), &client);
    LayoutInput input;
    input.clientWidth = client.right;
    input.clientHeight = client.bottom;
    input.dpi = dpi_;
    input.toolbarHeight = ::IsWindowVisible(toolbar_.Handle()) ? toolbar_.Height() : 0;
    input.statusHeight = status_.Height();
    input.treeWidth = treeWidth_;
    input.previewSplitY = previewSplitY_;
    input.previewVisible = previewVisible_;
    input.searchVisible = searchVisible_;
    return input;
}

void MainWindow::LayoutChildren() {
    const LayoutInput input = CurrentLayoutInput();
    ChildLayout layout = Arkova::LayoutChildren(input);
    treeWidth_ = layout.treeWidth;
    previewSplitY_ = layout.previewSplitY;
    treeSplitter_.SetRange(layout.verticalRange.minimum, layout.verticalRange.maximum);
    treeSplitter_.SetPosition(treeWidth_);
    previewSplitter_.SetRange(layout.horizontalRange.minimum, layout.horizontalRange.maximum);
    previewSplitter_.SetPosition(previewSplitY_);

    if (input.toolbarHeight > 0) {
        ::SetWindowPos(toolbar_.Handle(), nullptr, 0, 0, layout.toolbar.width, layout.toolbar.height,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    HDWP batch = ::BeginDeferWindowPos(4);
    auto place = [&](HWND window, const Rect& rect) {
        if (batch != nullptr) {
            batch = ::DeferWindowPos(batch, window, nullptr, rect.x, rect.y, rect.width, rect.height,
                                     SWP_NOZORDER | SWP_NOACTIVATE);
        }
    };
    place(browser_.Tree(), layout.tree);
    place(treeSplitter_.Handle(), layout.verticalSplitter);
    place(browser_.List(), layout.list);
    if (layout.previewShown) {
        place(previewSplitter_.Handle(), layout.horizontalSplitter);
        place(preview_.Handle(), layout.preview);
    }
    if (batch != nullptr) ::EndDeferWindowPos(batch);
    browser_.ListResized();
    if (!welcomeShown_) {
        ::ShowWindow(previewSplitter_.Handle(), layout.previewShown ? SW_SHOWNA : SW_HIDE);
        ::ShowWindow(preview_.Handle(), layout.previewShown ? SW_SHOWNA : SW_HIDE);
    }

    for (auto [window, rect] :
         {std::pair{search_.Handle(), layout.searchEdit}, std::pair{searchClear_.Handle(), layout.searchClear}}) {
        if (layout.searchShown && !welcomeShown_) {
            ::SetWindowPos(window, nullptr, rect.x, rect.y, rect.width, rect.height,
                           SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
            ::InvalidateRect(window, nullptr, TRUE);
        } else {
            ::ShowWindow(window, SW_HIDE);
        }
    }
    status_.Relayout();
}

void MainWindow::OnSize(int, int) {
    if (::IsIconic(Handle())) return;
    LayoutChildren();
    if (welcomeShown_) {
        RECT client{};
        ::GetClientRect(Handle(), &client);
        ::SetWindowPos(welcome_.Handle(), nullptr, 0, 0, client.right, client.bottom - status_.Height(),
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void MainWindow::ShowWelcome(bool show) {
    welcomeShown_ = show;
    const int browserShow = show ? SW_HIDE : SW_SHOWNA;
    ::ShowWindow(toolbar_.Handle(), browserShow);
    toolbar_.SetButtonsVisible(!show);
    for (HWND window : {browser_.Tree(), browser_.List(), treeSplitter_.Handle()}) ::ShowWindow(window, browserShow);
    const int previewShow = !show && previewVisible_ ? SW_SHOWNA : SW_HIDE;
    ::ShowWindow(previewSplitter_.Handle(), previewShow);
    ::ShowWindow(preview_.Handle(), previewShow);
    searchVisible_ = !show;
    welcome_.SetVisible(show);
    if (show) {
        RECT client{};
        ::GetClientRect(Handle(), &client);
        ::SetWindowPos(welcome_.Handle(), nullptr, 0, 0, client.right, client.bottom - status_.Height(),
                       SWP_NOZORDER | SWP_NOACTIVATE);
        if (!browser_.SearchText().empty()) ClearSearch();
    }
    LayoutChildren();
}

void MainWindow::ClearArchiveView() {
    // The workers read the decoder that is about to close.
    browser_.StopThumbnailWorkers();
    preview_.Clear();
    previewDecoder_.reset();
    previewItemPath_.clear();
    previewVisible_ = false;
    session_->context.CloseArchive();
    session_->archivePath.clear();
    session_->currentFolder.clear();
    browser_.Clear();
    for (auto part : {StatusBar::kSelectionPart, StatusBar::kSpacerPart, StatusBar::kArchivePart}) {
        status_.SetText(part, L"");
    }
    archiveComment_.clear();
    archiveWarnings_.clear();
}

bool MainWindow::OpenArchiveFile(const std::wstring& path) {
    if (DecoderInUse()) return false;
    // The archive is opened into a fresh session first, so a failure leaves the one on screen untouched.
    auto opening = std::make_unique<ArchiveSession>();
    const int codePage = Globals().codePage;
    if (codePage != -1) opening->context.SetCodePage(codePage == 0 ? Platform::SystemAnsiCodePage() : codePage);
    DecodeResult result = OpenArchiveWithPassword(*opening, path, frontEnd_);
    if (result != DecodeResult::Ok) {
        std::wstring text = L"압축 파일을 열 수 없습니다: " + path + L"\n오류 코드: " + DecodeResultName(result);
        ::MessageBoxW(Handle(), text.c_str(), kCaptionError, MB_OK | MB_ICONERROR);
        return false;
    }
    ClearArchiveView();
    archiveComment_ = opening->context.Decoder()->ArchiveComment();
    archiveWarnings_ = opening->context.Decoder()->Warnings();
    session_ = std::move(opening);
    browser_.SetSession(session_.get());
    ShowWelcome(false);
    browser_.Show(session_->context.Items(), session_->archivePath);
    UpdateTitle();
    status_.SetText(StatusBar::kArchivePart, browser_.ArchiveSummary());
    UpdateArchiveNotice();
    return true;
}

void MainWindow::UpdateArchiveNotice(const std::vector<std::wstring>& newWarnings) {
    Ui::MergeWarnings(archiveWarnings_, newWarnings);
    status_.SetText(StatusBar::kSpacerPart, Ui::ArchiveNoticeText(archiveWarnings_.size(), !archiveComment_.empty()));
}

void MainWindow::ShowArchiveNotes() {
    if (archiveWarnings_.empty() && archiveComment_.empty()) return;
    // A message box grows with its text: a long comment is cut rather than pushed off the screen.
    constexpr std::size_t kLongest = 3000;
    std::wstring notes = Ui::ArchiveNotesText(archiveComment_, archiveWarnings_);
    if (notes.size() > kLongest) notes = notes.substr(0, kLongest) + L"\r\n…";
    const std::wstring text =
        Ui::ArchiveNotesSummary(archiveWarnings_.size(), !archiveComment_.empty()) + L"\r\n\r\n" + notes;
    const std::wstring caption = L"압축 파일 설명 - " + FileNamePart(session_->archivePath);
    ::MessageBoxW(Handle(), text.c_str(), caption.c_str(),
                  MB_OK | (archiveWarnings_.empty() ? MB_ICONINFORMATION : MB_ICONWARNING));
}

bool MainWindow::DecoderInUse() {
    std::unique_lock<std::mutex> lock;
    return session_->HasOpenArchive() && !browser_.LockDecoderForUi(lock);
}

SIZE MainWindow::PreviewPaneSize() {
    LayoutInput input = CurrentLayoutInput();
    input.previewVisible = true;
    const Rect pane = Arkova::LayoutChildren(input).preview;
    // The pane's edge takes a pixel on each side.
    return {std::max(1, pane.width - 2), std::max(1, pane.height - 2)};
}

void MainWindow::HidePreview() {
    preview_.Clear();
    previewItemPath_.clear();
    if (previewVisible_) {
        previewVisible_ = false;
        LayoutChildren();
    }
}

void MainWindow::UpdatePreview() {
    const int selected = browser_.SelectedCount();
    if (selected > 1) return;
    const int row = browser_.SingleSelectedRow();
    const Ui::BrowserModel& model = browser_.Model();
    if (row >= 0 && !model.IsFolderRow(static_cast<size_t>(row))) {
        const std::wstring name(model.Row(static_cast<size_t>(row)).name);
        if (IsImageFileName(name)) {
            if (model.RowPath(static_cast<size_t>(row)) != previewItemPath_) ShowPreviewEntry(name);
            return;
        }
    }
    HidePreview();
}

void MainWindow::ShowPreviewEntry(const std::wstring& name) {
    if (!session_->HasOpenArchive()) {
        preview_.Clear();
        return;
    }
    // A job or an opened entry of this thread holds the decoder while it pumps messages: no preview meanwhile.
    std::unique_lock<std::mutex> lock;
    if (!browser_.LockDecoderForUi(lock)) return;
    const std::wstring& folder = browser_.CurrentFolder();
    const std::wstring wanted = folder.empty() ? name : folder + L"/" + name;
    const ArchiveItem* entry = nullptr;
    std::wstring scratch;
    for (const ArchiveItem& item : session_->context.Items()) {
        if (BrowserPathView(item.path, scratch) == wanted) {
            entry = &item;
            break;
        }
    }
    if (entry == nullptr || entry->index == 0xFFFFFFFFu || (entry->isEncrypted && session_->archivePassword.empty())) {
        preview_.Clear();
        return;
    }
    std::vector<std::uint8_t> data;
    if (session_->context.Decoder()->ExtractToMemory(entry->index, data) != DecodeResult::Ok || data.empty()) {
        preview_.Clear();
        return;
    }
    lock.unlock();
    const SIZE pane = PreviewPaneSize();
    if (CreateImageDecoderForData(previewDecoder_, data.data(), data.size(), static_cast<std::uint32_t>(pane.cx),
                                  static_cast<std::uint32_t>(pane.cy)) &&
        preview_.SetImage(*previewDecoder_)) {
        previewItemPath_ = wanted;
        if (!previewVisible_) {
            previewVisible_ = true;
            LayoutChildren();
        }
        return;
    }
    HidePreview();
}

void MainWindow::UpdateTitle() {
    std::wstring title = session_->archivePath.empty() ? L"Arkova" : L"Arkova - " + FileNamePart(session_->archivePath);
    ::SetWindowTextW(Handle(), title.c_str());
}

bool MainWindow::ExtractArchive(const std::wstring& destination) {
    ExtractionJob job(*session_, frontEnd_, ReadJobSettings());
    const bool done = job.ExtractArchive({destination, true, false});
    UpdateArchiveNotice(job.Outcome().warnings);
    return done;
}

bool MainWindow::OnCommand(int id, int, HWND) {
    if (id >= IDM_CODEPAGE_FIRST && id <= IDM_CODEPAGE_LAST) {
        SetCodePage(kCodePages[id - IDM_CODEPAGE_FIRST]);
        return true;
    }
    for (const Command& command : kCommands) {
        if (command.id == id) {
            (this->*command.run)();
            return true;
        }
    }
    return false;
}

bool MainWindow::OnNotify(NMHDR& header, LRESULT& result) {
    if (header.idFrom == IDC_MAIN_STATUS && header.code == static_cast<UINT>(NM_CLICK) &&
        reinterpret_cast<NMMOUSE&>(header).dwItemSpec == StatusBar::kSpacerPart) {
        ShowArchiveNotes();
        return true;
    }
    if (header.idFrom == IDC_MAIN_PREVIEW && header.code == static_cast<UINT>(NM_DBLCLK)) {
        OnPreviewDoubleClick();
        return true;
    }
    if (header.hwndFrom == browser_.List() && header.code == LVN_BEGINDRAG) {
        BeginDragOut();
        result = 0;
        return true;
    }
    return browser_.HandleNotify(header, result);
}

void MainWindow::ShowAbout() { ShowAboutBox(Handle()); }

void MainWindow::Exit() { ::DestroyWindow(Handle()); }

void MainWindow::ChooseArchive() {
    wchar_t file[MAX_PATH] = L"";
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = Handle();
    dialog.lpstrFilter = L"압축 파일\0*.zip;*.7z;*.rar;*.egg;*.alz;*.tar;*.gz;*.bz2;*.xz\0모든 파일\0*.*\0";
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file;
    dialog.nMaxFile = MAX_PATH;
    dialog.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_EXPLORER;
    if (::GetOpenFileNameW(&dialog)) OpenArchiveFile(file);
}

void MainWindow::AnnounceCompress() {
    ::MessageBoxW(Handle(), L"새로 압축하기 기능은 준비 중입니다.", kCaptionNotice, MB_OK | MB_ICONINFORMATION);
}

void MainWindow::Extract() {
    if (!session_->HasOpenArchive()) {
        ::MessageBoxW(Handle(), kMessageOpenArchiveFirst, kCaptionNotice, MB_OK | MB_ICONINFORMATION);
        return;
    }
    const int selected = browser_.SelectedCount();
    DestinationRequest request;
    if (ShowDestinationDialog(request, Handle(), ::GetModuleHandleW(nullptr), session_->archivePath, selected,
                              selected == 0) != 1) {
        return;
    }
    std::wstring destination = request.destination;
    if (request.createSubfolder) {
        destination = SubfolderDestination(destination, session_->archivePath);
        ::CreateDirectoryW(destination.c_str(), nullptr);
    }
    session_->currentFolder = browser_.CurrentFolder();
    const bool hadPassword = !session_->archivePassword.empty();
    ExtractionJob job(*session_, frontEnd_, ReadJobSettings());
    if (request.extractAll) {
        job.ExtractArchive({destination, request.keepPaths, request.newerOnly});
    } else {
        job.ExtractSelection(browser_.SelectedRows(), destination);
    }
    UpdateArchiveNotice(job.Outcome().warnings);
    // Encrypted images can be thumbnailed now.
    if (!hadPassword && !session_->archivePassword.empty() && browser_.Model().ShowsThumbnails()) BuildThumbnails();
}

void MainWindow::ShowPopupUnder(HMENU menu, int toolbarButton) {
    HWND button = toolbar_.ButtonWindow(toolbarButton);
    RECT rect{};
    if (button != nullptr) ::GetWindowRect(button, &rect);
    ::TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN, rect.left, rect.bottom, 0, Handle(), nullptr);
}

void MainWindow::ShowCodePageMenu() {
    HMENU resource = ::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_CODEPAGE_MENU));
    if (resource == nullptr) return;
    HMENU popup = ::GetSubMenu(resource, 0);
    int checked = IDM_CODEPAGE_FIRST;
    for (int i = 0; i < static_cast<int>(std::size(kCodePages)); ++i) {
        if (kCodePages[i] == Globals().codePage) checked = IDM_CODEPAGE_FIRST + i;
    }
    ::CheckMenuRadioItem(popup, IDM_CODEPAGE_FIRST, IDM_CODEPAGE_LAST, checked, MF_BYCOMMAND);
    ShowPopupUnder(popup, IDM_TOOLBAR_CODEPAGE);
    ::DestroyMenu(resource);
}

void MainWindow::SetCodePage(int codePage) {
    Globals().codePage = codePage;
    SaveSettings(Globals());
    // Names are decoded when the archive is read: read it again in the new code page.
    if (session_->HasOpenArchive() && !session_->archivePath.empty())
        OpenArchiveFile(std::wstring(session_->archivePath));
}

void MainWindow::ShowOptions() { ShowOptionsDialog(Handle()); }

void MainWindow::ShowViewMenu() {
    HMENU popup = ::CreatePopupMenu();
    ::AppendMenuW(popup, MF_STRING, IDM_VIEW_DETAILS, L"자세히");
    ::AppendMenuW(popup, MF_STRING, IDM_VIEW_LARGE_ICONS, L"큰 아이콘 / 미리보기");
    ::CheckMenuRadioItem(popup, IDM_VIEW_DETAILS, IDM_VIEW_LARGE_ICONS,
                         browser_.Mode() == Ui::ViewMode::LargeIcons ? IDM_VIEW_LARGE_ICONS : IDM_VIEW_DETAILS,
                         MF_BYCOMMAND);
    ShowPopupUnder(popup, IDM_TOOLBAR_VIEW);
    ::DestroyMenu(popup);
}

void MainWindow::CloseArchive() {
    if (!session_->HasOpenArchive() || DecoderInUse()) return;
    ClearArchiveView();
    UpdateTitle();
    ShowWelcome(true);
}

void MainWindow::TestArchive() {
    const bool hadPassword = !session_->archivePassword.empty();
    TestReport report;
    Arkova::TestArchive(*session_, frontEnd_, &report);
    UpdateArchiveNotice(report.warnings);
    if (!hadPassword && !session_->archivePassword.empty() && browser_.Model().ShowsThumbnails()) BuildThumbnails();
}

void MainWindow::SendExtract() { ::SendMessageW(Handle(), WM_COMMAND, IDM_TOOLBAR_EXTRACT, 0); }

void MainWindow::ShowDetails() { browser_.SetViewMode(Ui::ViewMode::Details); }

void MainWindow::ShowLargeIcons() { browser_.SetViewMode(Ui::ViewMode::LargeIcons); }

void MainWindow::ToggleSearch() {
    if (!session_->HasOpenArchive()) return;
    searchVisible_ = !searchVisible_;
    LayoutChildren();
    if (searchVisible_) {
        search_.Focus();
        search_.SelectAll();
    }
}

void MainWindow::ClearSearch() {
    search_.SetText(L"");
    ::KillTimer(Handle(), kSearchTimer);
    browser_.SetSearchText(L"");
}

void MainWindow::OpenFileLocation() {
    if (!session_->archivePath.empty()) shell_.SelectInFileManager(session_->archivePath);
}

void MainWindow::OnFilesDropped(HDROP drop) {
    // Our own rows dragged over the window are not an archive to open.
    if (DragState().dragInProgress) {
        ::DragFinish(drop);
        return;
    }
    wchar_t path[MAX_PATH] = L"";
    const UINT length = ::DragQueryFileW(drop, 0, path, MAX_PATH);
    ::DragFinish(drop);
    std::wstring first(path, length);
    const bool absolute = (first.size() > 2 && first[1] == L':') || (first.size() > 1 && first.rfind(L"\\\\", 0) == 0);
    if (absolute && Platform::PathExists(first)) OpenArchiveFile(first);
}

void MainWindow::OnDpiChanged(UINT dpi, const RECT& suggested) {
    const int old = dpi_;
    dpi_ = static_cast<int>(dpi);
    treeWidth_ = ::MulDiv(treeWidth_, dpi_, old);
    previewSplitY_ = ::MulDiv(previewSplitY_, dpi_, old);
    ::SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    status_.SetDpi(dpi);
    browser_.SetDpi(dpi);
    LayoutChildren();
}

void MainWindow::SavePlacement() {
    GlobalSettings& settings = Globals();
    if (settings.rememberWindowPos) {
        WINDOWPLACEMENT placement{};
        placement.length = sizeof(placement);
        if (::GetWindowPlacement(Handle(), &placement)) {
            settings.windowMaximized = placement.showCmd == SW_SHOWMAXIMIZED;
            if (!settings.windowMaximized) {
                const RECT& normal = placement.rcNormalPosition;
                settings.windowX = normal.left;
                settings.windowY = normal.top;
                settings.windowW = normal.right - normal.left;
                settings.windowH = normal.bottom - normal.top;
            }
        }
    }
    SaveSettings(settings);
}

void MainWindow::OnDestroy() {
    browser_.StopThumbnailWorkers();
    SavePlacement();
    alive_.reset();
    temporaries_.RemoveAll();
    ::PostQuitMessage(0);
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            if (wParam == kSearchTimer) {
                ::KillTimer(Handle(), kSearchTimer);
                std::wstring text = search_.Text();
                if (text.size() > 255) text.resize(255);
                browser_.SetSearchText(text);
                return 0;
            }
            break;
        case WM_THUMBNAIL_READY:
            browser_.OnThumbnailReady(wParam, lParam);
            return 0;
        case WM_DROPFILES:
            OnFilesDropped(reinterpret_cast<HDROP>(wParam));
            return 0;
        case WM_KEYDOWN: {
            const bool control = (::GetKeyState(VK_CONTROL) & 0x8000) != 0;
            if (control && wParam == 'A') {
                browser_.SelectAll();
                return 0;
            }
            if (control && wParam == 'F' && session_->HasOpenArchive()) {
                searchVisible_ = true;
                LayoutChildren();
                search_.Focus();
                search_.SelectAll();
                return 0;
            }
            if (wParam == VK_ESCAPE && searchVisible_) {
                searchVisible_ = false;
                ClearSearch();
                LayoutChildren();
                ::SetFocus(browser_.List());
                return 0;
            }
            break;
        }
        default:
            break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace Arkova
