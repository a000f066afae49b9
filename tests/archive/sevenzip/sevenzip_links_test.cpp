// Tar hard links through the library adapter: a link stores no data, only the path of an earlier entry, and once
// came out as an empty file. It must give that entry's data however it is reached (the whole archive, the link
// alone into memory or a file, the listing, the test), and a link that names nothing before it (deleted, appended
// later, itself) must fail alone, without a loop and without an empty file passed off as the data.
#include <gtest/gtest.h>

#include <algorithm>

#include "archive/archive_context.h"
#include "archive/browser_path.h"
#include "fixtures.h"
#include "platform/file_system.h"
#include "support/scratch_folder.h"

namespace Arkova {
namespace {

using Testing::ReadText;
using Testing::ScratchFolder;

std::uint32_t PositionOf(const IArchiveDecoder& decoder, const std::wstring& path) {
    const std::vector<ArchiveItem>& items = decoder.Items();
    auto found = std::find_if(items.begin(), items.end(),
                              [&](const ArchiveItem& item) { return BrowserPath(item.path) == path; });
    return found == items.end() ? UINT32_MAX : static_cast<std::uint32_t>(found - items.begin());
}

std::string Memory(IArchiveDecoder& decoder, const std::wstring& path, DecodeResult expected = DecodeResult::Ok) {
    std::vector<std::uint8_t> data;
    EXPECT_EQ(decoder.ExtractToMemory(PositionOf(decoder, path), data), expected);
    return std::string(data.begin(), data.end());
}

TEST(TarHardLinkTest, LinksGiveTheirSourcesDataEveryWay) {
    ARKOVA_REQUIRE_FIXTURE(archive, L"hardlinks.tar");
    ArchiveContext context;
    ASSERT_EQ(context.OpenArchive(archive), DecodeResult::Ok);
    IArchiveDecoder& decoder = *context.Decoder();
    // The listing shows the size the user will get, not the link's 0.
    for (const wchar_t* link : {L"hardlinks/link.txt", L"hardlinks/second.txt"}) {
        ASSERT_NE(PositionOf(decoder, link), UINT32_MAX);
        EXPECT_EQ(decoder.Items()[PositionOf(decoder, link)].size, 12u);
    }
    // The link alone, first thing after opening: into memory and into a file.
    EXPECT_EQ(Memory(decoder, L"hardlinks/second.txt"), "shared data\n");
    ScratchFolder folder;
    ASSERT_EQ(context.ExtractItemToFile(PositionOf(decoder, L"hardlinks/link.txt"), folder / L"alone.txt"),
              DecodeResult::Ok);
    EXPECT_EQ(ReadText(folder / L"alone.txt"), "shared data\n");

    ASSERT_EQ(decoder.ExtractAll(folder / L"all"), DecodeResult::Ok);
    for (const wchar_t* name : {L"data.txt", L"link.txt", L"second.txt"}) {
        EXPECT_EQ(ReadText(folder / (std::wstring(L"all/hardlinks/") + name)), "shared data\n");
    }
    EXPECT_EQ(ReadText(folder / L"all/hardlinks/other.txt"), "other\n");

    std::vector<ItemTestResult> results = context.TestAll();
    ASSERT_EQ(results.size(), 4u);
    for (const ItemTestResult& result : results) EXPECT_TRUE(result.ok) << Platform::WideToUtf8(result.path);
}

TEST(TarHardLinkTest, ALinkToNothingBeforeItFailsAloneAndNeverLoops) {
    ARKOVA_REQUIRE_FIXTURE(broken, L"broken-links.tar");
    ARKOVA_REQUIRE_FIXTURE(self, L"self-link.tar");
    ArchiveContext context;
    ASSERT_EQ(context.OpenArchive(broken), DecodeResult::Ok);
    IArchiveDecoder& decoder = *context.Decoder();
    // link.txt and second.txt name data.txt, which comes only after them.
    EXPECT_EQ(Memory(decoder, L"hardlinks/link.txt", DecodeResult::DecompressFailed), "");
    EXPECT_NE(decoder.LastErrorText().find(L"data.txt"), std::wstring::npos)
        << Platform::WideToUtf8(decoder.LastErrorText());
    EXPECT_EQ(Memory(decoder, L"hardlinks/data.txt"), "shared data\n");

    ScratchFolder folder;
    EXPECT_EQ(decoder.ExtractAll(folder.Path()), DecodeResult::DecompressFailed);
    EXPECT_EQ(ReadText(folder / L"hardlinks/data.txt"), "shared data\n");
    EXPECT_EQ(ReadText(folder / L"hardlinks/other.txt"), "other\n");
    EXPECT_FALSE(Platform::PathExists(folder / L"hardlinks/link.txt")) << "no empty file for a link without data";
    EXPECT_FALSE(Platform::PathExists(folder / L"hardlinks/second.txt"));

    std::vector<ItemTestResult> results = context.TestAll();
    ASSERT_EQ(results.size(), 4u);
    for (const ItemTestResult& result : results) {
        bool link =
            BrowserPath(result.path) != L"hardlinks/data.txt" && BrowserPath(result.path) != L"hardlinks/other.txt";
        EXPECT_EQ(result.ok, !link) << Platform::WideToUtf8(result.path);
    }

    // A link to itself: the only entry of its name.
    ASSERT_EQ(context.OpenArchive(self), DecodeResult::Ok);
    EXPECT_EQ(Memory(*context.Decoder(), L"hardlinks/data.txt", DecodeResult::DecompressFailed), "");
    results = context.TestAll();
    ASSERT_EQ(results.size(), 2u);
    EXPECT_TRUE(results[0].ok);
    EXPECT_FALSE(results[1].ok);
}

}  // namespace
}  // namespace Arkova
