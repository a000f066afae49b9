// The rows of a folder, their order and the filter, as the window shows them: a wrong or missing row, folders below
// files, or a summary that miscounts is what the user would see.
#include <gtest/gtest.h>

#include <algorithm>

#include "ui/browser_model.h"
#include "ui/name_match.h"

namespace Arkova::Ui {
namespace {

ArchiveItem File(std::wstring path, std::uint64_t size, std::uint64_t packed = 0, std::uint64_t time = 0) {
    ArchiveItem item;
    item.path = std::move(path);
    item.size = size;
    item.packedSize = packed;
    item.modifiedTime = time;
    return item;
}
ArchiveItem Folder(std::wstring path, std::uint64_t time = 0) {
    ArchiveItem item = File(std::move(path), 0, 0, time);
    item.isDirectory = true;
    return item;
}
ListRow Named(std::wstring_view name) {
    ListRow row;
    row.name = name;
    return row;
}

class BrowserModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        items_ = {File(L"docs\\b.txt", 300, 100, 5),
                  File(L"Zeta.txt", 50, 40, 9),
                  File(L"alpha.TXT", 50, 10, 1),
                  File(L"empty.bin", 0, 0, 3),
                  Folder(L"docs\\", 7),
                  File(L"src/main.cpp", 10, 5),
                  File(L"Beta.png", 900, 800, 2),
                  Folder(L"assets/")};
        for (std::uint32_t i = 0; i < items_.size(); ++i) items_[i].index = i;
        model_.Open(items_, L"C:\\work\\project.zip");
    }

    // The names of the rows, in list order, joined with " ".
    std::wstring Names() const {
        std::wstring names;
        for (std::size_t row = 0; row < model_.RowCount(); ++row) names += (row ? L" " : L"") + model_.CellText(row, 0);
        return names;
    }

    std::vector<ArchiveItem> items_;
    BrowserModel model_;
};

TEST_F(BrowserModelTest, RowsOfAFolderAreItsSubFoldersThenItsFiles) {
    EXPECT_EQ(model_.NodeLabel(FolderTree::kRoot), L"project.zip");
    EXPECT_EQ(Names(), L"assets docs src alpha.TXT Beta.png empty.bin Zeta.txt");
    // "docs" has an entry (listed after the files that imply it) and shows its date; "src" is made up.
    EXPECT_EQ(model_.CellText(1, kColumnModified), L"1601-01-01 00:00:00");
    EXPECT_EQ(model_.RowItem(1), 4u);
    EXPECT_EQ(model_.RowItem(2), BrowserModel::kNone);
    EXPECT_EQ(model_.CellText(2, kColumnType), L"폴더");
    EXPECT_EQ(model_.RowPath(2), L"src");
    EXPECT_EQ(model_.RowFolder(4), BrowserModel::kNone);

    std::uint32_t docs = model_.NavigateToFolder(model_.RowPath(1));
    ASSERT_EQ(docs, model_.RowFolder(1)) << "a folder of the tree is selected there, not filled here";
    model_.ShowFolder(model_.Tree().Path(docs));
    EXPECT_EQ(model_.CurrentFolder(), L"docs");
    EXPECT_EQ(Names(), L"b.txt");
    EXPECT_EQ(model_.RowPath(0), L"docs/b.txt");
    EXPECT_EQ(model_.RowItem(0), 0u);

    EXPECT_EQ(model_.NavigateToFolder(L"nowhere"), BrowserModel::kNone);
    EXPECT_EQ(model_.CurrentFolder(), L"nowhere");
    EXPECT_EQ(model_.RowCount(), 0u);
}

TEST_F(BrowserModelTest, SortingKeepsFoldersFirstAndEqualRowsInDecoderOrder) {
    struct Step {
        const char* what;
        std::function<void(BrowserModel&)> act;
        std::wstring names;
    };
    const Step steps[] = {
        {"size column", [](BrowserModel& m) { EXPECT_TRUE(m.ClickColumn(kColumnSize)); },
         L"assets docs src empty.bin Zeta.txt alpha.TXT Beta.png"},
        {"size column again: largest first", [](BrowserModel& m) { EXPECT_TRUE(m.ClickColumn(kColumnSize)); },
         L"assets docs src Beta.png Zeta.txt alpha.TXT empty.bin"},
        {"date column does not sort", [](BrowserModel& m) { EXPECT_FALSE(m.ClickColumn(kColumnModified)); },
         L"assets docs src Beta.png Zeta.txt alpha.TXT empty.bin"},
        {"packed size column starts ascending", [](BrowserModel& m) { m.ClickColumn(kColumnPackedSize); },
         L"assets docs src empty.bin alpha.TXT Zeta.txt Beta.png"},
        {"the menu's date, descending", [](BrowserModel& m) { m.SetSort(SortKey::ByModified, false); },
         L"docs assets src Zeta.txt empty.bin Beta.png alpha.TXT"},
        {"name column, ignoring case", [](BrowserModel& m) { m.ClickColumn(kColumnName); },
         L"assets docs src alpha.TXT Beta.png empty.bin Zeta.txt"},
        {"name column again", [](BrowserModel& m) { m.ClickColumn(kColumnName); },
         L"src docs assets Zeta.txt empty.bin Beta.png alpha.TXT"},
    };
    for (const Step& step : steps) {
        step.act(model_);
        EXPECT_EQ(Names(), step.names) << step.what;
    }
}

TEST(BrowserModelNameSortTest, OrderIsThatOfTheNamesIgnoringCase) {
    // Names that differ only past their first eight units, by case, by length, and around 0xFFFF.
    const std::vector<std::wstring> names = {L"report-2024-b.txt",
                                             L"REPORT-2024-A.txt",
                                             L"report-2024",
                                             L"Report-2024-a",
                                             L"x\uFFFFb",
                                             L"x\uFFFFa",
                                             L"x\U00010000a",
                                             L"x\U00010000",
                                             L"\uD55C\uAE00",
                                             L"a",
                                             L"A_",
                                             L"a0"};
    std::vector<ArchiveItem> items;
    for (const std::wstring& name : names) items.push_back(File(L"f/" + name, 0));
    BrowserModel model;
    model.Open(items, L"names.zip");
    model.ShowFolder(L"f");
    std::vector<std::wstring> expected = names;
    std::stable_sort(expected.begin(), expected.end(),
                     [](const std::wstring& a, const std::wstring& b) { return CompareNamesIgnoringCase(a, b) < 0; });
    ASSERT_EQ(model.RowCount(), expected.size());
    for (std::size_t row = 0; row < expected.size(); ++row) EXPECT_EQ(model.CellText(row, 0), expected[row]) << row;
}

TEST_F(BrowserModelTest, MenuChecksFollowViewAndSort) {
    ListMenuChecks checks = model_.MenuChecks();
    EXPECT_TRUE(checks.details && checks.byName && checks.ascending);
    EXPECT_FALSE(checks.largeIcons || checks.bySize || checks.byModified || checks.descending);
    model_.SetViewMode(ViewMode::LargeIcons);
    model_.SetSort(SortKey::ByPackedSize, false);
    checks = model_.MenuChecks();
    EXPECT_TRUE(checks.largeIcons && checks.descending && model_.ShowsThumbnails());
    EXPECT_FALSE(checks.details || checks.byName || checks.bySize || checks.byModified || checks.ascending)
        << "the menu has no entry for the packed size";
}

TEST_F(BrowserModelTest, SearchFiltersRowsAndCountsThem) {
    EXPECT_EQ(model_.SearchCountText(), L"");
    model_.SetSearchText(L"TXT");
    EXPECT_EQ(Names(), L"alpha.TXT Zeta.txt");
    EXPECT_EQ(model_.SearchCountText(), L"2 items found");
    model_.SetSearchText(L"?o*");
    EXPECT_EQ(Names(), L"docs");
    model_.SetSort(SortKey::ByName, false);
    model_.ShowFolder(L"docs");
    EXPECT_EQ(model_.RowCount(), 0u) << "the search text holds across folders and sorts";
    EXPECT_EQ(model_.SearchCountText(), L"0 items found");
    EXPECT_FALSE(model_.RowPassesFilter(Named(L"b.txt")));
    model_.SetSearchText(L"");
    EXPECT_EQ(Names(), L"b.txt");
    EXPECT_TRUE(model_.RowPassesFilter(Named(L"")));
}

TEST_F(BrowserModelTest, StatusTextsCountEntriesAndSelectedRows) {
    EXPECT_EQ(model_.ArchiveSummary(), L"파일: 6, 폴더: 2, 압축 파일 크기: 955B");
    const std::size_t none[] = {0};
    EXPECT_EQ(model_.SelectionSummary(std::span<const std::size_t>(none, 0)), L"");
    const std::size_t folder[] = {2};
    EXPECT_EQ(model_.SelectionSummary(folder), L"1 폴더 선택됨");
    const std::size_t emptyFile[] = {5};
    EXPECT_EQ(model_.SelectionSummary(emptyFile), L"1 파일 선택됨, 0B (압축된 크기: 0B, 0.0%)")
        << "an empty file is still a file";
    const std::size_t mixed[] = {0, 3, 6, 99};
    EXPECT_EQ(model_.SelectionSummary(mixed), L"2 파일, 1 폴더 선택됨, 100B (압축된 크기: 50B, 50.0%)");

    model_.Close();
    EXPECT_EQ(model_.ArchiveSummary(), L"");
    EXPECT_EQ(model_.RowCount(), 0u);
    const std::vector<ArchiveItem> nothing;
    model_.Open(nothing, L"empty.zip");
    EXPECT_EQ(model_.ArchiveSummary(), L"파일: 0, 폴더: 0, 압축 파일 크기: 0B");
    EXPECT_EQ(model_.Tree().NodeCount(), 1u);
}

TEST_F(BrowserModelTest, ThumbnailJobsAreTheImageFileRows) {
    items_[6].isEncrypted = true;
    auto isImage = [](std::wstring_view name) { return name.ends_with(L".png") || name.ends_with(L".TXT"); };
    std::vector<ThumbnailJob> jobs = model_.ThumbnailJobs(isImage);
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(jobs[0].row, 3);
    EXPECT_EQ(jobs[0].index, 2u);
    EXPECT_EQ(jobs[1].row, 4);
    EXPECT_TRUE(jobs[1].isEncrypted);
}

}  // namespace
}  // namespace Arkova::Ui
