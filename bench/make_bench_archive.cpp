// Packs a folder tree into an ALZ (ALZ's bzip2) or EGG (LZMA) archive with the test writers, for the benchmarks:
//   make-bench-archive alz|egg FOLDER OUTPUT [deflate]
// With "deflate", both formats deflate every file, as their creating program does by default, and the ALZ archive
// has no folder entries: unalz 0.65 stops at the second one, and the files name their folders anyway.
// Only regular files and folders; names as they are (UTF-8 for EGG, bytes for ALZ).
#include <algorithm>
#include <cstdio>
#include <string>

#include "platform/file_system.h"
#include "platform/text.h"
#include "support/egg_writer.h"
#include "support/scratch_folder.h"

namespace {

using Arkova::Platform::DirectoryEntry;

template <typename Visit>
void Walk(const std::wstring& root, const std::wstring& relative, Visit& visit) {
    std::vector<DirectoryEntry> entries;
    if (!Arkova::Platform::ListDirectory(relative.empty() ? root : Arkova::Platform::JoinPath(root, relative),
                                         entries)) {
        return;
    }
    std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    for (const DirectoryEntry& entry : entries) {
        std::wstring path = relative.empty() ? entry.name : relative + L"/" + entry.name;
        visit(path, entry.isDirectory);
        if (entry.isDirectory) Walk(root, path, visit);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4 && !(argc == 5 && std::string(argv[4]) == "deflate")) {
        std::fprintf(stderr, "usage: make-bench-archive alz|egg FOLDER OUTPUT [deflate]\n");
        return 2;
    }
    const std::string kind = argv[1];
    const bool deflate = argc == 5;
    const std::wstring root = Arkova::Platform::Utf8ToWide(argv[2]);
    Arkova::Testing::AlzWriter alz;
    Arkova::Testing::EggWriter egg;
    alz.ArchiveHeader();
    egg.ArchiveHeader();
    auto visit = [&](const std::wstring& path, bool folder) {
        std::string name = Arkova::Platform::WideToUtf8(path);
        if (kind == "alz") {
            for (char& c : name) c = c == '/' ? '\\' : c;
            if (folder) {
                if (!deflate) alz.Folder(name);
                return;
            }
            Arkova::Testing::AlzEntry entry;
            entry.name = name;
            entry.content = Arkova::Testing::ReadBytes(Arkova::Platform::JoinPath(root, path));
            entry.method = entry.content.empty() ? 0 : (deflate ? 2 : 1);
            alz.Add(entry);
        } else if (folder) {
            egg.Folder(name + "/");
        } else {
            Arkova::Testing::EggBlock block;
            block.content = Arkova::Testing::ReadBytes(Arkova::Platform::JoinPath(root, path));
            block.method = deflate ? 1 : 4;
            egg.FileHeader(block.content.size()).FileName(name);
            egg.WindowsFileInfo(Arkova::Testing::kEggDefaultTime, 0x20).EndMarker().Block(block);
        }
    };
    Walk(root, L"", visit);
    const std::wstring output = Arkova::Platform::Utf8ToWide(argv[3]);
    return (kind == "alz" ? alz.WriteTo(output) : egg.WriteTo(output)) ? 0 : 1;
}
