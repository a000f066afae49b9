// Writes the seed corpora of the fuzz targets: small archives that reach every header variant.
// Usage: make-fuzz-seeds FOLDER   (creates FOLDER/<fuzzer name>/...)
#include <cstdio>
#include <string>

#include "platform/file_system.h"
#include "platform/text.h"
#include "support/alz_writer.h"
#include "support/scratch_folder.h"

namespace {

using Arkova::Testing::AlzEntry;
using Arkova::Testing::AlzWriter;

void WriteAlzSeeds(const std::wstring& folder) {
    AlzEntry encrypted;
    encrypted.name = "locked";
    encrypted.content = Arkova::Testing::ToBytes("secret");
    encrypted.encrypted = true;
    AlzEntry wide;
    wide.name = "wide";
    wide.content = Arkova::Testing::ToBytes("sixty-four bits");
    wide.sizeWidth = 8;
    AlzEntry narrow = wide;
    narrow.name = "narrow";
    narrow.sizeWidth = 1;
    narrow.method = 0;
    AlzEntry odd = wide;
    odd.name = "odd";
    odd.sizeWidth = 3;
    const std::pair<const wchar_t*, AlzWriter> seeds[] = {
        {L"basic.alz", AlzWriter().ArchiveHeader().Folder("dir").File("dir\\a.txt", "alpha alpha alpha")},
        {L"stored.alz", AlzWriter().File("s.txt", "stored bytes", 0)},
        {L"encrypted.alz", AlzWriter().ArchiveHeader().Add(encrypted)},
        {L"widths.alz", AlzWriter().Add(wide).Add(narrow).Add(odd)},
        {L"korean.alz", AlzWriter().File("\xC7\xD1\xB1\xDB.txt", "hangul")},
        {L"hostile.alz", AlzWriter().File("..\\..\\x", "x").File("C:\\y", "y")},
    };
    Arkova::Platform::MakeDirectories(folder);
    for (const auto& [name, writer] : seeds) writer.WriteTo(Arkova::Platform::JoinPath(folder, name));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: make-fuzz-seeds FOLDER\n", stderr);
        return 2;
    }
    std::wstring root = Arkova::Platform::Utf8ToWide(argv[1]);
    WriteAlzSeeds(Arkova::Platform::JoinPath(root, L"alz_fuzzer"));
    return 0;
}
