// What opening and dragging entries out decide before any window is involved: a wrong byte in the file list block
// and the drop target reads garbage; a wrong path and it copies nothing or the wrong file; a wrong viewer command
// line and the viewer shows something else; a temporary folder left behind or someone else's folder removed.
#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "support/scratch_folder.h"
#include "ui/drag_items.h"
#include "ui/open_items.h"
#include "ui/temporary_folders.h"

namespace Arkova::Ui {
namespace {

ArchiveItem Entry(std::wstring path, std::uint32_t index, bool folder = false) {
    ArchiveItem item;
    item.path = std::move(path);
    item.index = index;
    item.isDirectory = folder;
    return item;
}

std::vector<std::uint8_t> Utf16(std::u16string_view text) {
    std::vector<std::uint8_t> bytes;
    for (char16_t c : text) {
        bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    return bytes;
}

TEST(FileListBlockTest, HeaderThenEachPathWithItsZeroThenOneMore) {
    const std::vector<std::uint8_t> header = {20, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0};
    std::vector<std::uint8_t> empty = header;
    empty.insert(empty.end(), {0, 0, 0, 0});
    EXPECT_EQ(FileListBlock({}), empty) << "the empty list: an empty name and the end, nothing to read past";

    std::vector<std::uint8_t> expected = header;
    for (auto bytes : {Utf16(u"C:\\a.txt"), Utf16(std::u16string(u"C:\\\uBB38\uC11C")), Utf16(u"\U0001F600")}) {
        expected.insert(expected.end(), bytes.begin(), bytes.end());
        expected.insert(expected.end(), {0, 0});
    }
    expected.insert(expected.end(), {0, 0});
    EXPECT_EQ(FileListBlock({L"C:\\a.txt", L"C:\\문서", L"\U0001F600"}), expected)
        << "UTF-16 with surrogate pairs, every path ended, the list ended";
}

TEST(DragItemsTest, RowsBecomeItemsAndTheirDroppedPathsAgreeWithWhereTheJobPutsThem) {
    const std::vector<ArchiveItem> entries = {Entry(L"data\\", 0, true), Entry(L"data\\a.txt", 1),
                                              Entry(L"data/docs/b.txt", 2), Entry(L"data\\a.txt", 3),
                                              Entry(L"top.txt", 4)};
    std::vector<DragItem> items =
        BuildDragItems({{L"docs", L"폴더"}, {L"a.txt", L"텍스트"}, {L"gone.txt", L"텍스트"}}, entries, L"data");
    ASSERT_EQ(items.size(), 2u) << "a file row that names no entry is left out";
    EXPECT_EQ(items[0].fullPath, L"data/docs");
    EXPECT_TRUE(items[0].isFolder);
    EXPECT_EQ(items[0].itemIndex, 0u);
    EXPECT_EQ(items[1].fullPath, L"data/a.txt");
    EXPECT_EQ(items[1].itemIndex, 3u) << "of two entries with the path, the last one";

    EXPECT_EQ(DropFilePaths(items, L"C:\\Temp\\Arkova_5", L"data"),
              (std::vector<std::wstring>{L"C:\\Temp\\Arkova_5\\docs", L"C:\\Temp\\Arkova_5\\a.txt"}))
        << "inside a folder the files land relative to it";
    EXPECT_EQ(DragItemNames(items), (std::vector<std::wstring>{L"docs", L"a.txt"}));

    std::vector<DragItem> atRoot = BuildDragItems({{L"data", L"폴더"}, {L"top.txt", L""}}, entries, L"");
    ASSERT_EQ(atRoot.size(), 2u);
    EXPECT_EQ(atRoot[1].fullPath, L"top.txt");
    EXPECT_EQ(atRoot[1].itemIndex, 4u);
    EXPECT_EQ(DropFilePaths(atRoot, L"C:\\T\\", L""), (std::vector<std::wstring>{L"C:\\T\\data", L"C:\\T\\top.txt"}));

    std::vector<DragItem> longName = BuildDragItems({{std::wstring(300, L'n'), L"폴더"}}, entries, L"");
    EXPECT_EQ(longName.at(0).name.size(), 255u);
}

TEST(OpenItemsTest, TheEntryOpenedTheViewerCommandLineAndTheFolderName) {
    const std::vector<ArchiveItem> entries = {Entry(L"pics\\cat.png", 0), Entry(L"pics/cat.png", 1),
                                              Entry(L"lost.txt", 0xFFFFFFFFu), Entry(L"secret.doc", 3)};
    EXPECT_EQ(EntryToOpen(entries, L"pics", L"cat.png"), 0u) << "the first match";
    EXPECT_EQ(EntryToOpen(entries, L"", L"secret.doc*"), 3u) << "the encrypted mark is not part of the name";
    EXPECT_EQ(EntryToOpen(entries, L"", L"lost.txt"), std::nullopt) << "an entry without an index";
    EXPECT_EQ(EntryToOpen(entries, L"", L"cat.png"), std::nullopt);
    EXPECT_EQ(WithoutEncryptedMark(L"a**"), L"a*");

    EXPECT_EQ(ImageViewerParameters(L"C:\\사진.zip", L"pics/2024/cat.png", L""),
              L"-sel \"C:\\사진.zip::pics\\2024\\cat.png\"");
    EXPECT_EQ(ImageViewerParameters(L"C:\\a.zip", L"cat.png", L"pw 1"), L"-sel \"C:\\a.zip::cat.png\" -p:pw 1");
    EXPECT_EQ(ImageViewerParameters(L"C:\\a.zip", L"x\" -evil.png", L""), std::nullopt);
    EXPECT_EQ(ImageViewerParameters(L"C:\\a.zip", L"cat.png", L"a\"b"), std::nullopt);
    EXPECT_EQ(ImageViewerPath(L"C:\\Lumora"), L"C:\\Lumora\\LumoraAsync.exe");
    EXPECT_EQ(ImageViewerPath(L"C:\\Lumora\\"), L"C:\\Lumora\\LumoraAsync.exe");
    EXPECT_EQ(ImageViewerPath(L""), L"");

    EXPECT_EQ(PreviewEntryName(L"pics/2024/cat.png"), L"cat.png");
    EXPECT_EQ(PreviewEntryName(L"cat.png"), L"cat.png");

    const std::uint8_t tail[8] = {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};
    EXPECT_EQ(GuidFolderName(0x0A1B2C3D, 0x00EF, 0xBEEF, tail), L"0A1B2C3D00EFBEEF0123456789ABCDEF");
}

TEST(TemporaryFoldersTest, MakesOnlyNewFoldersAndRemovesExactlyThoseAndTheirEmptyParent) {
    Testing::ScratchFolder scratch;
    const std::wstring parent = scratch / L"Arkova";
    const std::wstring someoneElses = Platform::JoinPath(parent, L"taken");
    ASSERT_TRUE(Platform::MakeDirectories(someoneElses));
    ASSERT_TRUE(Testing::WriteText(Platform::JoinPath(someoneElses, L"keep.txt"), "mine"));
    {
        TemporaryFolders folders;
        folders.RemoveWhenEmpty(parent);
        const std::wstring first = folders.MakeNew(someoneElses);
        EXPECT_EQ(first, someoneElses + L"_2") << "an existing folder is never adopted";
        const std::wstring second = folders.MakeNew(Platform::JoinPath(parent, L"second"));
        ASSERT_FALSE(second.empty());
        ASSERT_TRUE(Testing::WriteText(Platform::JoinPath(second, L"f.txt"), "x"));
        EXPECT_EQ(folders.Folders().size(), 2u);

        folders.RemoveAll();
        EXPECT_FALSE(Platform::PathExists(first));
        EXPECT_FALSE(Platform::PathExists(second));
        EXPECT_TRUE(folders.Folders().empty());
        EXPECT_EQ(Testing::ReadText(Platform::JoinPath(someoneElses, L"keep.txt")), "mine");
        EXPECT_TRUE(Platform::PathExists(parent)) << "a parent that still holds something stays";
        ASSERT_TRUE(Platform::RemoveTree(someoneElses));
        EXPECT_FALSE(folders.MakeNew(Platform::JoinPath(parent, L"last")).empty());
    }
    EXPECT_FALSE(Platform::PathExists(parent)) << "the end of the owner removes the rest and the empty parent";
}

}  // namespace
}  // namespace Arkova::Ui
