// RAR archives made by the RAR archiver itself, through RarDecoder and the UnRAR library: every kind of archive
// lists, tests and extracts the fixture tree byte for byte, in list order and out of it; passwords, volume sets,
// links and damaged archives fail the way the front ends expect, never with a crash or a file left behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>

#include "archive/archive_context.h"
#include "archive/crc32.h"
#include "archive/decoder_factory.h"
#include "archive/rar/rar_decoder.h"
#include "fixtures.h"
#include "platform/file_system.h"
#include "platform/text.h"
#include "support/rar5_writer.h"
#include "support/scratch_folder.h"

namespace Arkova {
namespace {

using Testing::ReadText;
using Testing::ScratchFolder;

std::wstring Slashed(std::wstring path) {
    std::replace(path.begin(), path.end(), L'\\', L'/');
    return path;
}

const std::map<std::wstring, std::string>& TreeFiles() {
    static const std::map<std::wstring, std::string> files = {{L"tree/a.txt", "alpha\n"},
                                                              {L"tree/empty.txt", ""},
                                                              {L"tree/sub/deeper/big.txt", Testing::BigFileText()},
                                                              {L"tree/sub/한글 이름.txt", "한글 내용\n"}};
    return files;
}

const ArchiveItem* Find(const IArchiveDecoder& decoder, const std::wstring& path) {
    for (const ArchiveItem& item : decoder.Items()) {
        if (Slashed(item.path) == path) return &item;
    }
    return nullptr;
}

std::uint32_t PositionOf(const IArchiveDecoder& decoder, const std::wstring& path) {
    const ArchiveItem* item = Find(decoder, path);
    return item == nullptr ? UINT32_MAX : static_cast<std::uint32_t>(item - decoder.Items().data());
}

std::vector<std::wstring> Names(const std::wstring& folder) {
    std::vector<Platform::DirectoryEntry> entries;
    Platform::ListDirectory(folder, entries);
    std::vector<std::wstring> names;
    for (const Platform::DirectoryEntry& entry : entries) names.push_back(entry.name);
    return names;
}

struct RarCase {
    const wchar_t* archive;
    const wchar_t* password = L"";
};

void PrintTo(const RarCase& c, std::ostream* out) { *out << Platform::WideToUtf8(c.archive); }

class RarTreeTest : public ::testing::TestWithParam<RarCase> {
protected:
    void SetUp() override {
        path_ = Testing::FixturePath(GetParam().archive);
        if (path_.empty()) GTEST_SKIP() << "fixture not made (is rar installed?)";
        decoder_.SetPassword(GetParam().password);
        ASSERT_EQ(decoder_.Open(path_), DecodeResult::Ok) << Platform::WideToUtf8(decoder_.LastErrorText());
    }

    std::wstring path_;
    RarDecoder decoder_;
};

TEST_P(RarTreeTest, ListsEveryEntryWithItsProperties) {
    EXPECT_TRUE(decoder_.IsOpen());
    EXPECT_EQ(decoder_.HasEncryptedItems(), *GetParam().password != 0);
    EXPECT_EQ(decoder_.ItemCount(), 8u);  // four files, four folders
    for (std::uint32_t i = 0; i < decoder_.Items().size(); ++i) EXPECT_EQ(decoder_.Items()[i].index, i);
    for (const auto& [name, content] : TreeFiles()) {
        const ArchiveItem* item = Find(decoder_, name);
        ASSERT_NE(item, nullptr) << Platform::WideToUtf8(name);
        EXPECT_FALSE(item->isDirectory);
        EXPECT_EQ(item->size, content.size());
        EXPECT_EQ(item->modifiedTime, Testing::kFixtureTime);
        EXPECT_EQ(item->attributes & 0x10, 0u);
        EXPECT_EQ(item->hostOs, L"Unix");
        EXPECT_FALSE(item->method.empty());
        // BLAKE2 archives carry no CRC-32; the others carry the data's.
        if (item->crc != 0) {
            EXPECT_EQ(item->crc, Crc32(reinterpret_cast<const std::uint8_t*>(content.data()), content.size()));
        }
    }
    for (const wchar_t* folder : {L"tree", L"tree/sub", L"tree/sub/deeper", L"tree/empty folder"}) {
        const ArchiveItem* item = Find(decoder_, folder);
        ASSERT_NE(item, nullptr) << Platform::WideToUtf8(folder);
        EXPECT_TRUE(item->isDirectory);
        EXPECT_NE(item->attributes & 0x10, 0u);
    }
}

TEST_P(RarTreeTest, ExtractsEachFileToMemoryInAnyOrder) {
    // Last to first: every request behind the pass starts a new one.
    for (auto entry = TreeFiles().rbegin(); entry != TreeFiles().rend(); ++entry) {
        std::vector<std::uint8_t> buffer = {1, 2, 3};
        ASSERT_EQ(decoder_.ExtractToMemory(PositionOf(decoder_, entry->first), buffer), DecodeResult::Ok)
            << Platform::WideToUtf8(decoder_.LastErrorText());
        EXPECT_TRUE(std::string(buffer.begin(), buffer.end()) == entry->second)
            << Platform::WideToUtf8(entry->first) << " " << buffer.size();
    }
    // And in list order, through one pass.
    for (std::uint32_t i = 0; i < decoder_.ItemCount(); ++i) {
        std::vector<std::uint8_t> buffer;
        ASSERT_EQ(decoder_.ExtractToMemory(i, buffer), DecodeResult::Ok);
        const ArchiveItem& item = decoder_.Items()[i];
        if (!item.isDirectory) {
            EXPECT_TRUE(std::string(buffer.begin(), buffer.end()) == TreeFiles().at(Slashed(item.path)));
        }
    }
}

TEST_P(RarTreeTest, ExtractsEverythingIntoAFolderWithTimes) {
    ScratchFolder folder;
    std::uint64_t reports = 0;
    decoder_.SetProgressCallback([&reports](const std::wstring&, std::uint64_t done, std::uint64_t total) {
        EXPECT_LE(done, total);
        ++reports;
        return true;
    });
    ASSERT_EQ(decoder_.ExtractAll(folder / L"out"), DecodeResult::Ok) << Platform::WideToUtf8(decoder_.LastErrorText());
    EXPECT_EQ(reports, decoder_.ItemCount());
    for (const auto& [name, content] : TreeFiles()) {
        std::wstring file = folder / (L"out/" + name);
        EXPECT_TRUE(ReadText(file) == content) << Platform::WideToUtf8(name);
        std::uint64_t time = 0;
        ASSERT_TRUE(Platform::LastWriteTime(file, time));
        EXPECT_EQ(time, Testing::kFixtureTime);
    }
    EXPECT_TRUE(Platform::IsDirectory(folder / L"out/tree/empty folder"));
}

TEST_P(RarTreeTest, TestsEveryEntryAndExtractsOneToAChosenPath) {
    ArchiveContext context;
    context.SetPassword(GetParam().password);
    ASSERT_EQ(context.OpenArchive(path_), DecodeResult::Ok);
    ASSERT_NE(dynamic_cast<RarDecoder*>(context.Decoder()), nullptr);
    std::vector<ItemTestResult> results = context.TestAll({});
    ASSERT_EQ(results.size(), TreeFiles().size());
    for (const ItemTestResult& result : results) {
        EXPECT_TRUE(result.ok) << Platform::WideToUtf8(result.path) << " " << static_cast<int>(result.error);
        const std::string& content = TreeFiles().at(Slashed(result.path));
        EXPECT_EQ(result.actualCrc, Crc32(reinterpret_cast<const std::uint8_t*>(content.data()), content.size()));
    }

    ScratchFolder folder;
    std::wstring target = folder / L"new/sub/big.out";
    ASSERT_TRUE(Platform::MakeDirectories(folder / L"new/sub"));
    ASSERT_TRUE(Testing::WriteBytes(target, {'o', 'l', 'd'}));
    std::uint32_t big = PositionOf(*context.Decoder(), L"tree/sub/deeper/big.txt");
    std::uint64_t lastReport = 0;
    ASSERT_EQ(context.ExtractItemToFile(big, target,
                                        [&](std::uint64_t done, std::uint64_t) {
                                            lastReport = done;
                                            return true;
                                        }),
              DecodeResult::Ok);
    EXPECT_TRUE(ReadText(target) == Testing::BigFileText());
    EXPECT_EQ(lastReport, Testing::BigFileText().size());
    EXPECT_EQ(Names(folder / L"new/sub").size(), 1u);  // no partial file beside it

    // Streaming with progress: the bytes arrive in order, and a cancel keeps an existing file and leaves no new one.
    std::uint64_t streamed = 0;
    auto follow = [&](std::uint64_t done, std::uint64_t total) {
        EXPECT_GE(done, streamed);
        EXPECT_EQ(total, Testing::BigFileText().size());
        streamed = done;
        return true;
    };
    EXPECT_EQ(context.Decoder()->ExtractToFileWithProgress(big, target, follow), DecodeResult::Ok);
    EXPECT_EQ(streamed, Testing::BigFileText().size());
    EXPECT_TRUE(ReadText(target) == Testing::BigFileText());
    auto cancel = [](std::uint64_t, std::uint64_t) { return false; };
    ASSERT_TRUE(Testing::WriteBytes(target, {'o', 'l', 'd'}));
    EXPECT_EQ(context.Decoder()->ExtractToFileWithProgress(big, target, cancel), DecodeResult::Cancelled);
    EXPECT_EQ(ReadText(target), "old");
    EXPECT_EQ(context.Decoder()->ExtractToFileWithProgress(big, folder / L"new/sub/fresh.out", cancel),
              DecodeResult::Cancelled);
    EXPECT_EQ(Names(folder / L"new/sub").size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(EveryKind, RarTreeTest,
                         ::testing::Values(RarCase{L"tree.rar"}, RarCase{L"tree-stored.rar"},
                                           RarCase{L"tree-solid.rar"}, RarCase{L"tree-best.rar"},
                                           RarCase{L"encrypted.rar", L"Secret"},
                                           RarCase{L"encrypted-headers.rar", L"Secret"},
                                           RarCase{L"tree-volumes.part1.rar"}),
                         [](const ::testing::TestParamInfo<RarCase>& test) {
                             std::string name = Platform::WideToUtf8(test.param.archive);
                             for (char& c : name) {
                                 if (c == '.' || c == '-') c = '_';
                             }
                             return name;
                         });

TEST(RarArchiveTest, SolidAndCommentedArchivesSayWhatTheyAre) {
    ARKOVA_REQUIRE_FIXTURE(solid, L"tree-solid.rar");
    ARKOVA_REQUIRE_FIXTURE(best, L"tree-best.rar");
    RarDecoder decoder;
    ASSERT_EQ(decoder.Open(solid), DecodeResult::Ok);
    EXPECT_TRUE(decoder.IsSolid());
    EXPECT_TRUE(decoder.ArchiveComment().empty());
    ASSERT_EQ(decoder.Open(best), DecodeResult::Ok);
    EXPECT_FALSE(decoder.IsSolid());
    EXPECT_EQ(decoder.ArchiveComment(), L"The comment of the archive.\n");
    // BLAKE2 instead of CRC-32: nothing to compare but the library's own check.
    EXPECT_EQ(Find(decoder, L"tree/a.txt")->crc, 0u);
}

TEST(RarArchiveTest, EncryptedDataNeedsTheRightPassword) {
    ARKOVA_REQUIRE_FIXTURE(path, L"encrypted.rar");
    RarDecoder decoder;
    ASSERT_EQ(decoder.Open(path), DecodeResult::Ok);  // names are readable
    EXPECT_TRUE(decoder.HasEncryptedItems());
    std::uint32_t position = PositionOf(decoder, L"tree/a.txt");
    std::vector<std::uint8_t> buffer;
    EXPECT_EQ(decoder.ExtractToMemory(position, buffer), DecodeResult::PasswordRequired);

    ScratchFolder folder;
    decoder.SetPassword(L"wrong");
    EXPECT_EQ(decoder.ExtractToMemory(position, buffer), DecodeResult::PasswordRequired);
    EXPECT_EQ(decoder.ExtractToFile(position, folder / L"a.txt"), DecodeResult::PasswordRequired);
    EXPECT_TRUE(Names(folder.Path()).empty());
    EXPECT_NE(decoder.ExtractAll(folder / L"out"), DecodeResult::Ok);
    EXPECT_FALSE(Platform::PathExists(folder / L"out/tree/a.txt"));

    decoder.SetPassword(L"Secret");
    ASSERT_EQ(decoder.ExtractToMemory(position, buffer), DecodeResult::Ok);
    EXPECT_EQ(std::string(buffer.begin(), buffer.end()), "alpha\n");
}

TEST(RarArchiveTest, EncryptedHeadersAskForThePasswordOnOpen) {
    ARKOVA_REQUIRE_FIXTURE(path, L"encrypted-headers.rar");
    RarDecoder decoder;
    EXPECT_EQ(decoder.Open(path), DecodeResult::PasswordRequired);
    EXPECT_FALSE(decoder.IsOpen());
    EXPECT_EQ(decoder.ItemCount(), 0u);
    decoder.SetPassword(L"wrong");
    EXPECT_EQ(decoder.Open(path), DecodeResult::PasswordRequired);
    decoder.SetPassword(L"Secret");
    ASSERT_EQ(decoder.Open(path), DecodeResult::Ok);
    EXPECT_EQ(decoder.ItemCount(), 8u);
}

TEST(RarArchiveTest, AMissingVolumeIsNamed) {
    ARKOVA_REQUIRE_FIXTURE(path, L"missing-volume.part1.rar");
    RarDecoder decoder;
    EXPECT_EQ(decoder.Open(path), DecodeResult::FileNotFound);
    EXPECT_NE(decoder.LastErrorText().find(L"missing-volume.part3.rar"), std::wstring::npos)
        << Platform::WideToUtf8(decoder.LastErrorText());
}

TEST(RarArchiveTest, DamagedAndTruncatedArchivesFailWithoutLeavingFiles) {
    for (const wchar_t* name : {L"damaged.rar", L"truncated.rar"}) {
        ARKOVA_REQUIRE_FIXTURE(path, name);
        SCOPED_TRACE(Platform::WideToUtf8(name));
        ArchiveContext context;
        DecodeResult opened = context.OpenArchive(path);
        if (opened != DecodeResult::Ok) {
            EXPECT_NE(opened, DecodeResult::InternalError);
            continue;
        }
        std::vector<ItemTestResult> results = context.TestAll({});
        bool anyFailed = results.size() < TreeFiles().size();
        for (const ItemTestResult& result : results) anyFailed = anyFailed || !result.ok;
        EXPECT_TRUE(anyFailed);
        ScratchFolder folder;
        EXPECT_NE(context.Decoder()->ExtractAll(folder.Path()), DecodeResult::Ok);
        EXPECT_NE(ReadText(folder / L"tree/sub/deeper/big.txt"), Testing::BigFileText());
        for (const std::wstring& file : Names(folder / L"tree/sub/deeper")) {
            EXPECT_EQ(file.find(L"arkova-part"), std::wstring::npos);
        }
    }
}

// A main header whose metadata record names the archive with an empty name would crash the library: the volume is
// refused as damaged wherever the header stands (first, after entries, behind a self-extractor, in a later volume),
// while a name that is there opens as usual.
TEST(RarArchiveTest, AnEmptyArchiveNameInAMainHeaderIsRefusedAsDamaged) {
    // Records: size, type 2 (metadata), flags 1 (name present), the name's length (0 written in three bytes).
    const Testing::Bytes emptyName = {0x05, 0x02, 0x01, 0x80, 0x80, 0x00};
    const Testing::Bytes someName = {0x07, 0x02, 0x01, 0x04, 'n', 'a', 'm', 'e'};
    const Testing::Bytes plain = Testing::Rar5Writer().Stored("a.txt", "alpha\n").Finish().Data();
    Testing::Bytes behindProgram(5000, 0x90);
    Testing::Bytes refusedFirst = Testing::WithMainHeaderExtra(plain, emptyName);
    behindProgram.insert(behindProgram.end(), refusedFirst.begin(), refusedFirst.end());
    const std::vector<std::pair<Testing::Bytes, bool>> archives = {
        {refusedFirst, false},
        {Testing::Rar5Writer().Stored("a.txt", "alpha\n").MainHeader(emptyName).Finish().Data(), false},
        {behindProgram, false},
        {Testing::WithMainHeaderExtra(plain, someName), true},
    };
    ScratchFolder folder;
    for (std::size_t i = 0; i < archives.size(); ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(Testing::WriteBytes(folder / L"crafted.rar", archives[i].first));
        RarDecoder decoder;
        if (!archives[i].second) {
            EXPECT_EQ(decoder.Open(folder / L"crafted.rar"), DecodeResult::InvalidArchive);
            EXPECT_EQ(decoder.LastErrorText(), L"damaged archive header");
            continue;
        }
        ASSERT_EQ(decoder.Open(folder / L"crafted.rar"), DecodeResult::Ok);
        std::vector<std::uint8_t> data;
        ASSERT_EQ(decoder.ExtractToMemory(0, data), DecodeResult::Ok);
        EXPECT_EQ(std::string(data.begin(), data.end()), "alpha\n");
    }

    ARKOVA_REQUIRE_FIXTURE(first, L"tree-volumes.part1.rar");
    for (const wchar_t* name : {L"tree-volumes.part1.rar", L"tree-volumes.part2.rar", L"tree-volumes.part3.rar"}) {
        Testing::Bytes volume = Testing::ReadBytes(Testing::FixturePath(name));
        if (std::wstring(name).find(L"part2") != std::wstring::npos)
            volume = Testing::WithMainHeaderExtra(volume, emptyName);
        ASSERT_TRUE(Testing::WriteBytes(folder / name, volume));
    }
    RarDecoder decoder;
    EXPECT_EQ(decoder.Open(folder / L"tree-volumes.part1.rar"), DecodeResult::InvalidArchive);
    EXPECT_EQ(decoder.LastErrorText(), L"damaged archive header");
}

// Links are never made: each becomes a file holding its target text, inside the destination.
// Entries are decoded ahead into a queue of a few MiB: an entry several times larger streams through it in order,
// a cancel in its middle stops the pass's thread while it waits for room, and a new pass reads everything again.
TEST(RarArchiveTest, EntriesLargerThanTheReadAheadStreamInOrderAndStopCleanly) {
    std::string large(9 * 1024 * 1024 + 123, '\0');
    for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>((i * 7) % 251);
    Testing::Rar5Writer writer;
    writer.Stored("large.bin", large).Stored("after.txt", "after\n").Finish();
    ScratchFolder folder;
    ASSERT_TRUE(writer.WriteTo(folder / L"large.rar"));
    RarDecoder decoder;
    ASSERT_EQ(decoder.Open(folder / L"large.rar"), DecodeResult::Ok);
    ASSERT_EQ(decoder.ItemCount(), 2u);

    int pieces = 0;
    auto cancelSoon = [&pieces](std::uint64_t, std::uint64_t) { return ++pieces < 2; };
    EXPECT_EQ(decoder.ExtractToFileWithProgress(0, folder / L"cancelled.bin", cancelSoon), DecodeResult::Cancelled);
    EXPECT_FALSE(Platform::PathExists(folder / L"cancelled.bin"));

    std::vector<std::uint8_t> data;
    ASSERT_EQ(decoder.ExtractToMemory(0, data), DecodeResult::Ok);
    EXPECT_TRUE(std::string(data.begin(), data.end()) == large);
    ASSERT_EQ(decoder.ExtractToMemory(1, data), DecodeResult::Ok);
    EXPECT_EQ(std::string(data.begin(), data.end()), "after\n");
    // Closing with the pass's thread ahead of the caller joins it.
    ASSERT_EQ(decoder.ExtractToMemory(0, data), DecodeResult::Ok);
    decoder.Close();
    EXPECT_FALSE(decoder.IsOpen());
}

TEST(RarArchiveTest, LinksBecomeFilesHoldingTheirTarget) {
    ARKOVA_REQUIRE_FIXTURE(path, L"links.rar");
    RarDecoder decoder;
    ASSERT_EQ(decoder.Open(path), DecodeResult::Ok);
    ScratchFolder folder;
    ASSERT_EQ(decoder.ExtractAll(folder / L"dest"), DecodeResult::Ok) << Platform::WideToUtf8(decoder.LastErrorText());
    EXPECT_EQ(ReadText(folder / L"dest/links/file.txt"), "beside the link\n");
    EXPECT_EQ(ReadText(folder / L"dest/links/escape"), "../../outside");
    EXPECT_EQ(ReadText(folder / L"dest/links/absolute"), "/etc/passwd");
    EXPECT_FALSE(Platform::PathExists(folder / L"outside"));
    std::vector<std::uint8_t> buffer;
    ASSERT_EQ(decoder.ExtractToMemory(PositionOf(decoder, L"links/escape"), buffer), DecodeResult::Ok);
    EXPECT_EQ(std::string(buffer.begin(), buffer.end()), "../../outside");
}

// A hard link and a file copy store only the path of an earlier entry; they once came out empty or holding that
// path. Each must give the entry's data, alone or with everything, in a solid archive too; extracting everything
// copies the file already written, and decodes again should that file have changed meanwhile.
class RarCopyLinkTest : public ::testing::TestWithParam<const wchar_t*> {};

TEST_P(RarCopyLinkTest, HardLinksAndFileCopiesGiveTheirSourcesData) {
    ARKOVA_REQUIRE_FIXTURE(path, GetParam());
    const std::map<std::wstring, std::string> expected = {{L"rarlinks/data.txt", "shared data\n"},
                                                          {L"rarlinks/link.txt", "shared data\n"},
                                                          {L"rarlinks/copy-a.txt", "same bytes\n"},
                                                          {L"rarlinks/copy-b.txt", "same bytes\n"},
                                                          {L"rarlinks/plain.txt", "plain\n"}};
    for (const wchar_t* link : {L"rarlinks/link.txt", L"rarlinks/copy-b.txt"}) {
        RarDecoder decoder;
        ASSERT_EQ(decoder.Open(path), DecodeResult::Ok);
        ASSERT_NE(Find(decoder, link), nullptr);
        EXPECT_EQ(Find(decoder, link)->size, expected.at(link).size());
        std::vector<std::uint8_t> data;
        ASSERT_EQ(decoder.ExtractToMemory(PositionOf(decoder, link), data), DecodeResult::Ok);
        EXPECT_EQ(std::string(data.begin(), data.end()), expected.at(link));
        std::vector<ItemTestResult> results;
        ASSERT_EQ(decoder.TestItems({PositionOf(decoder, link)}, {}, results), DecodeResult::Ok);
        ASSERT_EQ(results.size(), 1u);
        EXPECT_TRUE(results[0].ok);
        EXPECT_EQ(Slashed(results[0].path), link);
    }

    RarDecoder decoder;
    ASSERT_EQ(decoder.Open(path), DecodeResult::Ok);
    ScratchFolder folder;
    ASSERT_EQ(decoder.ExtractAll(folder / L"all"), DecodeResult::Ok) << Platform::WideToUtf8(decoder.LastErrorText());
    for (const auto& [name, text] : expected) EXPECT_EQ(ReadText(folder / (L"all/" + name)), text);

    // Entry by entry, as the jobs extract, with the sources' files changed before their links come.
    ArchiveContext context;
    ASSERT_EQ(context.OpenArchive(path), DecodeResult::Ok);
    for (std::uint32_t i = 0; i < context.Items().size(); ++i) {
        const ArchiveItem& item = context.Items()[i];
        if (item.isDirectory) continue;
        std::wstring target = folder / (L"one/" + Slashed(item.path));
        ASSERT_EQ(context.ExtractItemToFile(i, target), DecodeResult::Ok) << Platform::WideToUtf8(item.path);
        if (Slashed(item.path) == L"rarlinks/data.txt") Testing::WriteText(target, "changed since\n");
    }
    EXPECT_EQ(ReadText(folder / L"one/rarlinks/link.txt"), "shared data\n");
    EXPECT_EQ(ReadText(folder / L"one/rarlinks/copy-b.txt"), "same bytes\n");
}

INSTANTIATE_TEST_SUITE_P(Archives, RarCopyLinkTest, ::testing::Values(L"rarlinks.rar", L"rarlinks-solid.rar"));

TEST(RarArchiveTest, TheSignatureOrTheNameChoosesTheRarDecoder) {
    ARKOVA_REQUIRE_FIXTURE(rar, L"tree.rar");
    ARKOVA_REQUIRE_FIXTURE(zipNamedRar, L"zip-named.rar");
    ScratchFolder folder;
    std::wstring misnamed = folder / L"tree.dat";
    ASSERT_TRUE(Testing::WriteBytes(misnamed, Testing::ReadBytes(rar)));
    for (const std::wstring& path : {rar, misnamed}) {
        ArchiveFormat format = DetectArchiveFormat(path);
        EXPECT_EQ(format, ArchiveFormat::Rar5);
        EXPECT_NE(dynamic_cast<RarDecoder*>(CreateDecoder(format, L"").get()), nullptr);
    }
    EXPECT_NE(dynamic_cast<RarDecoder*>(CreateDecoder(ArchiveFormat::Rar, L"").get()), nullptr);
    ArchiveFormat zip = DetectArchiveFormat(zipNamedRar);
    EXPECT_EQ(zip, ArchiveFormat::Zip);
    EXPECT_EQ(dynamic_cast<RarDecoder*>(CreateDecoder(zip, L"").get()), nullptr);
}

}  // namespace
}  // namespace Arkova
