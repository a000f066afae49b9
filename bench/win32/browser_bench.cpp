// How fast the main window's browser is on big archives, measured inside the program under Wine: browser-bench
// FOLDER writes ZIP archives of 1,000, 10,000 and 100,000 entries and an ALZ of 10,000 into FOLDER (all but 1,000
// entries in the root folder, the rest in "sub"), opens each in a real main window and prints, per archive, the
// milliseconds from OpenArchiveFile to the filled list, a switch from "sub" back to the full root folder, a sort
// of the root by name and by size, a search keystroke's filter of it, and the browser model's bytes per entry
// (counted by this program's allocator).
#include <windows.h>

#include <objbase.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <new>
#include <string>

#include "support/alz_writer.h"
#include "support/jpeg_writer.h"
#include "support/zip_writer.h"
#include "ui/browser_model.h"
#include "ui/win32/gdiplus.h"
#include "ui/win32/main_window.h"
#include "wingui/message_pump.h"

namespace {

// Every allocation of the program, live bytes counted: each block carries its size in front.
std::atomic<long long> liveBytes{0};
constexpr std::size_t kHeader = alignof(std::max_align_t);

void* Allocate(std::size_t size) {
    auto* block = static_cast<unsigned char*>(std::malloc(size + kHeader));
    if (block == nullptr) throw std::bad_alloc();
    *reinterpret_cast<std::size_t*>(block) = size;
    liveBytes += static_cast<long long>(size);
    return block + kHeader;
}

void Free(void* pointer) {
    if (pointer == nullptr) return;
    auto* block = static_cast<unsigned char*>(pointer) - kHeader;
    liveBytes -= static_cast<long long>(*reinterpret_cast<std::size_t*>(block));
    std::free(block);
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* pointer) noexcept { Free(pointer); }
void operator delete[](void* pointer) noexcept { Free(pointer); }
void operator delete(void* pointer, std::size_t) noexcept { Free(pointer); }
void operator delete[](void* pointer, std::size_t) noexcept { Free(pointer); }

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(const std::function<void()>& work) {
    auto start = Clock::now();
    work();
    Arkova::WinGui::PumpWaitingMessages();  // what the change made the window repaint
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::string EntryName(int i, int entries) {
    return (i < entries - 1000 ? "" : "sub/") + std::string("file") + std::to_string(i) + ".txt";
}

bool WriteZip(const std::wstring& path, int entries) {
    Arkova::Testing::ZipWriter zip;
    for (int i = 0; i < entries; ++i) zip.File(EntryName(i, entries), std::to_string(i), 0);
    return zip.Finish().WriteTo(path);
}

bool WriteAlz(const std::wstring& path, int entries) {
    Arkova::Testing::AlzWriter alz;
    alz.ArchiveHeader();
    for (int i = 0; i < entries; ++i) {
        std::string name = EntryName(i, entries);
        for (char& c : name) c = c == '/' ? '\\' : c;
        alz.File(name, std::to_string(i), 0);
    }
    return alz.WriteTo(path);
}

void Measure(const std::wstring& path, int entries, const char* label) {
    Arkova::MainWindow window;
    if (!window.Create(SW_SHOWNORMAL)) return;
    double open = Milliseconds([&] { window.OpenArchiveFile(path); });
    Arkova::BrowserView& browser = window.Browser();
    browser.NavigateToFolder(L"sub");
    double folderSwitch = Milliseconds([&] { browser.NavigateToFolder(L""); });
    double sortName = Milliseconds([&] { browser.SetSort(Arkova::Ui::SortKey::ByName, false); });
    double sortSize = Milliseconds([&] { browser.SetSort(Arkova::Ui::SortKey::BySize, true); });
    double search = Milliseconds([&] { browser.SetSearchText(L"7"); });
    browser.SetSearchText(L"");
    // The model alone, built afresh over the decoder's list (the window's own keeps its capacity when refilled).
    const auto& items = window.Session().context.Items();
    const long long before = liveBytes;
    double perEntry = 0;
    {
        Arkova::Ui::BrowserModel model;
        model.Open(items, path);
        perEntry = static_cast<double>(liveBytes - before) / static_cast<double>(entries);
    }
    std::printf(
        "%-8s %7d  open %8.1f ms  folder %6.1f ms  sort name %6.1f ms  sort size %6.1f ms  search %6.1f ms"
        "  model %5.0f B/entry\n",
        label, entries, open, folderSwitch, sortName, sortSize, search, perEntry);
    std::fflush(stdout);
    window.Destroy();
}

// 200 JPEGs of about 2 megapixels in one folder of a ZIP, shown in the large-icon view: the milliseconds from the
// view switch to the last thumbnail on screen.
bool MeasureThumbnails(const std::wstring& folder) {
    constexpr int kImages = 200;
    constexpr int kWidth = 1632;
    constexpr int kHeight = 1224;
    Arkova::Testing::ZipWriter zip;
    for (int i = 0; i < kImages; ++i) {
        Arkova::Testing::ZipWriterEntry entry;
        entry.name = "photos/img" + std::to_string(i) + ".jpg";
        entry.content = Arkova::Testing::MakeJpeg(
            kWidth, kHeight,
            [i](int x, int y) {
                return Arkova::Testing::Rgb{static_cast<std::uint8_t>(x * 255 / kWidth),
                                            static_cast<std::uint8_t>(y * 255 / kHeight),
                                            static_cast<std::uint8_t>((i * 37 + (x ^ y)) % 256)};
            },
            85);
        entry.method = 0;
        zip.Add(entry);
    }
    const std::wstring path = folder + L"\\photos.zip";
    if (!zip.Finish().WriteTo(path)) return false;

    Arkova::MainWindow window;
    if (!window.Create(SW_SHOWNORMAL) || !window.OpenArchiveFile(path)) return false;
    Arkova::BrowserView& browser = window.Browser();
    browser.NavigateToFolder(L"photos");
    const auto start = Clock::now();
    browser.SetViewMode(Arkova::Ui::ViewMode::LargeIcons);
    const double icons = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    while (browser.ThumbnailCount() < kImages && browser.ThumbnailWorkersRunning()) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        Arkova::WinGui::PumpWaitingMessages();
    }
    Arkova::WinGui::PumpWaitingMessages();
    const double last = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    std::printf("thumbnails %d of %d JPEGs (%dx%d): icons shown %.1f ms, last thumbnail %.1f ms (%.1f ms/image)\n",
                browser.ThumbnailCount(), kImages, kWidth, kHeight, icons, last, last / kImages);
    std::fflush(stdout);
    window.Destroy();
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fputs("usage: browser-bench FOLDER\n", stderr);
        return 2;
    }
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    Arkova::GdiplusSession gdiplus;
    const std::wstring folder = argv[1];
    for (int entries : {1000, 10000, 100000}) {
        std::wstring path = folder + L"\\browser-" + std::to_wstring(entries) + L".zip";
        if (!WriteZip(path, entries)) return 1;
        Measure(path, entries, "zip");
    }
    std::wstring alz = folder + L"\\browser-10000.alz";
    if (!WriteAlz(alz, 10000)) return 1;
    Measure(alz, 10000, "alz");
    if (!MeasureThumbnails(folder)) return 1;
    ::CoUninitialize();
    return 0;
}
