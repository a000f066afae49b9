// Speed and memory of the archive browser's model on synthetic item lists of 1,000, 10,000 and 100,000 entries.
//
// Two shapes per size: "tree", entries in nested folders of 20 files (every fourth path "\" separated, as ALZ
// archives write them, with a directory entry for every other folder), and "flat", every entry in one folder, which
// is the worst case of a folder switch, a sort and a search. Each figure is the median of RUNS runs (5) in
// milliseconds; "B/entry" is the heap the open model holds per entry beyond the item list itself.
//
// Usage: browser-model-bench [RUNS]
#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "ui/browser_model.h"

namespace {

using Arkova::ArchiveItem;
using Arkova::Ui::BrowserModel;
using Arkova::Ui::SortKey;

std::vector<ArchiveItem> MakeItems(std::size_t count, bool flat) {
    std::mt19937 random(42);
    static const wchar_t* const kExtensions[] = {L".txt", L".cpp", L".PNG", L".jpg", L".h", L".dat"};
    std::vector<ArchiveItem> items;
    items.reserve(count);
    for (std::size_t i = 0; items.size() < count; ++i) {
        wchar_t name[96];
        std::swprintf(name, 96, L"%ls%06u%ls", random() % 2 ? L"File" : L"file",
                      static_cast<unsigned>(random() % 1000000), kExtensions[i % 6]);
        ArchiveItem item;
        std::size_t folder = i / 20;
        if (flat) {
            item.path = std::wstring(L"flat/") + name;
        } else {
            wchar_t path[160];
            const wchar_t* separator = i % 4 == 0 ? L"\\" : L"/";
            std::swprintf(path, 160, L"project%ls module%03u%ls part%02u%ls%ls", separator,
                          static_cast<unsigned>(folder / 100), separator, static_cast<unsigned>(folder % 100),
                          separator, name);
            item.path = path;
            if (i % 40 == 0) {
                ArchiveItem directory;
                directory.path = item.path.substr(0, item.path.find_last_of(L"\\/") + 1);
                directory.isDirectory = true;
                directory.index = static_cast<std::uint32_t>(items.size());
                items.push_back(directory);
                if (items.size() == count) break;
            }
        }
        item.size = random() % (1u << 24);
        item.packedSize = item.size / 2;
        item.modifiedTime = 130000000000000000ULL + random();
        item.crc = static_cast<std::uint32_t>(random());
        item.method = L"Deflate";
        item.index = static_cast<std::uint32_t>(items.size());
        items.push_back(std::move(item));
    }
    return items;
}

double Milliseconds(const std::function<void()>& work) {
    auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void Measure(std::size_t count, bool flat, int runs) {
    const std::vector<ArchiveItem> items = MakeItems(count, flat);
    const std::wstring folder = flat ? L"flat" : L"project/module000/part00";
    std::vector<double> build, show, byName, bySize, filter;
    double bytesPerEntry = 0;
    for (int run = 0; run < runs; ++run) {
        std::size_t before = mallinfo2().uordblks;
        BrowserModel model;
        build.push_back(Milliseconds([&] { model.Open(items, L"bench.zip"); }));
        bytesPerEntry = static_cast<double>(mallinfo2().uordblks - before) / static_cast<double>(count);
        model.ShowFolder(L"");
        show.push_back(Milliseconds([&] { model.ShowFolder(folder); }));
        byName.push_back(Milliseconds([&] { model.SetSort(SortKey::ByName, false); }));
        bySize.push_back(Milliseconds([&] { model.SetSort(SortKey::BySize, true); }));
        filter.push_back(Milliseconds([&] { model.SetSearchText(L"12"); }));
        if (model.RowCount() == 0 && flat) std::fprintf(stderr, "no row matched the search\n");
    }
    std::printf("%8zu  %-4s  %9.2f  %9.2f  %9.2f  %9.2f  %9.2f  %8.0f\n", count, flat ? "flat" : "tree", Median(build),
                Median(show), Median(byName), Median(bySize), Median(filter), bytesPerEntry);
}

}  // namespace

int main(int argc, char** argv) {
    int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    std::printf("entries  shape  build ms  switch ms  name sort  size sort  search ms  B/entry\n");
    for (std::size_t count : {1000u, 10000u, 100000u}) {
        Measure(count, false, runs);
        Measure(count, true, runs);
    }
    return 0;
}
