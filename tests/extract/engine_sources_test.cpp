// The parallel engine fed by each source (ZIP, ALZ, EGG) must extract and test an archive exactly as the
// entry-by-entry path does: the same files, the same failed entries with the same reasons, the same test report,
// whatever the number of workers; and a cancelled test must stop with every thread joined.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "archive/browser_path.h"
#include "archive/sevenzip/bit7z_decoder.h"
#include "extract/extraction_job.h"
#include "extract/parallel_choice.h"
#include "extract/parallel_test.h"
#include "fastzip/parallel_zip_extractor.h"
#include "platform/file_system.h"
#include "support/egg_writer.h"
#include "support/scratch_folder.h"
#include "support/scripted_front_end.h"
#include "support/zip_writer.h"

namespace Arkova {
namespace {

using Testing::Bytes;
using Testing::ScratchFolder;

// Text-like bytes: compressible, but not trivially.
std::string Noisy(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string text(size, ' ');
    for (char& c : text) c = static_cast<char>('a' + random() % 16);
    return text;
}

// What every archive holds: many small files in a folder, a large one that streams, one with a wrong CRC, one whose
// stream is damaged, and a name that would leave the destination.
struct Content {
    std::string name;
    std::string data;
    enum class Damage { None, Crc, Stream } damage = Damage::None;
};

std::vector<Content> Contents() {
    std::vector<Content> contents;
    for (unsigned i = 0; i < 150; ++i) contents.push_back({"docs/" + std::to_string(i) + ".txt", Noisy(50 + i * 7, i)});
    contents[40].damage = Content::Damage::Crc;
    contents[90].damage = Content::Damage::Stream;
    contents.push_back({"big.bin", Noisy(3 << 20, 7)});
    contents.push_back({"../evil.txt", "x"});
    contents.push_back({"last.txt", "the end"});
    return contents;
}

std::string Backslashed(std::string name) {
    for (char& c : name) c = c == '/' ? '\\' : c;
    return name;
}

void WriteZip(const std::wstring& path) {
    Testing::ZipWriter zip;
    zip.Folder("docs/");
    for (const Content& content : Contents()) {
        Testing::ZipWriterEntry entry;
        entry.name = content.name;
        entry.content = Testing::ToBytes(content.data);
        entry.method = 8;
        if (content.damage == Content::Damage::Crc) entry.crc = 1;
        if (content.damage == Content::Damage::Stream) entry.storedData = Bytes{0xFF, 0xFF, 0xFF};
        zip.Add(entry);
    }
    ASSERT_TRUE(zip.Finish().WriteTo(path));
}

void WriteAlz(const std::wstring& path) {
    Testing::AlzWriter alz;
    alz.ArchiveHeader().Folder("docs");
    unsigned i = 0;
    for (const Content& content : Contents()) {
        Testing::AlzEntry entry;
        entry.name = Backslashed(content.name);
        entry.content = Testing::ToBytes(content.data);
        // Stored, deflated and ALZ's bzip2, which only entries that fit a buffer may use.
        static constexpr std::uint8_t kMethods[] = {0, 2, 1};
        entry.method = content.data.size() > (1u << 20) ? 2 : kMethods[++i % 3];
        if (content.damage == Content::Damage::Crc) entry.crc = 1;
        if (content.damage == Content::Damage::Stream) entry.method = 2, entry.storedData = Bytes{0xFF, 0xFF, 0xFF};
        alz.Add(entry);
    }
    ASSERT_TRUE(alz.WriteTo(path));
}

void WriteEgg(const std::wstring& path) {
    Testing::EggWriter egg;
    egg.ArchiveHeader().Folder("docs\\");
    std::uint32_t id = 100;
    unsigned i = 0;
    for (const Content& content : Contents()) {
        Testing::EggBlock block;
        block.content = Testing::ToBytes(content.data);
        block.method = static_cast<std::uint8_t>(++i % 3);  // stored, deflated and bzip2
        if (content.name == "big.bin") block.method = 2;    // streamed through libbz2
        if (content.damage == Content::Damage::Crc) block.crc = 1;
        if (content.damage == Content::Damage::Stream) block.storedData = Bytes{0xFF, 0xFF, 0xFF};
        egg.FileHeader(block.content.size(), id++)
            .FileName(Backslashed(content.name))
            .WindowsFileInfo(Testing::kEggDefaultTime, 0x20)
            .EndMarker()
            .Block(block);
    }
    ASSERT_TRUE(egg.EndMarker().WriteTo(path));
}

struct Format {
    const char* name;
    const wchar_t* file;
    void (*write)(const std::wstring&);
};

const Format kFormats[] = {{"ZIP", L"a.zip", WriteZip}, {"ALZ", L"a.alz", WriteAlz}, {"EGG", L"a.egg", WriteEgg}};

// Every file below `folder`, by its relative path.
void ReadTree(const std::wstring& folder, const std::wstring& prefix, std::map<std::wstring, Bytes>& files) {
    std::vector<Platform::DirectoryEntry> entries;
    ASSERT_TRUE(Platform::ListDirectory(folder, entries));
    for (const Platform::DirectoryEntry& entry : entries) {
        std::wstring path = folder + L"/" + entry.name;
        if (entry.isDirectory) {
            ReadTree(path, prefix + entry.name + L"/", files);
        } else {
            files[prefix + entry.name] = Testing::ReadBytes(path);
        }
    }
}

struct Extraction {
    std::map<std::wstring, Bytes> files;
    std::vector<std::tuple<std::wstring, FailureReason, DecodeResult>> failures;
    bool usedEngine = false;
    bool result = true;
};

class EngineSourcesTest : public ::testing::TestWithParam<Format> {
protected:
    void SetUp() override {
        GetParam().write(archive_);
        session_.archivePath = archive_;
        ASSERT_EQ(session_.context.OpenArchive(archive_), DecodeResult::Ok);
    }
    Extraction Extract(bool engine) {
        ScratchFolder destination;
        JobSettings settings;
        settings.useParallelAllExtract = engine;
        Testing::ScriptedFrontEnd frontEnd;
        ExtractionJob job{session_, frontEnd, settings};
        Extraction extraction;
        extraction.result = job.ExtractArchive({destination.Path(), true, false});
        extraction.usedEngine = job.Outcome().usedParallelEngine;
        for (const EntryFailure& failure : job.Outcome().failures) {
            extraction.failures.emplace_back(BrowserPath(failure.path), failure.reason, failure.decodeResult);
        }
        ReadTree(destination.Path(), L"", extraction.files);
        return extraction;
    }

    ScratchFolder folder_;
    std::wstring archive_ = folder_ / GetParam().file;
    ArchiveSession session_;
};

TEST_P(EngineSourcesTest, ExtractsLikeEntryByEntry) {
    ASSERT_NE(EngineSourceForArchive(session_.context.Format(), archive_), nullptr);
    Extraction parallel = Extract(true);
    Extraction sequential = Extract(false);
    EXPECT_TRUE(parallel.usedEngine);
    EXPECT_FALSE(sequential.usedEngine);
    EXPECT_FALSE(parallel.result) << "failed entries never end as a plain success";
    EXPECT_EQ(parallel.result, sequential.result);
    EXPECT_EQ(parallel.files.size(), Contents().size() - 3);
    EXPECT_TRUE(parallel.files == sequential.files);
    EXPECT_EQ(parallel.files[L"docs/0.txt"], Testing::ToBytes(Noisy(50, 0)));
    EXPECT_EQ(parallel.files[L"big.bin"].size(), 3u << 20);
    ASSERT_EQ(parallel.failures.size(), 3u);
    EXPECT_EQ(std::get<0>(parallel.failures[0]), L"docs/40.txt");
    EXPECT_EQ(std::get<2>(parallel.failures[0]), DecodeResult::CrcMismatch);
    EXPECT_EQ(std::get<0>(parallel.failures[1]), L"docs/90.txt");
    EXPECT_EQ(std::get<1>(parallel.failures[2]), FailureReason::UnsafePath);
    if (std::string(GetParam().name) != "ZIP") {
        EXPECT_EQ(parallel.failures, sequential.failures);
    } else {
        // The library names its own damage codes; the entries and reasons are the same.
        ASSERT_EQ(sequential.failures.size(), 3u);
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(std::get<0>(parallel.failures[i]), std::get<0>(sequential.failures[i]));
            EXPECT_EQ(std::get<1>(parallel.failures[i]), std::get<1>(sequential.failures[i]));
        }
    }
}

TEST_P(EngineSourcesTest, TestsLikeEntryByEntryWhateverTheWorkerCount) {
    ArchiveContext::SetParallelTester({});
    std::vector<ItemTestResult> expected = session_.context.TestAll();
    ASSERT_EQ(expected.size(), Contents().size());
    const bool zip = std::string(GetParam().name) == "ZIP";
    for (unsigned processors : {1u, 2u, 8u}) {
        SCOPED_TRACE(processors);
        std::uint32_t lastCurrent = 0;
        bool steps = true;
        std::optional<std::vector<ItemTestResult>> tested = TestWithParallelEngine(
            session_.context,
            [&](std::uint32_t current, std::uint32_t total, const std::wstring&) {
                steps = steps && total == expected.size() && (current == lastCurrent || current == lastCurrent + 1);
                lastCurrent = current;
                return true;
            },
            processors);
        ASSERT_TRUE(tested.has_value());
        EXPECT_TRUE(steps) << "every count once, in order";
        EXPECT_EQ(lastCurrent, expected.size());
        ASSERT_EQ(tested->size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            const ItemTestResult& got = (*tested)[i];
            const ItemTestResult& want = expected[i];
            SCOPED_TRACE(want.path);
            EXPECT_EQ(got.index, want.index);
            EXPECT_EQ(got.path, want.path);
            EXPECT_EQ(got.ok, want.ok);
            EXPECT_EQ(got.expectedCrc, want.expectedCrc);
            // The library reports neither its damage code nor the CRC of damaged data as we do.
            if (!zip || want.ok) {
                EXPECT_EQ(got.error, want.error);
                EXPECT_EQ(got.actualCrc, want.actualCrc);
            }
        }
    }
    // Installed, the tester is what TestAll runs.
    InstallParallelTest();
    std::vector<ItemTestResult> installed = session_.context.TestAll();
    ArchiveContext::SetParallelTester({});
    ASSERT_EQ(installed.size(), expected.size());
    EXPECT_FALSE(installed[40].ok);
    EXPECT_EQ(installed[40].error, DecodeResult::CrcMismatch);
}

TEST_P(EngineSourcesTest, ACancelledTestStopsAndKeepsWhatItTested) {
    int calls = 0;
    std::optional<std::vector<ItemTestResult>> tested = TestWithParallelEngine(
        session_.context, [&](std::uint32_t, std::uint32_t, const std::wstring&) { return ++calls < 3; }, 8);
    ASSERT_TRUE(tested.has_value()) << "a cancelled run is not tested again entry by entry";
    EXPECT_EQ(calls, 3) << "no call after the one that cancelled";
    EXPECT_LE(tested->size(), Contents().size());
}

INSTANTIATE_TEST_SUITE_P(Sources, EngineSourcesTest, ::testing::ValuesIn(kFormats),
                         [](const ::testing::TestParamInfo<Format>& param) { return std::string(param.param.name); });

TEST(EngineSourceChoiceTest, OnlyIndependentNativeArchivesGoToTheEngine) {
    ScratchFolder folder;
    Testing::AlzEntry locked;
    locked.name = "locked.txt";
    locked.content = Testing::ToBytes("secret");
    locked.encrypted = true;
    ASSERT_TRUE(Testing::AlzWriter().File("open.txt", "o").Add(locked).WriteTo(folder / L"locked.alz"));
    EXPECT_EQ(EngineSourceForArchive(ArchiveFormat::Alz, folder / L"locked.alz"), nullptr);

    Testing::EggBlock lzma;
    lzma.content = Testing::ToBytes(Noisy(1000, 1));
    lzma.method = 4;
    Testing::EggWriter egg;
    egg.ArchiveHeader().File("plain.txt", "plain");
    egg.FileHeader(1000, 9)
        .FileName("lzma.bin")
        .WindowsFileInfo(Testing::kEggDefaultTime, 0x20)
        .EndMarker()
        .Block(lzma);
    ASSERT_TRUE(egg.EndMarker().WriteTo(folder / L"lzma.egg"));
    EXPECT_EQ(EngineSourceForArchive(ArchiveFormat::Egg, folder / L"lzma.egg"), nullptr) << "LZMA goes entry by entry";

    Testing::EggWriter twoBlocks;
    Testing::EggBlock half;
    half.content = Testing::ToBytes("half");
    twoBlocks.ArchiveHeader().FileHeader(8, 1).FileName("two.txt").EndMarker().Block(half).Block(half);
    ASSERT_TRUE(twoBlocks.EndMarker().WriteTo(folder / L"two.egg"));
    EXPECT_EQ(EngineSourceForArchive(ArchiveFormat::Egg, folder / L"two.egg"), nullptr);

    Testing::AlzEntry bzip;
    bzip.name = "huge.bin";
    bzip.content = Testing::ToBytes(Noisy(2 << 20, 3));
    bzip.method = 1;
    ASSERT_TRUE(Testing::AlzWriter().Add(bzip).WriteTo(folder / L"bzip.alz"));
    EXPECT_EQ(EngineSourceForArchive(ArchiveFormat::Alz, folder / L"bzip.alz"), nullptr)
        << "ALZ's bzip2 above a buffer's size is decoded entry by entry";
    ASSERT_TRUE(Testing::AlzWriter().File("small.bin", Noisy(5000, 4), 1).WriteTo(folder / L"small.alz"));
    EXPECT_NE(EngineSourceForArchive(ArchiveFormat::Alz, folder / L"small.alz"), nullptr);
}

// The directory read to choose the engine, or while the decoder opened the archive, serves only a run in the code
// page it was read in, on the same archive.
TEST(ZipEngineSourceTest, ARunInAnotherCodePageOrOnAReplacedArchiveReadsTheDirectoryAgain) {
    ScratchFolder folder;
    Testing::ZipWriterEntry entry;
    entry.name = "\xC7\xD1.txt";  // a Hangul syllable in code page 949, box drawing in 437
    entry.content = Testing::ToBytes("k");
    const std::wstring archive = folder / L"names.zip";
    ASSERT_TRUE(Testing::ZipWriter().Add(entry).Finish().WriteTo(archive));
    const struct {
        std::int32_t runCodePage;
        const wchar_t* name;
    } runs[] = {{949, L"\uD55C.txt"}, {437, L"\u255F\u2564.txt"}};
    for (const auto& run : runs) {
        std::unique_ptr<FastZip::EntrySource> source = EngineSourceForArchive(ArchiveFormat::Zip, archive, 949);
        ASSERT_NE(source, nullptr);
        FastZip::ParallelZipExtractor engine(2);
        engine.SetNameCodePage(run.runCodePage);
        const std::wstring destination = folder / std::to_wstring(run.runCodePage);
        ASSERT_TRUE(engine.RunAll(archive, destination, *source));
        EXPECT_TRUE(Platform::PathExists(destination + Platform::kPathSeparator + run.name)) << run.runCodePage;
    }
    Bit7zDecoder opened;
    opened.SetCodePage(949);
    ASSERT_EQ(opened.Open(archive), DecodeResult::Ok);
    ASSERT_NE(opened.ZipDirectory(), nullptr);
    for (const auto& run : runs) {
        std::unique_ptr<FastZip::EntrySource> source =
            EngineSourceForArchive(ArchiveFormat::Zip, archive, run.runCodePage, &opened);
        ASSERT_NE(source, nullptr);
        FastZip::ParallelZipExtractor engine(2);
        engine.SetNameCodePage(run.runCodePage);
        const std::wstring destination = folder / (L"opened" + std::to_wstring(run.runCodePage));
        ASSERT_TRUE(engine.RunAll(archive, destination, *source));
        EXPECT_TRUE(Platform::PathExists(destination + Platform::kPathSeparator + run.name)) << run.runCodePage;
    }

    std::unique_ptr<FastZip::EntrySource> stale = EngineSourceForArchive(ArchiveFormat::Zip, archive, 949, &opened);
    ASSERT_NE(stale, nullptr);
    opened.Close();  // Windows keeps an open archive from being rewritten
    entry.name = "replaced.txt";
    ASSERT_TRUE(Testing::ZipWriter().Add(entry).Finish().WriteTo(archive));
    FastZip::ParallelZipExtractor engine(2);
    engine.SetNameCodePage(949);
    ASSERT_TRUE(engine.RunAll(archive, folder / L"replaced", *stale));
    EXPECT_TRUE(Platform::PathExists(folder / L"replaced" + Platform::kPathSeparator + L"replaced.txt"));
}

}  // namespace
}  // namespace Arkova
