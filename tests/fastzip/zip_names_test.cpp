// Every path that reads a ZIP archive must see the same entries: the engine, the listing that the browser shows
// (through the 7-Zip library adapter) and the entry-by-entry extraction. Guards folders marked only by their DOS
// attribute, names from the Unicode Path field, and names whose bytes the code page cannot read.
#include <gtest/gtest.h>

#include <map>

#include "archive/archive_context.h"
#include "archive/browser_path.h"
#include "archive/entry_path.h"
#include "fastzip/parallel_zip_extractor.h"
#include "platform/file_system.h"
#include "platform/text.h"
#include "support/scratch_folder.h"
#include "support/zip_writer.h"

namespace Arkova::FastZip {
namespace {

using Testing::ScratchFolder;
using Testing::ToBytes;
using Testing::ZipWriter;
using Testing::ZipWriterEntry;

ZipWriterEntry DosEntry(const std::string& name, std::uint32_t attributes, const std::string& content = {}) {
    ZipWriterEntry entry;
    entry.name = name;
    entry.content = ToBytes(content);
    entry.hostOs = 0;
    entry.externalAttributes = attributes;
    return entry;
}

// Relative path -> content ("<folder>" for folders) of everything below `root`.
void Collect(const std::wstring& root, const std::wstring& relative, std::map<std::wstring, std::string>& out) {
    std::vector<Platform::DirectoryEntry> entries;
    ASSERT_TRUE(Platform::ListDirectory(relative.empty() ? root : root + Platform::kPathSeparator + relative, entries));
    for (const Platform::DirectoryEntry& entry : entries) {
        std::wstring path = relative.empty() ? entry.name : relative + L"/" + entry.name;
        if (entry.isDirectory) {
            out[path] = "<folder>";
            Collect(root, relative.empty() ? entry.name : relative + Platform::kPathSeparator + entry.name, out);
        } else {
            out[path] =
                Testing::ReadText(root + Platform::kPathSeparator +
                                  (relative.empty() ? entry.name : relative + Platform::kPathSeparator + entry.name));
        }
    }
}

TEST(ZipNamesTest, EngineListingAndEntryByEntryAgree) {
    ScratchFolder folder;
    const std::string ring = "File 4 - \x86.txt", umlaut = "File 2 - \x94.txt";
    ZipWriterEntry matching = DosEntry(ring, 0x20, "four");
    matching.centralExtra = Testing::UnicodeExtraField(0x7075, ring, "File 4 - \xC3\xA5.txt");
    ZipWriterEntry stale = DosEntry(umlaut, 0x20, "two");
    stale.centralExtra = Testing::UnicodeExtraField(0x7075, "File 2 - xx.txt", "File 2 - \xC3\xB6.txt");
    ZipWriterEntry badUtf8 = DosEntry("bad\xC3.txt", 0x20, "bad");
    badUtf8.flags = kFlagUtf8Names;
    ZipWriter zip;
    zip.Add(DosEntry("abc", 0x20, "abc"))
        .Add(DosEntry("def", 0x10))
        .Add(DosEntry("def/foo", 0x20, "foo"))
        .Add(DosEntry("ghi/", 0x10))
        .Add(DosEntry("jkl", 0x10))
        .Add(matching)
        .Add(stale)
        .Add(badUtf8);
    const std::wstring archive = folder / L"names.zip";
    ASSERT_TRUE(zip.Finish().WriteTo(archive));

    ParallelZipExtractor engine(2);
    ASSERT_TRUE(engine.RunAll(archive, folder / L"engine")) << Platform::WideToUtf8(engine.ErrorText());

    ArchiveContext context;
    ASSERT_EQ(context.OpenArchive(archive), DecodeResult::Ok);
    const std::vector<ArchiveItem>& items = context.Items();
    ASSERT_EQ(items.size(), engine.Entries().size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(BrowserPath(items[i].path), BrowserPath(engine.Entries()[i].name));
        EXPECT_EQ(items[i].isDirectory, engine.Entries()[i].isDirectory) << Platform::WideToUtf8(items[i].path);
        EXPECT_EQ(items[i].path.find(L'\uFFFD'), std::wstring::npos) << "no character is replaced";
    }
    EXPECT_TRUE(items[1].isDirectory && items[4].isDirectory) << "the DOS folder bit alone marks a folder";
    EXPECT_EQ(items[5].path, L"File 4 - \u00E5.txt");
    EXPECT_EQ(items[7].path, L"bad%C3.txt");
    if (Platform::SystemAnsiCodePage() == 949) {
        EXPECT_EQ(items[6].path, L"File 2 - %94.txt");
    }

    const std::wstring oneByOne = folder / L"one-by-one";
    for (std::uint32_t i = 0; i < items.size(); ++i) {
        std::wstring target;
        ASSERT_TRUE(SafeOutputPath(oneByOne, items[i].path, target));
        if (items[i].isDirectory) {
            ASSERT_TRUE(Platform::MakeDirectories(target));
        } else {
            ASSERT_EQ(context.ExtractItemToFile(i, target, {}), DecodeResult::Ok) << Platform::WideToUtf8(target);
        }
    }
    std::map<std::wstring, std::string> byEngine, byEntry;
    Collect(folder / L"engine", L"", byEngine);
    Collect(oneByOne, L"", byEntry);
    EXPECT_EQ(byEngine, byEntry);
    EXPECT_EQ(byEngine[L"def"], "<folder>");
    EXPECT_EQ(byEngine[L"def/foo"], "foo");
    EXPECT_EQ(byEngine[L"jkl"], "<folder>");
    EXPECT_EQ(byEngine.size(), 8u);
}

TEST(ZipNamesTest, AChosenCodePageReachesTheEngineAsWellAsTheListing) {
    ScratchFolder folder;
    const std::wstring archive = folder / L"cp932.zip";
    // "表" in code page 932 ends in the byte of "\": read in another code page, the name splits.
    ZipWriter zip;
    zip.Add(DosEntry("\x95\x5C.txt", 0x20, "hyo"));
    ASSERT_TRUE(zip.Finish().WriteTo(archive));

    ArchiveContext context;
    context.SetCodePage(932);
    ASSERT_EQ(context.OpenArchive(archive), DecodeResult::Ok);
    ASSERT_EQ(context.Items().size(), 1u);
    EXPECT_EQ(context.Items()[0].path, L"\u8868.txt");

    ParallelZipExtractor engine(2);
    engine.SetNameCodePage(context.CodePage());
    ASSERT_TRUE(engine.RunAll(archive, folder / L"out")) << Platform::WideToUtf8(engine.ErrorText());
    EXPECT_EQ(Testing::ReadText(folder / L"out/\u8868.txt"), "hyo");
}

}  // namespace
}  // namespace Arkova::FastZip
