// Extracting ALZ entries: byte-exact data, the failures each method and header lie gives, and the safety rules
// (no write outside the folder, no loss of an existing file, damaged data never reported as success).
#include <gtest/gtest.h>

#include "archive/alz_decoder.h"
#include "platform/file_system.h"
#include "support/alz_writer.h"
#include "support/scratch_folder.h"

namespace Arkova {
namespace {

using Testing::AlzEntry;
using Testing::AlzWriter;
using Testing::Bytes;
using Testing::ScratchFolder;

class AlzExtractTest : public ::testing::Test {
protected:
    void Open(const AlzWriter& writer) {
        std::wstring path = folder_ / L"test.alz";
        ASSERT_TRUE(writer.WriteTo(path));
        ASSERT_EQ(decoder_.Open(path), DecodeResult::Ok);
    }
    DecodeResult Extract(std::uint32_t position, Bytes& data) { return decoder_.ExtractToMemory(position, data); }

    ScratchFolder folder_;
    AlzDecoder decoder_;
};

Bytes Pattern(std::size_t size) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>((i * 31) ^ (i >> 7));
    return bytes;
}

TEST_F(AlzExtractTest, StoredAndDeflatedEntriesComeOutByteExact) {
    AlzEntry stored;
    stored.name = "stored.bin";
    stored.content = Pattern(70000);
    stored.method = 0;
    AlzEntry deflated = stored;
    deflated.name = "deflated.bin";
    deflated.method = 2;
    Open(AlzWriter().Add(stored).Add(deflated));
    Bytes data;
    ASSERT_EQ(Extract(0, data), DecodeResult::Ok);
    EXPECT_EQ(data, stored.content);
    ASSERT_EQ(Extract(1, data), DecodeResult::Ok);
    EXPECT_EQ(data, deflated.content);
}

TEST_F(AlzExtractTest, BadPositionLeavesTheBufferAlone) {
    Open(AlzWriter().File("a", "a"));
    Bytes data{1, 2, 3};
    EXPECT_EQ(Extract(1, data), DecodeResult::FileNotFound);
    EXPECT_EQ(data, (Bytes{1, 2, 3}));
}

TEST_F(AlzExtractTest, EncryptedEntryNeedsTheRightPassword) {
    AlzEntry secret;
    secret.name = "secret";
    secret.content = Testing::ToBytes("data");
    secret.encrypted = true;
    secret.password = "pw";
    Open(AlzWriter().Add(secret));
    Bytes data;
    EXPECT_EQ(Extract(0, data), DecodeResult::PasswordRequired);
    decoder_.SetPassword(L"anything");
    EXPECT_EQ(Extract(0, data), DecodeResult::WrongPassword);
    decoder_.SetPassword(L"pw");
    ASSERT_EQ(Extract(0, data), DecodeResult::Ok);
    EXPECT_EQ(data, Testing::ToBytes("data"));
}

TEST_F(AlzExtractTest, UnknownMethodIsUnsupported) {
    AlzEntry odd;
    odd.name = "method3";
    odd.content = Testing::ToBytes("x");
    odd.method = 3;
    odd.storedData = Testing::ToBytes("x");
    Open(AlzWriter().Add(odd));
    EXPECT_EQ(decoder_.ItemCount(), 1u);
    Bytes data;
    EXPECT_EQ(Extract(0, data), DecodeResult::UnsupportedFormat);
}

TEST_F(AlzExtractTest, InflatedSizeMustMatchTheHeaderExactly) {
    AlzEntry shortStream;
    shortStream.name = "short";
    shortStream.content = Pattern(1000);
    shortStream.unpackedSize = 1500;  // the stream ends after 1000 bytes: zero padding would be corrupt data
    AlzEntry longStream = shortStream;
    longStream.name = "long";
    longStream.unpackedSize = 999;
    AlzEntry truncated = shortStream;
    truncated.name = "truncated";
    truncated.unpackedSize.reset();
    Bytes cut = Testing::DeflateRaw(truncated.content);
    cut.resize(cut.size() / 2);
    truncated.storedData = cut;
    Open(AlzWriter().Add(shortStream).Add(longStream).Add(truncated));
    Bytes data;
    EXPECT_EQ(Extract(0, data), DecodeResult::DecompressFailed);
    EXPECT_EQ(Extract(1, data), DecodeResult::DecompressFailed);
    EXPECT_EQ(Extract(2, data), DecodeResult::DecompressFailed);
}

TEST_F(AlzExtractTest, HugeClaimedSizesAllocateNothing) {
    AlzEntry liar;
    liar.name = "liar";
    liar.content = Testing::ToBytes("tiny");
    liar.sizeWidth = 8;
    liar.unpackedSize = ~0ULL;  // no 6-byte stream inflates to 2^64 bytes
    AlzEntry packedLiar;
    packedLiar.name = "packedliar";
    packedLiar.content = Testing::ToBytes("tiny");
    packedLiar.method = 0;
    packedLiar.sizeWidth = 8;
    packedLiar.packedSize = 1ULL << 40;  // more data than the file holds
    Open(AlzWriter().Add(liar).Add(packedLiar));
    Bytes data;
    EXPECT_EQ(Extract(0, data), DecodeResult::DecompressFailed);
    EXPECT_EQ(Extract(1, data), DecodeResult::IoError);
}

TEST_F(AlzExtractTest, ExtractToFileChecksTheCrcAndKeepsTheOldFileOnFailure) {
    AlzEntry good;
    good.name = "good.txt";
    good.content = Testing::ToBytes("good content");
    AlzEntry damaged = good;
    damaged.name = "damaged.txt";
    damaged.crc = 0x12345678;
    Open(AlzWriter().Add(good).Add(damaged));

    std::wstring target = folder_ / L"out/sub/damaged.txt";
    ASSERT_TRUE(Platform::MakeDirectories(folder_ / L"out/sub"));
    ASSERT_TRUE(Testing::WriteText(target, "the user's own file"));
    EXPECT_EQ(decoder_.ExtractToFile(1, target), DecodeResult::CrcMismatch);
    EXPECT_EQ(Testing::ReadText(target), "the user's own file");

    EXPECT_EQ(decoder_.ExtractToFile(0, target), DecodeResult::Ok) << "an overwrite replaces the file whole";
    EXPECT_EQ(Testing::ReadText(target), "good content");
    EXPECT_EQ(decoder_.ExtractToFile(0, folder_ / L"new/deep/good.txt"), DecodeResult::Ok)
        << "missing parent folders are made";
}

TEST_F(AlzExtractTest, ExtractToFileRestoresTheModificationTime) {
    AlzEntry file;
    file.name = "dated.txt";
    file.content = Testing::ToBytes("x");
    file.dosDateTime = Testing::DosDateTime(2010, 3, 4, 5, 6, 8);
    Open(AlzWriter().Add(file));
    std::wstring target = folder_ / L"dated.txt";
    ASSERT_EQ(decoder_.ExtractToFile(0, target), DecodeResult::Ok);
    std::uint64_t written = 0;
    ASSERT_TRUE(Platform::LastWriteTime(target, written));
    // The DOS time is wall-clock time; whatever the time zone, it lands within a day of the stored value.
    const std::uint64_t stored = decoder_.Items()[0].modifiedTime;
    const std::uint64_t day = 86400ULL * 10000000ULL;
    EXPECT_LT(written > stored ? written - stored : stored - written, day);
}

TEST_F(AlzExtractTest, ExtractAllWritesTheTreeAndReportsProgress) {
    Open(AlzWriter().Folder("a").File("a\\b.txt", "bee").File("c/d.txt", "dee", 0));
    std::vector<std::pair<std::wstring, std::uint64_t>> calls;
    decoder_.SetProgressCallback([&](const std::wstring& path, std::uint64_t done, std::uint64_t total) {
        calls.emplace_back(path, done);
        EXPECT_EQ(total, 3u);
        return true;
    });
    std::wstring out = folder_ / L"out";
    ASSERT_EQ(decoder_.ExtractAll(out), DecodeResult::Ok);
    EXPECT_TRUE(Platform::IsDirectory(folder_ / L"out/a"));
    EXPECT_EQ(Testing::ReadText(folder_ / L"out/a/b.txt"), "bee");
    EXPECT_EQ(Testing::ReadText(folder_ / L"out/c/d.txt"), "dee");
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0], std::make_pair(std::wstring(L"a"), std::uint64_t{1}));
    EXPECT_EQ(calls[2].second, 3u);
}

TEST_F(AlzExtractTest, ExtractAllStopsWhenTheCallbackSaysSo) {
    Open(AlzWriter().File("one", "1").File("two", "2"));
    decoder_.SetProgressCallback([](const std::wstring&, std::uint64_t, std::uint64_t) { return false; });
    EXPECT_EQ(decoder_.ExtractAll(folder_ / L"out"), DecodeResult::Cancelled);
    EXPECT_TRUE(Platform::PathExists(folder_ / L"out/one"));
    EXPECT_FALSE(Platform::PathExists(folder_ / L"out/two"));
}

TEST_F(AlzExtractTest, ExtractAllRefusesPathsThatLeaveTheFolderAndWritesTheRest) {
    Open(AlzWriter()
             .File("..\\escape.txt", "bad")
             .File("/abs.txt", "bad")
             .File("C:\\drive.txt", "bad")
             .File("ok\\..\\..\\up.txt", "bad")
             .File("fine.txt", "good"));
    std::wstring out = folder_ / L"deep/out";
    EXPECT_EQ(decoder_.ExtractAll(out), DecodeResult::UnsafePath);
    EXPECT_EQ(Testing::ReadText(folder_ / L"deep/out/fine.txt"), "good");
    EXPECT_FALSE(Platform::PathExists(folder_ / L"deep/escape.txt"));
    EXPECT_FALSE(Platform::PathExists(folder_ / L"escape.txt"));
    EXPECT_FALSE(Platform::PathExists(folder_ / L"up.txt"));
    EXPECT_FALSE(Platform::PathExists(folder_ / L"deep/up.txt"));
}

TEST_F(AlzExtractTest, ExtractAllStopsAtTheFirstFailingEntry) {
    AlzEntry damaged;
    damaged.name = "damaged";
    damaged.content = Testing::ToBytes("payload");
    damaged.crc = 1;
    Open(AlzWriter().File("first", "1").Add(damaged).File("third", "3"));
    EXPECT_EQ(decoder_.ExtractAll(folder_ / L"out"), DecodeResult::CrcMismatch);
    EXPECT_TRUE(Platform::PathExists(folder_ / L"out/first"));
    EXPECT_FALSE(Platform::PathExists(folder_ / L"out/damaged"));
}

}  // namespace
}  // namespace Arkova
