// Writes the seed corpora of the fuzz targets: small archives that reach every header variant.
// Usage: make-fuzz-seeds FOLDER   (creates FOLDER/<fuzzer name>/...)
#include <cstdio>
#include <string>

#include "platform/file_system.h"
#include "platform/text.h"
#include "support/alz_writer.h"
#include "support/scratch_folder.h"
#include "support/zip_writer.h"

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

void WriteZipSeeds(const std::wstring& folder) {
    using Arkova::Testing::ZipEnd;
    using Arkova::Testing::ZipWriter;
    using Arkova::Testing::ZipWriterEntry;
    ZipWriterEntry described;
    described.name = "described.txt";
    described.content = Arkova::Testing::ToBytes("data descriptor follows");
    described.dataDescriptor = true;
    ZipWriterEntry big = described;
    big.name = "zip64.bin";
    big.dataDescriptor = false;
    big.zip64 = true;
    ZipWriterEntry stamped = described;
    stamped.name = "stamped.txt";
    stamped.dataDescriptor = false;
    stamped.unixTime = 1700000000;
    ZipEnd zip64End;
    zip64End.zip64 = true;
    ZipEnd commented;
    commented.comment = "PK\x05\x06 inside the comment";
    const std::pair<const wchar_t*, ZipWriter> seeds[] = {
        {L"basic.zip", ZipWriter().Folder("dir/").File("dir/a.txt", "alpha alpha alpha").File("s.txt", "s", 0).Finish()},
        {L"descriptor.zip", ZipWriter().Add(described).Add(stamped).Finish()},
        {L"zip64.zip", ZipWriter().Add(big).Finish(zip64End)},
        {L"comment.zip", ZipWriter().File("c.txt", "c").Finish(commented)},
        {L"hostile.zip", ZipWriter().File("../../x", "x").File("\xC7\xD1\xB1\xDB.txt", "hangul").Finish()},
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
    WriteZipSeeds(Arkova::Platform::JoinPath(root, L"zip_directory_fuzzer"));
    return 0;
}
