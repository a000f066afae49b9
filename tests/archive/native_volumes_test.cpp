// Solid and split archives: EGG entries cut from one shared stream (in any order, across block boundaries, with the
// block CRCs checked), ALZ and EGG archives over several volumes opened from the first, and a missing volume named.
#include <gtest/gtest.h>

#include "archive/alz_decoder.h"
#include "archive/crc32.h"
#include "archive/egg_decoder.h"
#include "platform/file_system.h"
#include "support/egg_writer.h"
#include "support/scratch_folder.h"

namespace Arkova {
namespace {

using Testing::Bytes;
using Testing::EggBlock;
using Testing::EggWriter;
using Testing::ScratchFolder;

constexpr std::uint32_t kEggSolid = 0x24E5A060;
constexpr std::uint32_t kEggSplit = 0x24F5A262;

Bytes Pattern(std::size_t size, unsigned seed) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>("abcdefgh"[(i * seed + i / 97) % 8]);
    return bytes;
}

Bytes Join(const std::vector<Bytes>& parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

EggWriter& EggHeader(EggWriter& writer, std::uint32_t id) {
    writer.Raw({'E', 'G', 'G', 'A', 0x00, 0x01});
    for (int i = 0; i < 4; ++i) writer.Raw({static_cast<std::uint8_t>(id >> (8 * i))});
    return writer.Raw({0, 0, 0, 0});
}

TEST(EggSolidTest, EntriesAreCutFromTheSharedStreamInAnyOrder) {
    const std::vector<Bytes> contents = {Pattern(70000, 3), Testing::ToBytes("bc"), Pattern(120000, 5)};
    const Bytes stream = Join(contents);
    for (int methodNumber : {0, 1, 2, 4}) {
        const auto method = static_cast<std::uint8_t>(methodNumber);
        EggWriter writer;
        EggHeader(writer, 7).Extra(kEggSolid, {}).EndMarker();
        const char* names[] = {"a.bin", "b.txt", "c.bin"};
        for (int i = 0; i < 3; ++i) {
            writer.FileHeader(contents[i].size()).FileName(names[i]);
            writer.WindowsFileInfo(Testing::kEggDefaultTime, 0x20).EndMarker();
        }
        writer.FileHeader(0).FileName("dir").WindowsFileInfo(Testing::kEggDefaultTime, 0x10).EndMarker();
        // Two blocks, the first ending inside the third entry.
        const std::size_t cut = 150000;
        EggBlock first;
        first.content.assign(stream.begin(), stream.begin() + cut);
        first.method = method;
        EggBlock second;
        second.content.assign(stream.begin() + cut, stream.end());
        second.method = method;
        writer.Block(first).Block(second);
        ScratchFolder folder;
        ASSERT_TRUE(writer.WriteTo(folder / L"solid.egg"));
        EggDecoder decoder;
        ASSERT_EQ(decoder.Open(folder / L"solid.egg"), DecodeResult::Ok);
        ASSERT_EQ(decoder.ItemCount(), 4u) << int{method};
        EXPECT_TRUE(decoder.Items()[3].isDirectory);
        Bytes data;
        for (int i : {2, 0, 1, 2}) {
            ASSERT_EQ(decoder.ExtractToMemory(static_cast<std::uint32_t>(i), data), DecodeResult::Ok) << i;
            EXPECT_EQ(data, contents[static_cast<std::size_t>(i)]) << i << " method " << int{method};
        }
        ScratchFolder out;
        ASSERT_EQ(decoder.ExtractAll(out.Path()), DecodeResult::Ok);
        EXPECT_EQ(Testing::ReadText(out / L"b.txt"), "bc");
    }
}

TEST(EggSolidTest, ADamagedBlockFailsItsEntries) {
    EggWriter writer;
    EggHeader(writer, 7).Extra(kEggSolid, {}).EndMarker();
    writer.FileHeader(4).FileName("a").EndMarker().FileHeader(4).FileName("b").EndMarker();
    EggBlock block;
    block.content = Testing::ToBytes("aaaabbbb");
    block.method = 0;
    block.crc = 1;
    writer.Block(block);
    ScratchFolder folder;
    ASSERT_TRUE(writer.WriteTo(folder / L"bad.egg"));
    EggDecoder decoder;
    ASSERT_EQ(decoder.Open(folder / L"bad.egg"), DecodeResult::Ok);
    Bytes data;
    EXPECT_EQ(decoder.ExtractToMemory(1, data), DecodeResult::CrcMismatch);
}

// Cuts a whole EGG stream into volumes, each with its own header and split field.
std::vector<Bytes> SplitEgg(const Bytes& body, std::size_t pieces) {
    std::vector<Bytes> volumes;
    const std::size_t step = body.size() / pieces + 1;
    for (std::size_t i = 0; i < pieces; ++i) {
        EggWriter volume;
        EggHeader(volume, 100 + static_cast<std::uint32_t>(i));
        Bytes split(8, 0);
        if (i > 0) split[0] = static_cast<std::uint8_t>(100 + i - 1);
        if (i + 1 < pieces) split[4] = static_cast<std::uint8_t>(100 + i + 1);
        volume.Extra(kEggSplit, split).EndMarker();
        const std::size_t from = std::min(body.size(), i * step);
        const std::size_t to = std::min(body.size(), from + step);
        volume.Raw(
            Bytes(body.begin() + static_cast<std::ptrdiff_t>(from), body.begin() + static_cast<std::ptrdiff_t>(to)));
        volumes.push_back(volume.Data());
    }
    return volumes;
}

TEST(SplitArchiveTest, EggVolumesAreReadAsOneAndAMissingOneIsNamed) {
    const Bytes big = Pattern(50000, 7);
    EggWriter body;
    body.File("one.txt", "first entry").FileHeader(big.size()).FileName("big.bin").EndMarker();
    EggBlock block;
    block.content = big;
    body.Block(block).File("last.txt", "the end");
    std::vector<Bytes> volumes = SplitEgg(body.Data(), 3);
    ScratchFolder folder;
    const wchar_t* names[] = {L"set.egg", L"set.vol2.egg", L"other-name.egg"};
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(Testing::WriteBytes(folder / names[i], volumes[static_cast<std::size_t>(i)]));

    EggDecoder decoder;
    ASSERT_EQ(decoder.Open(folder / L"set.egg"), DecodeResult::Ok);
    ASSERT_EQ(decoder.ItemCount(), 3u);
    Bytes data;
    ASSERT_EQ(decoder.ExtractToMemory(1, data), DecodeResult::Ok);
    EXPECT_EQ(data, big);
    ASSERT_EQ(decoder.ExtractToMemory(2, data), DecodeResult::Ok);
    EXPECT_EQ(data, Testing::ToBytes("the end"));

    Platform::RemoveFile(folder / L"other-name.egg");
    ASSERT_EQ(decoder.Open(folder / L"set.egg"), DecodeResult::Ok);
    EXPECT_EQ(decoder.ExtractToMemory(1, data), DecodeResult::IoError);
    EXPECT_NE(decoder.LastErrorText().find(L"set.vol3.egg"), std::wstring::npos);
}

TEST(SplitArchiveTest, AlzVolumesAreReadAsOneAndAMissingOneIsNamed) {
    const Bytes big = Pattern(40000, 11);
    Testing::AlzEntry entry;
    entry.name = "big.bin";
    entry.method = 0;
    entry.content = big;
    Testing::AlzWriter writer;
    writer.ArchiveHeader().File("a.txt", "alpha").Add(entry).File("z.txt", "zulu");
    const Bytes& all = writer.Data();
    // .alz ends with a 16-byte tail; .a00 and .a01 start with an 8-byte head; the last has no tail.
    const std::size_t cuts[] = {0, 9000, 20000, all.size()};
    ScratchFolder folder;
    const wchar_t* names[] = {L"set.alz", L"set.a00", L"set.a01"};
    for (int i = 0; i < 3; ++i) {
        Bytes volume = i == 0 ? Bytes{} : Bytes(8, 0x48);
        volume.insert(volume.end(), all.begin() + static_cast<std::ptrdiff_t>(cuts[i]),
                      all.begin() + static_cast<std::ptrdiff_t>(cuts[i + 1]));
        if (i < 2) volume.insert(volume.end(), 16, 0x54);
        ASSERT_TRUE(Testing::WriteBytes(folder / names[i], volume));
    }
    AlzDecoder decoder;
    ASSERT_EQ(decoder.Open(folder / L"set.alz"), DecodeResult::Ok);
    ASSERT_EQ(decoder.ItemCount(), 3u);
    Bytes data;
    ASSERT_EQ(decoder.ExtractToMemory(1, data), DecodeResult::Ok);
    EXPECT_EQ(data, big);
    ASSERT_EQ(decoder.ExtractToMemory(2, data), DecodeResult::Ok);
    EXPECT_EQ(data, Testing::ToBytes("zulu"));

    Platform::RemoveFile(folder / L"set.a01");
    ASSERT_EQ(decoder.Open(folder / L"set.alz"), DecodeResult::Ok);
    EXPECT_EQ(decoder.ExtractToMemory(1, data), DecodeResult::IoError);
    EXPECT_NE(decoder.LastErrorText().find(L"set.a01"), std::wstring::npos);
}

}  // namespace
}  // namespace Arkova
