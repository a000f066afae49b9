// The parallel engine must write exactly what the archive holds, in directory order within each folder, inside the
// destination, with bounded memory; and every failure (damaged data, lying sizes, hostile names, a cancel) must end
// the run with false and every thread joined.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <random>

#ifdef __linux__
#include <unistd.h>
#endif

#include "fastzip/parallel_zip_extractor.h"
#include "fastzip/writer_choice.h"
#include "platform/file_system.h"
#include "platform/file_time.h"
#include "platform/text.h"
#include "support/scratch_folder.h"
#include "support/zip_writer.h"

namespace Arkova::FastZip {
namespace {

using Testing::Bytes;
using Testing::ReadBytes;
using Testing::ReadText;
using Testing::ScratchFolder;
using Testing::ToBytes;
using Testing::ZipWriter;
using Testing::ZipWriterEntry;

constexpr std::size_t kMiB = 1u << 20;

Bytes NoisyBytes(std::size_t size, unsigned seed) {
    // Text-like bytes: compressible, but not trivially, so inflating takes real work.
    std::mt19937 random(seed);
    Bytes bytes(size);
    for (std::uint8_t& b : bytes) b = static_cast<std::uint8_t>('a' + random() % 16);
    return bytes;
}

ZipWriterEntry Entry(const std::string& name, Bytes content, std::uint16_t method = 8) {
    ZipWriterEntry entry;
    entry.name = name;
    entry.content = std::move(content);
    entry.method = method;
    return entry;
}

class ParallelExtractorTest : public ::testing::Test {
protected:
    bool Run(ZipWriter& zip, ParallelZipExtractor& engine) {
        zip.Finish().WriteTo(archive_);
        bool ok = engine.RunAll(archive_, destination_);
        error_ = engine.ErrorText();
        return ok;
    }
    bool Run(ZipWriter& zip, unsigned processors = 2) {
        ParallelZipExtractor engine(processors);
        return Run(zip, engine);
    }
    std::wstring Out(const std::wstring& relative) const { return folder_ / (L"out/" + relative); }

    ScratchFolder folder_;
    std::wstring archive_ = folder_ / L"a.zip";
    std::wstring destination_ = folder_ / L"out";
    std::wstring error_;
};

TEST(ParallelExtractorSetupTest, WorkerCountFollowsTheProcessorCount) {
    EXPECT_EQ(ParallelZipExtractor(1).ThreadCount(), 1u);
    EXPECT_EQ(ParallelZipExtractor(1).PoolBufferCount(), 4u);
    EXPECT_EQ(ParallelZipExtractor(2).ThreadCount(), 2u);
    EXPECT_EQ(ParallelZipExtractor(8).ThreadCount(), 7u);
    EXPECT_EQ(ParallelZipExtractor(0).ThreadCount(), 3u) << "unknown count";
}

TEST_F(ParallelExtractorTest, WritesFilesFoldersAndTimes) {
    ZipWriter zip;
    ZipWriterEntry stamped = Entry("docs/a.txt", ToBytes("alpha"));
    stamped.unixTime = 1600000000;
    zip.Folder("empty/").Add(stamped).File("b.bin", "beta beta", 0).File("deep/er/c.txt", "");
    ASSERT_TRUE(Run(zip)) << error_;
    EXPECT_EQ(error_, L"");
    EXPECT_TRUE(Platform::IsDirectory(Out(L"empty")));
    EXPECT_EQ(ReadText(Out(L"docs/a.txt")), "alpha");
    EXPECT_EQ(ReadText(Out(L"b.bin")), "beta beta");
    EXPECT_TRUE(Platform::PathExists(Out(L"deep/er/c.txt")));
    std::uint64_t time = 0;
    ASSERT_TRUE(Platform::LastWriteTime(Out(L"docs/a.txt"), time));
    EXPECT_EQ(time, Platform::kUnixEpochTicks + 1600000000ull * Platform::kTicksPerSecond);
}

TEST_F(ParallelExtractorTest, OutOfOrderCompletionStillWritesInDirectoryOrder) {
    // A slow first entry, then many quick ones that other workers finish first. The progress callback reports
    // each written file's size, which are all different, so their order tells the order of the writes.
    ZipWriter zip;
    constexpr std::size_t kSlow = ParallelZipExtractor::kBufferSize - 1;
    zip.Add(Entry("slow.bin", NoisyBytes(kSlow, 1)));
    std::vector<std::uint64_t> expected = {kSlow};
    for (unsigned i = 1; i <= 60; ++i) {
        zip.Add(Entry("quick" + std::to_string(i), NoisyBytes(i * 10, i)));
        expected.push_back(i * 10);
    }
    ParallelZipExtractor engine(8);
    std::vector<std::uint64_t> written;
    engine.SetProgress(
        [&](const std::wstring&, std::uint64_t piece, std::uint64_t, std::uint64_t done, std::uint64_t total) {
            written.push_back(piece);
            EXPECT_LE(done, total);
            return true;
        });
    ASSERT_TRUE(Run(zip, engine)) << error_;
    EXPECT_EQ(written, expected);
}

TEST_F(ParallelExtractorTest, EntryOfExactlyABufferIsPooledLargerOnesAreStreamed) {
    Bytes exact = NoisyBytes(ParallelZipExtractor::kBufferSize, 2);
    Bytes larger(5 * kMiB, 'z');  // 5 MiB unpacked, far less packed
    ZipWriter zip;
    zip.Add(Entry("exact.bin", exact)).Add(Entry("larger.bin", larger)).Add(Entry("stored.bin", larger, 0));
    ParallelZipExtractor engine(2);
    ASSERT_TRUE(Run(zip, engine)) << error_;
    EXPECT_EQ(engine.Statistics().pooledFiles, 1u);
    EXPECT_EQ(engine.Statistics().streamedFiles, 2u);
    EXPECT_EQ(ReadBytes(Out(L"exact.bin")), exact);
    EXPECT_EQ(ReadBytes(Out(L"larger.bin")), larger);
    EXPECT_EQ(ReadBytes(Out(L"stored.bin")), larger);
}

// A small threshold and piece size make "large" cheap: entries a few times the threshold stream in many pieces.
constexpr std::uint64_t kThreshold = 64 * 1024;
constexpr std::size_t kPiece = 16 * 1024;
constexpr std::uint64_t kNoBudget = 0;
constexpr std::uint64_t kBudget = ParallelZipExtractor::kWholeDecodeBudget;
constexpr std::uint64_t kOneAtATime = 20 * kThreshold;  // the largest test entry alone, so workers wait their turn

bool IsPartialFile(const std::wstring& name) { return name.find(L".arkova-part") != std::wstring::npos; }

std::vector<std::wstring> PartialFilesIn(const std::wstring& folder) {
    std::vector<Platform::DirectoryEntry> entries;
    std::vector<std::wstring> partial;
    if (!Platform::ListDirectory(folder, entries)) return partial;
    for (const Platform::DirectoryEntry& entry : entries) {
        if (IsPartialFile(entry.name)) partial.push_back(entry.name);
    }
    return partial;
}

TEST_F(ParallelExtractorTest, LargeEntriesAroundTheThresholdComeOutExactAndInOrder) {
    // Both methods, sizes on either side of the threshold and several times it, small files between them, and two
    // large entries of one name (the later one wins, as it does for small files).
    const std::uint64_t sizes[] = {kThreshold - 1, kThreshold, kThreshold + 1, 3 * kThreshold + 7, 8 * kThreshold};
    ZipWriter zip;
    std::vector<std::pair<std::wstring, Bytes>> expected;
    unsigned seed = 100;
    for (std::uint64_t size : sizes) {
        for (std::uint16_t method : {std::uint16_t{0}, std::uint16_t{8}}) {
            std::string name = "m" + std::to_string(method) + "-" + std::to_string(size) + ".bin";
            expected.emplace_back(Platform::Utf8ToWide(name), NoisyBytes(size, ++seed));
            zip.Add(Entry(name, expected.back().second, method));
            std::string small = "small" + std::to_string(seed);
            expected.emplace_back(Platform::Utf8ToWide(small), ToBytes(small));
            zip.Add(Entry(small, expected.back().second));
        }
    }
    Bytes twiceFirst = NoisyBytes(5 * kThreshold, 1), twiceLast = NoisyBytes(4 * kThreshold, 2);
    zip.Add(Entry("twice.bin", twiceFirst)).Add(Entry("twice.bin", twiceLast));
    zip.Finish().WriteTo(archive_);
    // Each large deflated entry is decoded whole when the budget holds it, else inflated piece by piece.
    for (auto [processors, budget] : {std::pair{1u, kNoBudget},
                                      {2u, kNoBudget},
                                      {8u, kNoBudget},
                                      {1u, kBudget},
                                      {2u, kBudget},
                                      {8u, kBudget},
                                      {8u, kOneAtATime}}) {
        SCOPED_TRACE(budget);
        ScratchFolder scratch;
        ParallelZipExtractor engine(processors, kThreshold, kPiece, budget);
        // At every moment the files in place are a prefix of the directory order (they share a folder, so one writer
        // has them all). Looking from the back, a file seen in place means every earlier one must be, even while the
        // writer goes on.
        bool ordered = true;
        engine.SetProgress([&](const std::wstring&, std::uint64_t, std::uint64_t, std::uint64_t, std::uint64_t) {
            bool later = false;
            for (auto it = expected.rbegin(); it != expected.rend(); ++it) {
                bool present = Platform::PathExists(scratch / it->first);
                if (later && !present) ordered = false;
                later = later || present;
            }
            return true;
        });
        ASSERT_TRUE(engine.RunAll(archive_, scratch.Path())) << engine.ErrorText();
        EXPECT_TRUE(ordered) << processors << " processors";
        EXPECT_EQ(engine.Statistics().streamedFiles, 8u) << processors << " processors";
        EXPECT_EQ(engine.Statistics().wholeDecodedFiles, budget == kNoBudget ? 0u : 5u);
        for (const auto& [name, content] : expected) {
            EXPECT_EQ(ReadBytes(scratch / name), content) << Platform::WideToUtf8(name) << ", " << processors;
        }
        EXPECT_EQ(ReadBytes(scratch / L"twice.bin"), twiceLast);
        EXPECT_EQ(PartialFilesIn(scratch.Path()), std::vector<std::wstring>{});
    }
}

// Folders are shared between two writers, which must never split one folder of the file system between them.
TEST(WriterForFileTest, NamesOfOneFolderGoToOneWriterAndFoldersSpreadOverBoth) {
    const std::vector<std::pair<std::wstring, std::wstring>> sameFolder = {
        {L"/out/Docs/a.txt", L"/out/docs/b.txt"}, {L"/out/Été/x", L"/out/été/y"},
        {L"/out/ДОМ/x", L"/out/дом/y"},           {L"C:\\out\\d.\\f", L"C:\\out\\d\\g"},
        {L"C:\\out\\d \\f", L"C:/out/d/g"},       {L"/out/sub/deeper/f", L"/out/SUB/Deeper/g"}};
    for (const auto& [one, other] : sameFolder) {
        EXPECT_EQ(WriterForFile(one, 2), WriterForFile(other, 2)) << Platform::WideToUtf8(one);
    }
    unsigned used[2] = {0, 0};
    for (int folder = 0; folder < 24; ++folder) {
        unsigned writer = WriterForFile(L"/out/d" + std::to_wstring(folder) + L"/f.txt", 2);
        ASSERT_LT(writer, 2u);
        ++used[writer];
    }
    EXPECT_GT(used[0], 4u);
    EXPECT_GT(used[1], 4u);
    EXPECT_EQ(WriterForFile(L"/out/d3/f.txt", 1), 0u);
}

TEST_F(ParallelExtractorTest, DamagedLargeEntriesFailAloneAndLeaveNothing) {
    ZipWriterEntry badCrc = Entry("bad-crc.bin", NoisyBytes(3 * kThreshold, 5));
    badCrc.crc = 1;
    ZipWriterEntry badStoredCrc = Entry("bad-stored.bin", NoisyBytes(3 * kThreshold, 6), 0);
    badStoredCrc.crc = 2;
    ZipWriterEntry broken = Entry("broken.bin", NoisyBytes(3 * kThreshold, 7));
    broken.storedData = Testing::DeflateRaw(broken.content);
    for (std::size_t i = broken.storedData->size() / 2; i < broken.storedData->size(); ++i) {
        (*broken.storedData)[i] = 0xFF;
    }
    ZipWriterEntry truncated = Entry("truncated.bin", NoisyBytes(3 * kThreshold, 8));
    truncated.uncompressedSize = 4 * kThreshold;  // the stream ends a threshold early
    Bytes good = NoisyBytes(5 * kThreshold, 9);
    ZipWriter zip;
    zip.File("first.txt", "first").Add(badCrc).File("between.txt", "between").Add(badStoredCrc).Add(broken);
    zip.Add(truncated).Add(Entry("good.bin", good)).File("last.txt", "last");
    for (auto [processors, budget] : {std::pair{1u, kNoBudget}, {8u, kNoBudget}, {1u, kBudget}, {8u, kBudget}}) {
        SCOPED_TRACE(budget);
        ParallelZipExtractor engine(processors, kThreshold, kPiece, budget);
        EXPECT_FALSE(Run(zip, engine));
        // With one worker the entries fail in directory order; with more, any of them may be the first.
        if (processors == 1) {
            EXPECT_EQ(error_, L"CRC mismatch in 'bad-crc.bin': the data is damaged");
        }
        EXPECT_FALSE(error_.empty());
        for (const wchar_t* damaged : {L"bad-crc.bin", L"bad-stored.bin", L"broken.bin", L"truncated.bin"}) {
            EXPECT_FALSE(Platform::PathExists(Out(damaged))) << Platform::WideToUtf8(damaged);
        }
        EXPECT_EQ(ReadText(Out(L"first.txt")), "first");
        EXPECT_EQ(ReadText(Out(L"between.txt")), "between");
        EXPECT_EQ(ReadBytes(Out(L"good.bin")), good);
        EXPECT_EQ(ReadText(Out(L"last.txt")), "last");
        EXPECT_EQ(PartialFilesIn(destination_), std::vector<std::wstring>{});
    }
}

TEST_F(ParallelExtractorTest, CancelInsideALargeEntryStopsAfterThatPiece) {
    Bytes content = NoisyBytes(64 * kPiece, 11);
    for (std::uint16_t method : {std::uint16_t{0}, std::uint16_t{8}}) {
        ScratchFolder scratch;
        ZipWriter zip;
        zip.Add(Entry("large.bin", content, method)).File("after.txt", "after");
        zip.Finish().WriteTo(scratch / L"a.zip");
        // Piece by piece: an entry decoded whole cannot stop half-way.
        ParallelZipExtractor engine(2, kThreshold, kPiece, kNoBudget);
        int calls = 0;
        std::uint64_t cancelledAt = 0;
        engine.SetProgress(
            [&](const std::wstring& name, std::uint64_t, std::uint64_t, std::uint64_t done, std::uint64_t) {
                EXPECT_EQ(name, L"large.bin");
                cancelledAt = done;
                return ++calls < 4;
            });
        EXPECT_FALSE(engine.RunAll(scratch / L"a.zip", scratch / L"out"));
        EXPECT_EQ(engine.ErrorText(), L"");
        EXPECT_EQ(calls, 4) << "method " << method;
        EXPECT_EQ(engine.BytesWritten(), cancelledAt) << "nothing after the piece that saw the cancel";
        EXPECT_LE(cancelledAt, 4 * kPiece);
        EXPECT_FALSE(Platform::PathExists(scratch / L"out/large.bin"));
        EXPECT_FALSE(Platform::PathExists(scratch / L"out/after.txt"));
        EXPECT_EQ(PartialFilesIn(scratch / L"out"), std::vector<std::wstring>{});
    }
}

TEST_F(ParallelExtractorTest, LocalHeaderDecidesMethodAndSizesUnlessDeferred) {
    ZipWriter zip;
    ZipWriterEntry described = Entry("described.txt", ToBytes("data descriptor content"));
    described.dataDescriptor = true;
    ZipWriterEntry relabelled = Entry("relabelled.txt", ToBytes("inflated by the local method"));
    relabelled.method = 0;       // central says stored ...
    relabelled.localMethod = 8;  // ... the local header says deflate, and the data is deflated
    relabelled.storedData = Testing::DeflateRaw(relabelled.content);
    relabelled.compressedSize = relabelled.storedData->size();
    ZipWriterEntry zip64 = Entry("zip64.txt", ToBytes("sizes in the ZIP64 field"));
    zip64.zip64 = true;
    zip64.dataDescriptor = true;
    zip.Add(described).Add(relabelled).Add(zip64);
    ASSERT_TRUE(Run(zip)) << error_;
    EXPECT_EQ(ReadText(Out(L"described.txt")), "data descriptor content");
    EXPECT_EQ(ReadText(Out(L"relabelled.txt")), "inflated by the local method");
    EXPECT_EQ(ReadText(Out(L"zip64.txt")), "sizes in the ZIP64 field");
}

TEST_F(ParallelExtractorTest, UnsupportedMethodFailsThatEntryAlone) {
    ZipWriter zip;
    zip.File("before.txt", "fine").Add(Entry("lzma.bin", ToBytes("not really lzma"), 14)).File("after.txt", "too");
    ParallelZipExtractor engine(2);
    EXPECT_FALSE(Run(zip, engine));
    EXPECT_EQ(error_, L"Unsupported compression method: 14");
    EXPECT_TRUE(engine.Completed());
    EXPECT_EQ(ReadText(Out(L"before.txt")), "fine");
    EXPECT_EQ(ReadText(Out(L"after.txt")), "too");
    ASSERT_EQ(engine.EntryErrors().size(), 1u);
    EXPECT_EQ(engine.EntryErrors()[0].position, 1u);
    EXPECT_EQ(engine.EntryErrors()[0].result, DecodeResult::UnsupportedFormat);
}

TEST_F(ParallelExtractorTest, DamagedDataIsNeverWrittenAsSuccess) {
    struct Case {
        const char* what;
        ZipWriterEntry entry;
        std::wstring error;
    };
    std::vector<Case> cases;
    ZipWriterEntry crc = Entry("crc.txt", ToBytes("checksummed"));
    crc.crc = 0x12345678;
    cases.push_back({"wrong CRC", crc, L"CRC mismatch in 'crc.txt': the data is damaged"});
    ZipWriterEntry longStored = Entry("long.txt", ToBytes("0123456789"), 0);
    longStored.uncompressedSize = 4;
    cases.push_back(
        {"stored longer than stated", longStored, L"The stored entry 'long.txt' is 10 bytes long but claims 4"});
    ZipWriterEntry bomb = Entry("bomb.txt", ToBytes("tiny"));
    bomb.uncompressedSize = 3ull << 30;
    cases.push_back(
        {"impossible claim", bomb, L"The entry 'bomb.txt' claims more data than its compressed bytes can hold"});
    ZipWriterEntry shortDeflate = Entry("short.txt", ToBytes("short"));
    shortDeflate.uncompressedSize = 50;
    cases.push_back({"shorter than stated", shortDeflate, L"The entry 'short.txt' is shorter than its stated size"});
    ZipWriterEntry past = Entry("past.txt", ToBytes("x"), 0);
    past.compressedSize = past.uncompressedSize = 100000;
    cases.push_back({"data past the end", past, L"The data of 'past.txt' runs past the end of the archive"});
    ZipWriterEntry corrupt = Entry("corrupt.txt", ToBytes("x"));
    corrupt.storedData = Bytes{0xFF, 0xFF, 0xFF};
    cases.push_back({"bad deflate stream", corrupt, L"libdeflate error 1, compSize=3, decompSize=1 in 'corrupt.txt'"});
    for (const Case& c : cases) {
        ScratchFolder scratch;
        ZipWriter zip;
        zip.Add(c.entry).Finish().WriteTo(scratch / L"a.zip");
        ParallelZipExtractor engine(2);
        EXPECT_FALSE(engine.RunAll(scratch / L"a.zip", scratch / L"out")) << c.what;
        EXPECT_EQ(engine.ErrorText(), c.error) << c.what;
        EXPECT_FALSE(Platform::PathExists(scratch / (L"out/" + Platform::Utf8ToWide(c.entry.name)))) << c.what;
    }
}

TEST_F(ParallelExtractorTest, DamagedEntriesAmongManyFailAloneWhateverTheWorkerCount) {
    // Hundreds of small files share each buffer; a few of them, and one streamed entry, are damaged in different
    // ways. Extracting and testing must fail exactly those, in archive order, with any number of workers.
    ZipWriter zip;
    std::vector<std::uint32_t> damaged;
    for (unsigned i = 0; i < 400; ++i) {
        ZipWriterEntry entry = Entry("f/" + std::to_string(i) + ".txt", NoisyBytes(100 + i, i));
        if (i == 3 || i == 211) entry.crc = i, damaged.push_back(i);
        if (i == 150) entry.storedData = Bytes{0xFF, 0xFF, 0xFF}, damaged.push_back(i);
        if (i == 399) entry.method = 0, entry.uncompressedSize = 4, damaged.push_back(i);
        zip.Add(entry);
        if (i == 300) {
            ZipWriterEntry big = Entry("big.bin", NoisyBytes(5 * kThreshold, 9));
            big.crc = 1;
            zip.Add(big);
            damaged.push_back(++i);
        }
    }
    zip.Finish().WriteTo(archive_);
    for (unsigned processors : {1u, 2u, 8u}) {
        SCOPED_TRACE(processors);
        ScratchFolder out;
        ParallelZipExtractor engine(processors, kThreshold, kPiece);
        EXPECT_FALSE(engine.RunAll(archive_, out.Path()));
        EXPECT_TRUE(engine.Completed());
        EXPECT_EQ(engine.ErrorText(), L"CRC mismatch in 'f/3.txt': the data is damaged") << "the first in order";
        std::vector<std::uint32_t> failed;
        for (const EntryError& error : engine.EntryErrors()) failed.push_back(error.position);
        EXPECT_EQ(failed, damaged);
        EXPECT_EQ(engine.FilesWritten(), 400u - damaged.size());
        EXPECT_EQ(ReadBytes(out / L"f/4.txt"), NoisyBytes(104, 4));
        EXPECT_EQ(ReadBytes(out / L"f/398.txt"), NoisyBytes(498, 398));
        EXPECT_FALSE(Platform::PathExists(out / L"f/150.txt"));
        EXPECT_FALSE(Platform::PathExists(out / L"big.bin"));
        EXPECT_TRUE(PartialFilesIn(out.Path()).empty());

        ZipEntrySource source;
        ParallelZipExtractor tester(processors, kThreshold, kPiece);
        std::atomic<unsigned> calls{0};
        tester.SetProgress([&](const std::wstring&, std::uint64_t, std::uint64_t, std::uint64_t, std::uint64_t) {
            ++calls;
            return true;
        });
        EXPECT_FALSE(tester.RunTest(archive_, source));
        std::vector<EntryTestResult> results = tester.TestResults();
        ASSERT_EQ(results.size(), 400u);
        EXPECT_EQ(calls, 400u) << "once per file entry";
        std::vector<std::uint32_t> testFailed;
        for (const EntryTestResult& result : results) {
            if (result.result != DecodeResult::Ok) testFailed.push_back(result.position);
        }
        EXPECT_EQ(testFailed, damaged);
        EXPECT_EQ(results[3].result, DecodeResult::CrcMismatch);
        EXPECT_NE(results[3].actualCrc, 0u) << "the CRC the data really has";
        EXPECT_EQ(results[150].actualCrc, 0u);
        EXPECT_FALSE(Platform::PathExists(folder_ / L"f")) << "a test writes nothing";
    }
}

TEST_F(ParallelExtractorTest, DamagedStreamedEntryIsRemoved) {
    ZipWriterEntry entry = Entry("huge.bin", NoisyBytes(9 * kThreshold, 3));
    entry.crc = 1;
    ZipWriter zip;
    zip.Add(entry);
    ParallelZipExtractor engine(2, kThreshold, kPiece);
    EXPECT_FALSE(Run(zip, engine));
    EXPECT_EQ(error_, L"CRC mismatch in 'huge.bin': the data is damaged");
    EXPECT_EQ(engine.Statistics().streamedFiles, 1u);
    EXPECT_FALSE(Platform::PathExists(Out(L"huge.bin")));
}

TEST_F(ParallelExtractorTest, DamagedEntriesNeverCostAnExistingFile) {
    ASSERT_TRUE(Platform::MakeDirectories(destination_));
    ASSERT_TRUE(Testing::WriteText(Out(L"huge.bin"), "the user's own file"));
    ZipWriterEntry entry = Entry("huge.bin", NoisyBytes(9 * kThreshold, 3));
    entry.crc = 1;
    ZipWriter zip;
    zip.Add(entry);
    ParallelZipExtractor engine(2, kThreshold, kPiece);
    EXPECT_FALSE(Run(zip, engine));
    EXPECT_EQ(engine.Statistics().streamedFiles, 1u);
    EXPECT_TRUE(ReadText(Out(L"huge.bin")) == "the user's own file");
    std::vector<Platform::DirectoryEntry> left;
    ASSERT_TRUE(Platform::ListDirectory(destination_, left));
    EXPECT_EQ(left.size(), 1u) << "no partial file stays beside it";
}

TEST_F(ParallelExtractorTest, HostileNamesAreRefusedAndTheRestExtracted) {
    ZipWriter zip;
    zip.File("../escaped.txt", "x")
        .File("inner/../../escaped2.txt", "x")
        .File("/abs.txt", "x")
        .File("\\\\server\\share\\unc.txt", "x")
        .File("C:\\drive.txt", "x")
        .Folder("../up/")
        .File("safe/ok.txt", "ok");
    EXPECT_FALSE(Run(zip));
    EXPECT_EQ(error_, L"Refused the entry '../escaped.txt': its path would leave the destination folder")
        << "the first refusal is the one kept";
    EXPECT_EQ(ReadText(Out(L"safe/ok.txt")), "ok");
    EXPECT_FALSE(Platform::PathExists(folder_ / L"escaped.txt"));
    EXPECT_FALSE(Platform::PathExists(folder_ / L"escaped2.txt"));
    EXPECT_FALSE(Platform::PathExists(folder_ / L"up"));
}

TEST_F(ParallelExtractorTest, DamagedDirectoryFailsAfterExtractingWhatItLists) {
    ZipWriter zip;
    zip.File("a.txt", "alpha").RawCentral(Bytes(60, 0x33));
    Testing::ZipEnd end;
    end.entryCount = 2;
    zip.Finish(end).WriteTo(archive_);
    ParallelZipExtractor engine(2);
    EXPECT_FALSE(engine.RunAll(archive_, destination_));
    EXPECT_EQ(engine.ErrorText(), L"The ZIP central directory is damaged: only 1 of 2 entries could be read");
    EXPECT_EQ(ReadText(Out(L"a.txt")), "alpha");

    ZipWriter nothing;
    nothing.RawCentral(Bytes(60, 0x33));
    EXPECT_FALSE(Run(nothing));
    EXPECT_EQ(error_, L"The ZIP central directory is damaged: no entry could be read");

    ZipWriter wrongLocal;
    ZipWriterEntry entry = Entry("a.txt", ToBytes("alpha"));
    wrongLocal.Raw(Bytes(4, 0)).Add(entry);
    Bytes bytes = wrongLocal.Finish().Data();
    bytes[4] = 'X';  // the local header at offset 4 loses its signature
    Testing::WriteBytes(archive_, bytes);
    EXPECT_FALSE(engine.RunAll(archive_, destination_));
    EXPECT_EQ(engine.ErrorText(), L"Failed to read local file header");
}

TEST_F(ParallelExtractorTest, EmptyArchiveSucceeds) {
    ZipWriter zip;
    EXPECT_TRUE(Run(zip)) << error_;
    EXPECT_TRUE(Platform::IsDirectory(destination_));
}

TEST_F(ParallelExtractorTest, FirstErrorWins) {
    ZipWriter zip;
    ZipWriterEntry crc = Entry("crc.txt", ToBytes("checksummed"));
    crc.crc = 1;
    zip.File("../refused.txt", "x").Add(crc);
    EXPECT_FALSE(Run(zip, 8));
    EXPECT_EQ(error_, L"Refused the entry '../refused.txt': its path would leave the destination folder");
}

TEST_F(ParallelExtractorTest, CancelFromProgressEndsWithoutErrorText) {
    ZipWriter zip;
    for (unsigned i = 0; i < 200; ++i) zip.File("f" + std::to_string(i), std::string(i + 1, 'c'));
    ParallelZipExtractor engine(8);
    std::atomic<int> calls{0};
    engine.SetProgress([&](const std::wstring&, std::uint64_t, std::uint64_t, std::uint64_t, std::uint64_t) {
        ++calls;
        return false;
    });
    EXPECT_FALSE(Run(zip, engine));
    EXPECT_EQ(error_, L"");
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(Platform::PathExists(Out(L"f0")));
    EXPECT_FALSE(Platform::PathExists(Out(L"f199")));
    // The same engine runs again from a clean state.
    engine.SetProgress({});
    EXPECT_TRUE(engine.RunAll(archive_, destination_)) << engine.ErrorText();
    EXPECT_TRUE(Platform::PathExists(Out(L"f199")));
}

TEST_F(ParallelExtractorTest, RunSelectedExtractsOnlyThePositionsGiven) {
    ZipWriter zip;
    zip.Folder("d/").File("d/a.txt", "a").File("b.txt", "b").File("c.txt", "c");
    zip.Finish().WriteTo(archive_);
    ParallelZipExtractor engine(2);
    EXPECT_TRUE(engine.RunSelected(archive_, destination_, {99, 1000}));
    EXPECT_FALSE(Platform::PathExists(destination_)) << "nothing matched, nothing created";
    ASSERT_TRUE(engine.RunSelected(archive_, destination_, {1, 3})) << engine.ErrorText();
    EXPECT_EQ(ReadText(Out(L"d/a.txt")), "a");
    EXPECT_EQ(ReadText(Out(L"c.txt")), "c");
    EXPECT_FALSE(Platform::PathExists(Out(L"b.txt")));
}

TEST_F(ParallelExtractorTest, ExistingFileIsOverwritten) {
    ASSERT_TRUE(Platform::MakeDirectories(destination_));
    ASSERT_TRUE(Testing::WriteText(Out(L"a.txt"), "an older and longer text"));
    ZipWriter zip;
    zip.File("a.txt", "new");
    ASSERT_TRUE(Run(zip)) << error_;
    EXPECT_EQ(ReadText(Out(L"a.txt")), "new");
}

TEST_F(ParallelExtractorTest, OutputThatCannotBeCreatedFailsTheRun) {
    ZipWriter zip;
    zip.Folder("clash/").File("clash", "a file where a folder stands");
    EXPECT_FALSE(Run(zip));
    EXPECT_EQ(error_, L"Failed to create output file: " + Out(L"clash"));
}

#ifdef __linux__
TEST_F(ParallelExtractorTest, ADanglingLinkIsReplacedNotFollowedOutOfTheDestination) {
    ASSERT_TRUE(Platform::MakeDirectories(destination_));
    const std::wstring outside = Out(L"../outside.txt");
    ASSERT_EQ(::symlink(Platform::WideToUtf8(outside).c_str(), Platform::WideToUtf8(Out(L"link.txt")).c_str()), 0);
    ZipWriter zip;
    zip.File("link.txt", "inside");
    ASSERT_TRUE(Run(zip)) << error_;
    EXPECT_FALSE(Platform::PathExists(outside));
    EXPECT_EQ(ReadText(Out(L"link.txt")), "inside");
}

TEST_F(ParallelExtractorTest, AnExistingLinkIsReplacedNeverWrittenThrough) {
    // Writing through a link would put the entry's bytes wherever the link points, outside the destination.
    ASSERT_TRUE(Platform::MakeDirectories(destination_));
    ASSERT_EQ(::symlink("/dev/full", Platform::WideToUtf8(Out(L"full.bin")).c_str()), 0);
    ZipWriter zip;
    zip.File("full.bin", "a regular file now");
    ASSERT_TRUE(Run(zip)) << error_;
    EXPECT_EQ(ReadText(Out(L"full.bin")), "a regular file now");
}
#endif

}  // namespace
}  // namespace Arkova::FastZip
