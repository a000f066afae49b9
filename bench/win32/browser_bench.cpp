// How fast the main window's browser is on big archives, measured inside the program under Wine: browser-bench
// FOLDER writes ZIP archives of 1,000, 10,000 and 100,000 entries (in folders of 1,000) and an ALZ of 10,000 into
// FOLDER, opens each in a real main window and prints, per archive, the milliseconds from OpenArchiveFile to the
// filled list, a folder switch, a sort by name and by size, a search keystroke's filter, and the browser model's
// bytes per entry.
#include <windows.h>

#include <objbase.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "support/alz_writer.h"
#include "support/zip_writer.h"
#include "ui/win32/gdiplus.h"
#include "ui/win32/main_window.h"
#include "wingui/message_pump.h"

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(const std::function<void()>& work) {
    auto start = Clock::now();
    work();
    Arkova::WinGui::PumpWaitingMessages();  // what the change made the window repaint
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::string EntryName(int i) { return "d" + std::to_string(i / 1000) + "/file" + std::to_string(i) + ".txt"; }

bool WriteZip(const std::wstring& path, int entries) {
    Arkova::Testing::ZipWriter zip;
    for (int i = 0; i < entries; ++i) zip.File(EntryName(i), std::to_string(i), 0);
    return zip.Finish().WriteTo(path);
}

bool WriteAlz(const std::wstring& path, int entries) {
    Arkova::Testing::AlzWriter alz;
    alz.ArchiveHeader();
    for (int i = 0; i < entries; ++i) {
        std::string name = EntryName(i);
        for (char& c : name) c = c == '/' ? '\\' : c;
        alz.File(name, std::to_string(i), 0);
    }
    return alz.WriteTo(path);
}

SIZE_T PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    ::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                           sizeof(counters));
    return counters.PrivateUsage;
}

void Measure(const std::wstring& path, int entries, const char* label) {
    Arkova::MainWindow window;
    if (!window.Create(SW_SHOWNORMAL)) return;
    double open = Milliseconds([&] { window.OpenArchiveFile(path); });
    Arkova::BrowserView& browser = window.Browser();
    const std::wstring folder = entries > 1000 ? L"d1" : L"d0";
    double folderSwitch = Milliseconds([&] { browser.NavigateToFolder(folder); });
    double sortName = Milliseconds([&] { browser.SetSort(Arkova::Ui::SortKey::ByName, false); });
    double sortSize = Milliseconds([&] { browser.SetSort(Arkova::Ui::SortKey::BySize, true); });
    double search = Milliseconds([&] { browser.SetSearchText(L"7"); });
    browser.SetSearchText(L"");
    // The model alone: rebuilt over the decoder's list, which stays.
    const auto& items = window.Session().context.Items();
    browser.Clear();
    SIZE_T before = PrivateBytes();
    browser.Show(items, path);
    SIZE_T after = PrivateBytes();
    double perEntry = after > before ? static_cast<double>(after - before) / static_cast<double>(entries) : 0.0;
    std::printf(
        "%-8s %7d  open %8.1f ms  folder %6.1f ms  sort name %6.1f ms  sort size %6.1f ms  search %6.1f ms"
        "  model %5.0f B/entry\n",
        label, entries, open, folderSwitch, sortName, sortSize, search, perEntry);
    std::fflush(stdout);
    window.Destroy();
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
    ::CoUninitialize();
    return 0;
}
