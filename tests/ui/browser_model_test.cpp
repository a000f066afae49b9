// The archive browser's model over hand-made item lists: folders implied by deeper paths, the rows of a folder and
// their order under every sort, the search filter, cell texts, the status texts and sizes, and archive names that
// try to confuse the tree (backslashes, trailing slashes, duplicates, an empty component).
#include <gtest/gtest.h>

#include "ui/browser_model.h"
#include "ui/name_match.h"
#include "ui/status_texts.h"

namespace Arkova::Ui {
namespace {

ArchiveItem File(const wchar_t* path, std::uint64_t size, std::uint64_t packed = 0, std::uint64_t modified = 0) {
    ArchiveItem item;
    item.path = path;
    item.size = size;
    item.packedSize = packed == 0 ? size : packed;
    item.modifiedTime = modified;
    return item;
}

ArchiveItem Folder(const wchar_t* path) {
    ArchiveItem item;
    item.path = path;
    item.isDirectory = true;
    return item;
}

std::vector<std::wstring> Names(const BrowserModel& model) {
    std::vector<std::wstring> names;
    for (size_t row = 0; row < model.RowCount(); ++row) names.push_back(model.CellText(row, kColumnName));
    return names;
}

class BrowserModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        items_ = {Folder(L"docs\\"),
                  File(L"docs\\b.txt", 200, 100, 30),
                  File(L"docs\\A.txt", 10, 5, 20),
                  File(L"src/app/main.cpp", 3000, 900, 10),  // "src" and "src/app" only implied
                  File(L"zeta.bin", 50, 50, 40),
                  File(L"alpha.md", 5000, 1000, 50)};
        model_.Open(items_, L"C:\\work\\sample.zip");
    }

    std::vector<ArchiveItem> items_;
    BrowserModel model_;
};

TEST_F(BrowserModelTest, TheTreeHoldsNamedAndImpliedFoldersAndTheRootShowsFoldersFirst) {
    const FolderTree& tree = model_.Tree();
    EXPECT_EQ(model_.NodeLabel(FolderTree::kRoot), L"sample.zip");
    std::vector<std::wstring> top;
    for (std::uint32_t child : tree.Children(FolderTree::kRoot)) top.emplace_back(tree.Label(child));
    EXPECT_EQ(top, (std::vector<std::wstring>{L"docs", L"src"}));
    std::uint32_t app = tree.Find(L"src/app");
    ASSERT_NE(app, FolderTree::kNone);
    EXPECT_EQ(tree.DirectoryItem(app), FolderTree::kNone) << "implied by a path, no entry of its own";
    EXPECT_EQ(tree.Path(tree.Parent(app)), L"src");

    EXPECT_EQ(Names(model_), (std::vector<std::wstring>{L"docs", L"src", L"alpha.md", L"zeta.bin"}));
    EXPECT_TRUE(model_.IsFolderRow(1));
    EXPECT_EQ(model_.CellText(1, kColumnType), L"폴더");
    EXPECT_EQ(model_.CellText(2, kColumnType), L"파일");
    EXPECT_EQ(model_.RowPath(1), L"src");

    EXPECT_EQ(model_.NavigateToFolder(L"src/app"), app) << "the window selects the node, which shows the folder";
    model_.ShowFolder(L"src/app");
    EXPECT_EQ(Names(model_), std::vector<std::wstring>{L"main.cpp"});
    EXPECT_EQ(model_.RowPath(0), L"src/app/main.cpp");
    model_.ShowFolder(L"nowhere");
    EXPECT_EQ(model_.RowCount(), 0u);
}

TEST_F(BrowserModelTest, SortingKeepsFoldersFirstAndColumnClicksFlipTheDirection) {
    model_.ShowFolder(L"docs");
    EXPECT_EQ(Names(model_), (std::vector<std::wstring>{L"A.txt", L"b.txt"})) << "names compare without case";
    EXPECT_TRUE(model_.ClickColumn(kColumnName));
    EXPECT_FALSE(model_.SortAscending());
    EXPECT_EQ(Names(model_), (std::vector<std::wstring>{L"b.txt", L"A.txt"}));
    EXPECT_FALSE(model_.ClickColumn(kColumnModified)) << "the date column does not sort";
    EXPECT_TRUE(model_.ClickColumn(kColumnSize));
    EXPECT_TRUE(model_.SortAscending()) << "another column starts ascending";

    model_.ShowFolder(L"");
    model_.SetSort(SortKey::BySize, false);
    EXPECT_EQ(Names(model_), (std::vector<std::wstring>{L"docs", L"src", L"alpha.md", L"zeta.bin"}));
    model_.SetSort(SortKey::ByModified, true);
    EXPECT_EQ(Names(model_), (std::vector<std::wstring>{L"docs", L"src", L"zeta.bin", L"alpha.md"}));
    ListMenuChecks checks = model_.MenuChecks();
    EXPECT_TRUE(checks.byModified && checks.ascending && checks.details);
    EXPECT_FALSE(checks.byName || checks.descending || checks.largeIcons);
}

TEST_F(BrowserModelTest, TheSearchFiltersTheFolderAndTheStatusTextsCount) {
    model_.SetSearchText(L"LPH");
    EXPECT_EQ(Names(model_), (std::vector<std::wstring>{L"alpha.md"})) << "a plain text matches anywhere, any case";
    EXPECT_EQ(model_.SearchCountText(), L"1 items found");
    model_.SetSearchText(L"*.bin");
    EXPECT_EQ(Names(model_), (std::vector<std::wstring>{L"zeta.bin"}));
    model_.SetSearchText(L"");
    EXPECT_EQ(model_.RowCount(), 4u);
    EXPECT_EQ(model_.SearchCountText(), L"");

    EXPECT_EQ(model_.ArchiveSummary(), L"파일: 5, 폴더: 1, 압축 파일 크기: " + FormatSize(100 + 5 + 900 + 50 + 1000));
    const std::size_t folderAndFile[] = {0, 2};
    EXPECT_EQ(model_.SelectionSummary(folderAndFile), L"1 파일, 1 폴더 선택됨, 4.9KB (압축된 크기: 1000B, 20.0%)");
    const std::size_t folderOnly[] = {1};
    EXPECT_EQ(model_.SelectionSummary(folderOnly), L"1 폴더 선택됨");
    EXPECT_EQ(model_.SelectionSummary({}), L"");
    model_.Close();
    EXPECT_EQ(model_.ArchiveSummary(), L"");
}

TEST(BrowserTexts, SizesWildcardsAndCells) {
    const std::pair<std::uint64_t, const wchar_t*> sizes[] = {
        {0, L"0B"},          {1023, L"1023B"},      {1024, L"1.0KB"}, {1536, L"1.5KB"}, {1048575, L"1024.0KB"},
        {1048576, L"1.0MB"}, {1073741824, L"1.0GB"}};
    for (const auto& [bytes, text] : sizes) EXPECT_EQ(FormatSize(bytes), text) << bytes;

    EXPECT_TRUE(WildcardMatch(L"Report.TXT", L"*.txt"));
    EXPECT_TRUE(WildcardMatch(L"a1b", L"a?b"));
    EXPECT_FALSE(WildcardMatch(L"ab", L"a?b"));
    EXPECT_TRUE(WildcardMatch(L"", L"*"));
    EXPECT_FALSE(WildcardMatch(L"", L"?"));
    EXPECT_EQ(SearchPattern(L"rep"), L"*rep*");
    EXPECT_EQ(SearchPattern(L"r?p"), L"r?p");

    ListRow row;
    row.name = L"x";
    row.crc = 0xAB;
    row.attributes = 0x21;
    row.isEncrypted = true;
    EXPECT_EQ(CellText(row, kColumnCrc), L"000000AB");
    EXPECT_EQ(CellText(row, kColumnAttributes), L"RA");
    EXPECT_EQ(CellText(row, kColumnEncryption), L"암호화됨");
    EXPECT_EQ(CellText(row, kColumnModified), L"") << "no time, no text";
    EXPECT_EQ(FormatFileTime(10000000ULL * (86400ULL * 365 + 3661)), L"1602-01-01 01:01:01");
    EXPECT_EQ(ColumnWidth(kColumnName, 192), 800);
    EXPECT_EQ(ColumnWidth(kColumnType, 192), 0) << "hidden";
}

// Names a hostile or careless archive may hold must never split or lose rows.
TEST(BrowserModelNames, OddPathsStillGiveOneRowEach) {
    std::vector<ArchiveItem> items = {File(L"a//b.txt", 1), File(L"dup.txt", 1), File(L"dup.txt", 2),
                                      Folder(L"x/"),        Folder(L"x"),        File(L"x\\y\\", 1)};
    BrowserModel model;
    model.Open(items, L"odd.zip");
    std::vector<std::wstring> names = Names(model);
    EXPECT_EQ(std::count(names.begin(), names.end(), L"x"), 1) << "one folder row for x/ and x";
    EXPECT_EQ(std::count(names.begin(), names.end(), L"dup.txt"), 2) << "both entries stay listed";
    model.ShowFolder(L"x");
    EXPECT_EQ(model.RowCount(), 1u);
}

}  // namespace
}  // namespace Arkova::Ui
