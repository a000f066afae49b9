// Writes the seed corpora of the fuzz targets: small archives that reach every header variant.
// Usage: make-fuzz-seeds FOLDER   (creates FOLDER/<fuzzer name>/...)
#include <cstdio>
#include <string>

#include "platform/file_system.h"
#include "platform/text.h"
#include "support/alz_writer.h"
#include "support/egg_writer.h"
#include "support/rar4_writer.h"
#include "support/rar5_writer.h"
#include "support/jpeg_writer.h"
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
    // The fuzzers set this password on odd-sized inputs, so the decryption paths run too.
    AlzEntry sealed;
    sealed.name = "sealed";
    sealed.content = Arkova::Testing::ToBytes("sealed sealed sealed sealed");
    sealed.encrypted = true;
    sealed.password = "password12345!";
    AlzEntry bzip2 = wide;
    bzip2.name = "bzip2";
    bzip2.method = 1;
    AlzEntry sealedBzip2 = sealed;
    sealedBzip2.method = 1;
    const std::pair<const wchar_t*, AlzWriter> seeds[] = {
        {L"bzip2.alz", AlzWriter().ArchiveHeader().Add(bzip2)},
        {L"sealed.alz", AlzWriter().ArchiveHeader().Add(sealed).Add(sealedBzip2).File("empty", "", 0)},
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

void WriteEggSeeds(const std::wstring& folder) {
    using Arkova::Testing::EggBlock;
    using Arkova::Testing::EggWriter;
    EggBlock first;
    first.content = Arkova::Testing::ToBytes("first block, deflated ");
    EggBlock second;
    second.content = Arkova::Testing::ToBytes("second block, stored, no end marker");
    second.method = 0;
    second.endMarker = false;
    EggBlock empty;
    empty.method = 0;
    EggWriter extras;
    extras.ArchiveHeader().FileHeader(1).FileName("extras").WindowsFileInfo(Arkova::Testing::kEggDefaultTime, 0x21, 20);
    for (std::uint32_t kind : Arkova::Testing::kEggSkippedKinds) extras.Skipped(kind, Arkova::Testing::ToBytes("body"));
    extras.WindowsFileInfo(0, 0, 4).Block(second);
    using Arkova::Testing::ToBytes;
    const Arkova::Testing::Bytes text = ToBytes("lorem ipsum dolor sit amet, lorem ipsum dolor sit amet");
    const std::string password = "password12345!";
    EggWriter sealed;
    sealed.ArchiveHeader();
    for (std::uint8_t cipher : {std::uint8_t{0}, std::uint8_t{1}, std::uint8_t{2}, std::uint8_t{5}, std::uint8_t{6}})
        sealed.SealedFile("c" + std::to_string(cipher), text, 1, cipher, password);
    EggWriter methods;
    methods.ArchiveHeader();
    for (std::uint8_t method : {std::uint8_t{2}, std::uint8_t{3}, std::uint8_t{4}}) {
        EggBlock block;
        block.content = text;
        block.method = method;
        methods.FileHeader(text.size()).FileName("m" + std::to_string(method)).EndMarker().Block(block);
    }
    EggWriter solid;
    solid.Raw(ToBytes("EGGA")).Raw({0, 1, 7, 0, 0, 0, 0, 0, 0, 0}).Extra(0x24E5A060, {}).EndMarker();
    solid.FileHeader(5).FileName("a").EndMarker().FileHeader(text.size() - 5).FileName("b").EndMarker();
    EggBlock shared;
    shared.content = text;
    shared.method = 4;
    solid.Block(shared);
    EggWriter global;
    global.ArchiveHeader().Extra(Arkova::Testing::kEggGlobalEncryption, {9, 1, 2, 3}).File("g", "global");
    global.Extra(Arkova::Testing::kEggComment, ToBytes("archive comment"));
    Arkova::Testing::Bytes posix(20, 0);
    posix[1] = 0x41;  // a folder
    EggWriter unix;
    unix.ArchiveHeader().FileHeader(0).FileName("d").Extra(Arkova::Testing::kEggPosixFileInfo, posix).EndMarker();
    const std::pair<const wchar_t*, EggWriter> seeds[] = {
        {L"sealed.egg", sealed},
        {L"methods.egg", methods},
        {L"solid.egg", solid},
        {L"global.egg", global},
        {L"posix.egg", unix},
        {L"basic.egg", EggWriter().ArchiveHeader().Folder("dir/").File("dir/a.txt", "alpha alpha alpha")},
        {L"stored.egg", EggWriter().ArchiveHeader().File("s.txt", "stored bytes", 0)},
        {L"blocks.egg", EggWriter().ArchiveHeader().FileHeader(57).FileName("split").Block(first).Block(second)},
        {L"empty.egg", EggWriter().ArchiveHeader().FileHeader(0).FileName("e").Block(empty).Folder("f/", 0x10)},
        {L"extras.egg", extras},
        {L"korean.egg", EggWriter().ArchiveHeader().File("\xED\x95\x9C\xEA\xB8\x80.txt", "hangul")},
        {L"hostile.egg", EggWriter().ArchiveHeader().File("../../x", "x").File("C:\\y", "y")},
        {L"encrypted.egg", EggWriter()
                               .ArchiveHeader()
                               .FileHeader(6)
                               .FileName("locked")
                               .Skipped(Arkova::Testing::kEggEncryption, Arkova::Testing::Bytes(12, 1))
                               .Block(second)},
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
        {L"basic.zip",
         ZipWriter().Folder("dir/").File("dir/a.txt", "alpha alpha alpha").File("s.txt", "s", 0).Finish()},
        {L"descriptor.zip", ZipWriter().Add(described).Add(stamped).Finish()},
        {L"zip64.zip", ZipWriter().Add(big).Finish(zip64End)},
        {L"comment.zip", ZipWriter().File("c.txt", "c").Finish(commented)},
        {L"hostile.zip", ZipWriter().File("../../x", "x").File("\xC7\xD1\xB1\xDB.txt", "hangul").Finish()},
    };
    Arkova::Platform::MakeDirectories(folder);
    for (const auto& [name, writer] : seeds) writer.WriteTo(Arkova::Platform::JoinPath(folder, name));
}

void WriteRarSeeds(const std::wstring& folder) {
    using Arkova::Testing::Rar4Writer;
    using Arkova::Testing::Rar5Writer;
    Arkova::Platform::MakeDirectories(folder);
    auto path = [&folder](const wchar_t* name) { return Arkova::Platform::JoinPath(folder, name); };
    Rar4Writer().Folder("dir").Stored("dir\\a.txt", "alpha alpha").Stored("\xC7\xD1\xB1\xDB.txt", "hangul").Finish().WriteTo(
        path(L"rar4.rar"));
    Rar4Writer().Stored("bad.txt", "bad crc", true).Stored("..\\..\\x", "x").Finish().WriteTo(path(L"rar4-bad.rar"));
    Rar4Writer::WriteSplitFile(path(L"rar4-volume.rar"), "split.txt", "split across three volumes", 3);
    Rar5Writer().Folder("dir").Stored("dir/s.txt", "stored").Packed("p.txt", "packed bytes").Finish().WriteTo(
        path(L"rar5.rar"));
}

// Two small JPEGs: one flat, one detailed.
void WriteJpegSeeds(const std::wstring& folder) {
    Arkova::Platform::MakeDirectories(folder);
    Arkova::Testing::WriteBytes(Arkova::Platform::JoinPath(folder, L"flat.jpg"),
                                Arkova::Testing::MakeSolidJpeg(16, 16, {200, 100, 50}));
    Arkova::Testing::WriteBytes(
        Arkova::Platform::JoinPath(folder, L"pattern.jpg"), Arkova::Testing::MakeJpeg(40, 24, [](int x, int y) {
            return Arkova::Testing::Rgb{static_cast<std::uint8_t>(x * 6), static_cast<std::uint8_t>(y * 10),
                                        static_cast<std::uint8_t>((x ^ y) * 8)};
        }));
}

// Raw deflate of text runs and random runs at three levels: every block type, and block starts at every bit.
void WriteDeflateSeeds(const std::wstring& folder) {
    Arkova::Platform::MakeDirectories(folder);
    Arkova::Testing::Bytes content(96 << 10);
    std::uint32_t state = 7;
    for (std::size_t i = 0; i < content.size(); ++i) {
        state = state * 1103515245u + 12345u;
        const bool text = (i / 20000) % 3 != 2;
        content[i] = static_cast<std::uint8_t>(text ? 'a' + (state >> 16) % 12 : state >> 16);
    }
    for (int level : {1, 6, 9}) {
        Arkova::Testing::WriteBytes(Arkova::Platform::JoinPath(folder, L"level" + std::to_wstring(level) + L".raw"),
                                    Arkova::Testing::DeflateRaw(content, level));
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: make-fuzz-seeds FOLDER\n", stderr);
        return 2;
    }
    std::wstring root = Arkova::Platform::Utf8ToWide(argv[1]);
    WriteAlzSeeds(Arkova::Platform::JoinPath(root, L"alz_fuzzer"));
    WriteEggSeeds(Arkova::Platform::JoinPath(root, L"egg_fuzzer"));
    WriteZipSeeds(Arkova::Platform::JoinPath(root, L"zip_directory_fuzzer"));
    WriteRarSeeds(Arkova::Platform::JoinPath(root, L"rar_fuzzer"));
    WriteJpegSeeds(Arkova::Platform::JoinPath(root, L"jpeg_fuzzer"));
    WriteDeflateSeeds(Arkova::Platform::JoinPath(root, L"deflate_tail_fuzzer"));
    return 0;
}
