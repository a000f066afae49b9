// Every format of the extension table through the real library: the listing (paths, sizes, CRCs, folders, times)
// and both ways of extracting must reproduce the tree that make_fixtures.sh archived, byte for byte.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "archive/crc32.h"
#include "archive/sevenzip/bit7z_decoder.h"
#include "fixtures.h"
#include "platform/file_system.h"
#include "platform/text.h"
#include "support/scratch_folder.h"

namespace Arkova {
namespace {

using Testing::ReadText;
using Testing::ScratchFolder;

struct FormatCase {
    const wchar_t* archive;
    bool wholeTree;         // the tree of four files and its folders; otherwise one file
    bool exactTimes;        // the format stores UTC times (CAB stores local time)
    bool emptyFolder;       // the format keeps empty folders
    bool sizeKnown = true;  // bzip2 and compress streams do not record the unpacked size
};

void PrintTo(const FormatCase& c, std::ostream* out) { *out << Platform::WideToUtf8(c.archive); }

std::wstring Slashed(std::wstring path) {
    for (wchar_t& c : path) {
        if (c == L'\\') c = L'/';
    }
    return path;
}

std::map<std::wstring, std::string> ExpectedFiles(const FormatCase& c) {
    if (!c.wholeTree) return {{L"single.txt", "alpha\n"}};
    std::map<std::wstring, std::string> files = {
        {L"tree/a.txt", "alpha\n"}, {L"tree/empty.txt", ""}, {L"tree/sub/deeper/big.txt", Testing::BigFileText()}};
    if (std::wstring(c.archive) != L"tree.cab") files[L"tree/sub/한글 이름.txt"] = "한글 내용\n";
    return files;
}

class FormatTest : public ::testing::TestWithParam<FormatCase> {
protected:
    void SetUp() override {
        path_ = Testing::FixturePath(GetParam().archive);
        if (path_.empty()) GTEST_SKIP() << "fixture not made (is its tool installed?)";
        ASSERT_EQ(decoder_.Open(path_), DecodeResult::Ok) << Platform::WideToUtf8(decoder_.LastErrorText());
    }

    const ArchiveItem* Find(const std::wstring& path) const {
        for (const ArchiveItem& item : decoder_.Items()) {
            if (Slashed(item.path) == path) return &item;
        }
        return nullptr;
    }

    std::wstring path_;
    Bit7zDecoder decoder_;
};

TEST_P(FormatTest, ListsEveryFileWithItsProperties) {
    EXPECT_TRUE(decoder_.IsOpen());
    EXPECT_FALSE(decoder_.HasEncryptedItems());
    EXPECT_EQ(decoder_.ItemCount(), decoder_.Items().size());
    for (std::uint32_t i = 0; i < decoder_.Items().size(); ++i) EXPECT_EQ(decoder_.Items()[i].index, i);
    for (const auto& [name, content] : ExpectedFiles(GetParam())) {
        const ArchiveItem* item = Find(name);
        ASSERT_NE(item, nullptr) << Platform::WideToUtf8(name);
        EXPECT_FALSE(item->isDirectory);
        // A stream that does not record its size has it once it has been read through (the tarball check may).
        if (GetParam().sizeKnown || item->size != 0) {
            EXPECT_EQ(item->size, content.size()) << Platform::WideToUtf8(name);
        }
        if (item->crc != 0) {
            EXPECT_EQ(item->crc, Crc32(reinterpret_cast<const std::uint8_t*>(content.data()), content.size()));
        }
        if (GetParam().exactTimes) {
            EXPECT_EQ(item->modifiedTime, Testing::kFixtureTime) << Platform::WideToUtf8(name);
        }
    }
    if (GetParam().emptyFolder) {
        const ArchiveItem* folder = Find(L"tree/empty folder");
        ASSERT_NE(folder, nullptr);
        EXPECT_TRUE(folder->isDirectory);
    }
}

TEST_P(FormatTest, ExtractsEachFileToMemory) {
    for (const auto& [name, content] : ExpectedFiles(GetParam())) {
        const ArchiveItem* item = Find(name);
        ASSERT_NE(item, nullptr);
        std::vector<std::uint8_t> buffer = {1, 2, 3};
        ASSERT_EQ(decoder_.ExtractToMemory(static_cast<std::uint32_t>(item - decoder_.Items().data()), buffer),
                  DecodeResult::Ok)
            << Platform::WideToUtf8(decoder_.LastErrorText());
        EXPECT_EQ(std::string(buffer.begin(), buffer.end()), content) << Platform::WideToUtf8(name);
    }
}

TEST_P(FormatTest, ExtractsEverythingIntoAFolderWithTimes) {
    ScratchFolder folder;
    std::uint64_t reports = 0;
    decoder_.SetProgressCallback([&reports](const std::wstring&, std::uint64_t, std::uint64_t) {
        ++reports;
        return true;
    });
    ASSERT_EQ(decoder_.ExtractAll(folder / L"out"), DecodeResult::Ok) << Platform::WideToUtf8(decoder_.LastErrorText());
    for (const auto& [name, content] : ExpectedFiles(GetParam())) {
        std::wstring file = folder / (L"out/" + name);
        EXPECT_EQ(ReadText(file), content) << Platform::WideToUtf8(name);
        std::uint64_t time = 0;
        ASSERT_TRUE(Platform::LastWriteTime(file, time));
        if (GetParam().exactTimes) {
            EXPECT_EQ(time, Testing::kFixtureTime) << Platform::WideToUtf8(name);
        }
    }
    if (GetParam().emptyFolder) {
        EXPECT_TRUE(Platform::IsDirectory(folder / L"out/tree/empty folder"));
    }
    EXPECT_GT(reports, 0u);
}

TEST_P(FormatTest, ExtractsOneFileToAChosenPath) {
    const auto files = ExpectedFiles(GetParam());
    const auto& [name, content] = *files.rbegin();
    const ArchiveItem* item = Find(name);
    ASSERT_NE(item, nullptr);
    ScratchFolder folder;
    std::wstring target = folder / L"new/sub/file.out";
    ASSERT_EQ(decoder_.ExtractToFile(static_cast<std::uint32_t>(item - decoder_.Items().data()), target),
              DecodeResult::Ok);
    EXPECT_EQ(ReadText(target), content);
}

INSTANTIATE_TEST_SUITE_P(
    EveryFormat, FormatTest,
    ::testing::Values(FormatCase{L"tree.zip", true, true, true}, FormatCase{L"tree.7z", true, true, true},
                      FormatCase{L"tree.tar", true, true, true}, FormatCase{L"tree.wim", true, true, true},
                      FormatCase{L"tree.iso", true, true, true}, FormatCase{L"tree.cab", true, false, false},
                      FormatCase{L"single.txt.gz", false, true, false},
                      FormatCase{L"single.txt.bz2", false, false, false, false},
                      FormatCase{L"single.txt.xz", false, false, false},
                      // Tarballs list and extract the tar inside, named or found by content.
                      FormatCase{L"tree.tar.gz", true, true, true}, FormatCase{L"tree.tgz", true, true, true},
                      FormatCase{L"tree.tar.bz2", true, true, true}, FormatCase{L"tree.tar.xz", true, true, true},
                      FormatCase{L"tree.txz", true, true, true}, FormatCase{L"tarball.data", true, true, true},
                      // Formats outside the extension table, found by the library.
                      FormatCase{L"tree.cpio", true, true, true},
                      FormatCase{L"single.txt.Z", false, false, false, false}),
    [](const ::testing::TestParamInfo<FormatCase>& test) {
        std::string name = Platform::WideToUtf8(test.param.archive);
        for (char& c : name) {
            if (c == '.') c = '_';
        }
        return name;
    });

// A gzip stream whose content is not a tar stays one item, named after the archive when the stream stores no name.
TEST(SingleStreamTest, PlainStreamStaysOneItem) {
    ARKOVA_REQUIRE_FIXTURE(path, L"big-lines.gz");
    Bit7zDecoder decoder;
    ASSERT_EQ(decoder.Open(path), DecodeResult::Ok);
    ASSERT_EQ(decoder.ItemCount(), 1u);
    EXPECT_EQ(decoder.Items()[0].path, L"big-lines");
    std::vector<std::uint8_t> data;
    ASSERT_EQ(decoder.ExtractToMemory(0, data), DecodeResult::Ok);
    EXPECT_EQ(std::string(data.begin(), data.end()), Testing::BigFileText());
}

}  // namespace
}  // namespace Arkova
