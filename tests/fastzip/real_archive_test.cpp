// Archives made by Debian's zip, which writes extended timestamps, data descriptors (from a pipe) and ZIP64 records
// (-fz): the engine must reproduce the original tree byte for byte with its modification times. (Its names stay
// ASCII: Debian's zip stores other names as unflagged UTF-8, which this program reads in the system code page.)
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>

#include "fastzip/parallel_zip_extractor.h"
#include "platform/file_system.h"
#include "platform/file_time.h"
#include "platform/text.h"
#include "support/alz_writer.h"
#include "support/scratch_folder.h"

namespace Arkova::FastZip {
namespace {

using Testing::Bytes;
using Testing::ReadBytes;
using Testing::ScratchFolder;

#ifndef _WIN32

bool HaveZip() { return Platform::PathExists(L"/usr/bin/zip"); }

int Shell(const std::wstring& command) { return std::system(Platform::WideToUtf8(command).c_str()); }

class RealArchiveTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HaveZip()) GTEST_SKIP() << "Debian's zip is not installed";
        std::mt19937 random(7);
        Bytes big(6u << 20);
        for (std::uint8_t& b : big) b = static_cast<std::uint8_t>(random() % 7 == 0 ? random() : 'q');
        files_ = {{L"tree/a.txt", Bytes(100, 'a')},
                  {L"tree/empty.txt", {}},
                  {L"tree/sub/deeper/big.bin", big},
                  {L"tree/name with spaces.txt", Bytes(5000, 'k')}};
        Platform::MakeDirectories(folder_ / L"tree/sub/deeper");
        Platform::MakeDirectories(folder_ / L"tree/empty folder");
        for (const auto& [name, bytes] : files_) ASSERT_TRUE(Testing::WriteBytes(folder_ / name, bytes));
        // A fixed, whole-second time that every tool can store.
        for (const auto& file : files_) Platform::SetLastWriteTime(folder_ / file.first, kTime);
    }

    void ExpectTreeExtracted(const std::wstring& zipSwitches) {
        std::wstring archive = folder_ / L"real.zip";
        ASSERT_EQ(Shell(L"cd '" + folder_.Path() + L"' && zip -q -r " + zipSwitches + L" real.zip tree"), 0);
        ParallelZipExtractor engine(2);
        ASSERT_TRUE(engine.RunAll(archive, folder_ / L"out")) << engine.ErrorText();
        for (const auto& [name, bytes] : files_) {
            EXPECT_EQ(ReadBytes(folder_ / (L"out/" + name)), bytes) << Platform::WideToUtf8(name);
            std::uint64_t time = 0;
            ASSERT_TRUE(Platform::LastWriteTime(folder_ / (L"out/" + name), time));
            EXPECT_EQ(time, kTime) << Platform::WideToUtf8(name);
        }
        EXPECT_TRUE(Platform::IsDirectory(folder_ / L"out/tree/empty folder"));
    }

    static constexpr std::uint64_t kTime = Platform::kUnixEpochTicks + 1650000000ull * Platform::kTicksPerSecond;
    ScratchFolder folder_;
    std::vector<std::pair<std::wstring, Bytes>> files_;
};

TEST_F(RealArchiveTest, ClassicArchive) { ExpectTreeExtracted(L""); }

TEST_F(RealArchiveTest, Zip64Archive) { ExpectTreeExtracted(L"-fz"); }

TEST_F(RealArchiveTest, StoredArchive) { ExpectTreeExtracted(L"-0"); }

TEST_F(RealArchiveTest, PipedEntryUsesADataDescriptor) {
    std::wstring archive = folder_ / L"piped.zip";
    ASSERT_EQ(Shell(L"head -c 300000 /dev/zero | tr '\\0' 'p' | zip -q '" + archive + L"' -"), 0);
    ParallelZipExtractor engine(2);
    ASSERT_TRUE(engine.RunAll(archive, folder_ / L"out")) << engine.ErrorText();
    EXPECT_EQ(ReadBytes(folder_ / L"out/-"), Bytes(300000, 'p'));
}

#endif

}  // namespace
}  // namespace Arkova::FastZip
