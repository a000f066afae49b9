// The central-directory reader must list what a valid directory holds, decode names the way the archive's maker
// meant, and turn every kind of damaged or lying directory into an error value rather than a crash or a huge
// allocation.
#include <gtest/gtest.h>

#include "archive/dos_time.h"
#include "fastzip/central_directory.h"
#include "fastzip/zip_name.h"
#include "platform/file_time.h"
#include "platform/text.h"
#include "support/scratch_folder.h"
#include "support/zip_writer.h"

namespace Arkova::FastZip {
namespace {

using Testing::Bytes;
using Testing::ScratchFolder;
using Testing::ToBytes;
using Testing::ZipWriter;
using Testing::ZipWriterEntry;

class CentralDirectoryTest : public ::testing::Test {
protected:
    // Reads `bytes` as an archive; the error text lands in `error`.
    bool Read(const Bytes& bytes, std::int32_t codePage = -1) {
        // A new file each time: the index may still hold the last one open, and Windows will not replace it.
        path_ = folder_ / (L"a" + std::to_wstring(++reads_) + L".zip");
        Testing::WriteBytes(path_, bytes);
        ErrorSlot slot;
        bool listed = ReadCentralDirectory(index_, slot, path_, codePage);
        error_ = ErrorTextOf(slot);
        return listed;
    }

    ScratchFolder folder_;
    std::wstring path_ = folder_ / L"a.zip";
    ZipArchiveIndex index_;
    std::wstring error_;
    int reads_ = 0;
};

TEST_F(CentralDirectoryTest, ListsEntriesInDirectoryOrder) {
    ZipWriter zip;
    zip.Folder("docs/").File("docs/a.txt", "alpha").File("b.bin", std::string(1000, 'b'), 0).Folder("win\\");
    ASSERT_TRUE(Read(zip.Finish().Data()));
    ASSERT_EQ(index_.entries.size(), 4u);
    EXPECT_EQ(index_.entries[1].name, L"docs/a.txt");
    EXPECT_EQ(index_.entries[1].method, kMethodDeflate);
    EXPECT_EQ(index_.entries[1].uncompressedSize, 5u);
    EXPECT_EQ(index_.entries[2].method, kMethodStored);
    EXPECT_EQ(index_.entries[2].compressedSize, 1000u);
    EXPECT_TRUE(index_.entries[0].isDirectory);
    EXPECT_FALSE(index_.entries[1].isDirectory);
    EXPECT_TRUE(index_.entries[3].isDirectory) << "a trailing backslash marks a folder too";
    EXPECT_EQ(index_.totalUncompressed, 1005u);
    EXPECT_TRUE(index_.directoryComplete);
}

TEST_F(CentralDirectoryTest, FailuresBeforeTheDirectoryRecordTheirText) {
    ErrorSlot slot;
    EXPECT_FALSE(ReadCentralDirectory(index_, slot, folder_ / L"missing.zip"));
    EXPECT_EQ(ErrorTextOf(slot), L"Failed to open ZIP file");

    EXPECT_FALSE(Read(Bytes(21, 0)));
    EXPECT_EQ(error_, L"Invalid ZIP file");

    EXPECT_FALSE(Read(Bytes(5000, 'x')));
    EXPECT_EQ(error_, L"Cannot find ZIP central directory");
}

TEST_F(CentralDirectoryTest, ClaimsBeyondTheFileAreRefusedWithoutAllocating) {
    ZipWriter zip;
    zip.File("a.txt", "alpha");
    Testing::ZipEnd end;
    end.directorySize = 0xFFFFFF00u;
    EXPECT_FALSE(Read(zip.Finish(end).Data()));
    EXPECT_EQ(error_, L"Central directory lies outside the ZIP file");

    ZipWriter shifted;
    shifted.File("a.txt", "alpha");
    end = {};
    end.directoryOffset = 0x7FFFFFFFu;
    EXPECT_FALSE(Read(shifted.Finish(end).Data()));
    EXPECT_EQ(error_, L"Central directory lies outside the ZIP file");
}

TEST_F(CentralDirectoryTest, DamagedRecordsEndTheListing) {
    // A first record with a wrong signature: nothing listed, no error of the reader's own.
    ZipWriter bad;
    bad.File("a.txt", "alpha");
    Bytes bytes = bad.Finish().Data();
    std::size_t central = bytes.size() - 22 - (46 + 5);
    bytes[central + 2] = 0x09;
    EXPECT_FALSE(Read(bytes));
    EXPECT_EQ(error_, L"");
    EXPECT_FALSE(index_.directoryComplete);

    // A record whose name runs past the directory: the records before it stay.
    ZipWriter truncated;
    truncated.File("a.txt", "alpha").File("b.txt", "beta");
    Bytes broken;
    Testing::PutLe(broken, 0x02014B50, 4);
    broken.resize(28, 0);
    Testing::PutLe(broken, 500, 2);  // name length
    broken.resize(46, 0);
    truncated.RawCentral(broken);
    ASSERT_TRUE(Read(truncated.Finish().Data()));
    EXPECT_EQ(index_.entries.size(), 2u);
    EXPECT_FALSE(index_.directoryComplete);
}

TEST_F(CentralDirectoryTest, CommentHoldingTheEndSignatureIsSkipped) {
    ZipWriter zip;
    zip.File("a.txt", "alpha");
    Testing::ZipEnd end;
    end.comment = std::string("fake PK\x05\x06", 9) + std::string(30, '\0');
    ASSERT_TRUE(Read(zip.Finish(end).Data()));
    ASSERT_EQ(index_.entries.size(), 1u);
    EXPECT_EQ(index_.entries[0].name, L"a.txt");
}

TEST_F(CentralDirectoryTest, Zip64RecordsAndFieldsGiveSizesAndOffsets) {
    ZipWriter zip;
    ZipWriterEntry entry;
    entry.name = "big.bin";
    entry.content = Bytes(3000, 7);
    entry.zip64 = true;
    zip.File("first.txt", "one").Add(entry);
    Testing::ZipEnd end;
    end.zip64 = true;
    Bytes bytes = zip.Finish(end).Data();
    ASSERT_TRUE(Read(bytes));
    ASSERT_EQ(index_.entries.size(), 2u);
    EXPECT_EQ(index_.announcedEntries, 2u);
    EXPECT_TRUE(index_.directoryComplete);
    EXPECT_EQ(index_.entries[1].uncompressedSize, 3000u);
    EXPECT_LT(index_.entries[1].compressedSize, 3000u);
    EXPECT_GT(index_.entries[1].localHeaderOffset, 0u);
    EXPECT_LT(index_.entries[1].localHeaderOffset, 0xFFFFFFFFu);
}

TEST_F(CentralDirectoryTest, ModificationTimesPreferTheExtendedTimestamp) {
    ZipWriter zip;
    ZipWriterEntry dos;
    dos.name = "dos.txt";
    ZipWriterEntry unix;
    unix.name = "unix.txt";
    unix.unixTime = 1700000000;
    ASSERT_TRUE(Read(zip.Add(dos).Add(unix).Finish().Data()));
    EXPECT_EQ(index_.entries[0].modifiedTime,
              Platform::LocalFileTimeToUtc(DosDateTimeToTicks(dos.dosDate, dos.dosTime)));
    EXPECT_EQ(index_.entries[1].modifiedTime, Platform::kUnixEpochTicks + 1700000000ull * Platform::kTicksPerSecond);
}

TEST(ZipNameTest, EncodingFollowsFlagAndMacHint) {
    const std::string hangulUtf8 = "\xED\x95\x9C\xEA\xB8\x80.txt";  // 한글.txt
    auto decode = [](const std::string& bytes, std::uint16_t flags, bool mac) {
        return DecodeZipName(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), flags, mac);
    };
    EXPECT_EQ(decode(hangulUtf8, kFlagUtf8Names, false), L"\uD55C\uAE00.txt");
    EXPECT_EQ(decode(hangulUtf8, 0, true), L"\uD55C\uAE00.txt") << "the Mac hint means UTF-8";
    EXPECT_EQ(decode("", 0, false), L"");
    // Decomposed Hangul, as macOS stores it, comes out composed.
    EXPECT_EQ(decode("\xE1\x84\x92\xE1\x85\xA1\xE1\x86\xAB", kFlagUtf8Names, false), L"\uD55C");
    // Invalid UTF-8 under the flag keeps its bytes, escaped.
    EXPECT_EQ(decode("a\xFF", kFlagUtf8Names, false), L"a%FF");
    if (Platform::SystemAnsiCodePage() != 949) GTEST_SKIP() << "the system code page here is not 949";
    EXPECT_EQ(decode("\xC7\xD1\xB1\xDB.txt", 0, false), L"\uD55C\uAE00.txt");
}

TEST(ZipNameTest, MacMetadataNamesSetTheHint) {
    auto mac = [](const std::string& name) {
        return IsMacMetadataName(reinterpret_cast<const std::uint8_t*>(name.data()), name.size());
    };
    EXPECT_TRUE(mac("__MACOSX/"));
    EXPECT_TRUE(mac("__MACOSX\\a"));
    EXPECT_TRUE(mac("__MACOSX"));
    EXPECT_TRUE(mac(".DS_Store"));
    EXPECT_TRUE(mac("a/.DS_Store"));
    EXPECT_TRUE(mac("x\\__MACOSX/y"));
    EXPECT_FALSE(mac("a.DS_Store"));
    EXPECT_FALSE(mac("__MACOSXa"));
    EXPECT_FALSE(mac("docs/readme"));
}

TEST_F(CentralDirectoryTest, MacFolderMakesUnflaggedNamesUtf8) {
    ZipWriter zip;
    zip.Folder("__MACOSX/").File("\xED\x95\x9C.txt", "x").File("__MACOSX/._\xED\x95\x9C.txt", "y");
    ASSERT_TRUE(Read(zip.Finish().Data()));
    ASSERT_EQ(index_.entries.size(), 3u);
    EXPECT_EQ(index_.entries[1].name, L"\uD55C.txt");
    EXPECT_EQ(index_.entries[2].name, L"__MACOSX/._\uD55C.txt") << "entries below the folder stay listed";
}

ZipWriterEntry HostEntry(const std::string& name, std::uint8_t host, std::uint32_t external) {
    ZipWriterEntry entry;
    entry.name = name;
    entry.method = 0;
    entry.hostOs = host;
    entry.externalAttributes = external;
    return entry;
}

TEST_F(CentralDirectoryTest, FolderBitsCountWhereTheHostKeepsThem) {
    constexpr std::uint32_t kUnixFolder = 0040755u << 16, kUnixFile = 0100644u << 16;
    struct Case {
        ZipWriterEntry entry;
        bool folder;
    } cases[] = {
        {HostEntry("dos-file", 0, 0x20), false},
        {HostEntry("dos-folder", 0, 0x10), true},
        {HostEntry("hpfs", 6, 0x10), true},
        {HostEntry("ntfs", 10, 0x10), true},
        {HostEntry("ntfs-infozip", 11, 0x10), true},
        {HostEntry("vfat", 14, 0x10), true},
        {HostEntry("unix-folder", 3, kUnixFolder), true},
        // Unix and Amiga hosts keep no DOS bits: a low 0x10 means nothing there.
        {HostEntry("unix-file", 3, kUnixFile | 0x10), false},
        {HostEntry("amiga", 1, 0x10), false},
        {HostEntry("slash/", 3, kUnixFile), true},
    };
    ZipWriter zip;
    for (const Case& c : cases) zip.Add(c.entry);
    ASSERT_TRUE(Read(zip.Finish().Data()));
    ASSERT_EQ(index_.entries.size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(index_.entries[i].isDirectory, cases[i].folder) << cases[i].entry.name;
        EXPECT_EQ((index_.entries[i].attributes & 0x10u) != 0, cases[i].folder) << cases[i].entry.name;
    }
}

TEST_F(CentralDirectoryTest, UnicodeFieldsNameTheEntryOnlyWhenTheirCrcMatches) {
    using Testing::UnicodeExtraField;
    const std::string ring = "File 4 - \x86.txt", umlaut = "File 2 - \x94.txt";
    ZipWriterEntry matching = HostEntry(ring, 0, 0x20);
    matching.centralExtra = UnicodeExtraField(0x7075, ring, "File 4 - \xC3\xA5.txt");
    matching.comment = "c\x86";
    Bytes commentField = UnicodeExtraField(0x6375, matching.comment, "\xED\x95\x9C");
    matching.centralExtra.insert(matching.centralExtra.end(), commentField.begin(), commentField.end());
    // Written for another header name (the local one, say): the header's own bytes decide.
    ZipWriterEntry stale = HostEntry(umlaut, 0, 0x20);
    stale.centralExtra = UnicodeExtraField(0x7075, "File 2 - xx.txt", "File 2 - \xC3\xB6.txt");
    ZipWriterEntry version2 = HostEntry("v2.txt", 0, 0x20);
    version2.centralExtra = UnicodeExtraField(0x7075, "v2.txt", "other.txt");
    version2.centralExtra[4] = 2;
    ZipWriter zip;
    zip.Add(matching).Add(stale).Add(version2);
    ASSERT_TRUE(Read(zip.Finish().Data(), 949));
    ASSERT_EQ(index_.entries.size(), 3u);
    EXPECT_EQ(index_.entries[0].name, L"File 4 - \u00E5.txt");
    EXPECT_EQ(index_.entries[0].comment, L"\uD55C");
    // 0x94 starts no character of code page 949: kept as an escape, not dropped or replaced.
    EXPECT_EQ(index_.entries[1].name, L"File 2 - %94.txt");
    EXPECT_EQ(index_.entries[2].name, L"v2.txt") << "only version 1 of the field is known";
}

TEST(ZipNameTest, UndecodableBytesAreEscapedInEveryEncoding) {
    auto decode = [](const std::string& bytes, std::uint16_t flags, std::int32_t codePage) {
        return DecodeZipName(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), flags, false, codePage);
    };
    EXPECT_EQ(decode("\xC7\xD1 100%.txt", 0, 949), L"\uD55C 100%.txt") << "a clean name keeps its own %";
    EXPECT_EQ(decode("\xC7\xD1\xFF 100%.txt", 0, 949), L"\uD55C%FF 100%25.txt");
    EXPECT_EQ(decode("x\xC3(", kFlagUtf8Names, 949), L"x%C3(");
    // Unflagged UTF-8 that code page 949 cannot read is UTF-8 after all.
    EXPECT_EQ(decode("\xE3\x81\x82.txt", 0, 949), L"\u3042.txt");
}

}  // namespace
}  // namespace Arkova::FastZip
