// Plain ZIPs are listed from our own directory read, without the library: over every ZIP that make_fixtures.sh
// gathered (Info-ZIP's, 7-Zip's and libarchive's test suite), each one so listed must equal the library's listing
// item for item, and the library is loaded only when an entry is extracted.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "archive/archive_session.h"
#include "archive/browser_path.h"
#include "archive/sevenzip/bit7z_decoder.h"
#include "archive/sevenzip/zip_listing.h"
#include "fastzip/central_directory.h"
#include "fixtures.h"
#include "support/scratch_folder.h"
#include "support/zip_writer.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/text.h"

namespace Arkova {
namespace {

std::vector<std::wstring> FixtureZips() {
    std::vector<std::wstring> paths;
    std::wstring folder = Testing::FixturePath(L"zips");
    std::vector<Platform::DirectoryEntry> entries;
    if (folder.empty() || !Platform::ListDirectory(folder, entries)) return paths;
    for (const Platform::DirectoryEntry& entry : entries) paths.push_back(Platform::JoinPath(folder, entry.name));
    std::sort(paths.begin(), paths.end());
    return paths;
}

// DOS times are converted with the offset of their own date, as the engine sets them on the files; the library on
// Linux takes today's offset. The comparison runs in UTC, where the two agree.
class UtcZone {
public:
    UtcZone() {
#ifndef _WIN32
        if (const char* zone = std::getenv("TZ")) saved_ = zone;
        setenv("TZ", "UTC", 1);
        tzset();
#endif
    }
    ~UtcZone() {
#ifndef _WIN32
        if (saved_) setenv("TZ", saved_->c_str(), 1); else unsetenv("TZ");
        tzset();
#endif
    }

private:
    std::optional<std::string> saved_;
};

// Every field of the item, in one line.
std::string Described(const ArchiveItem& item) {
    std::ostringstream text;
    text << Platform::WideToUtf8(BrowserPath(item.path)) << " size " << item.size << " packed " << item.packedSize
         << " crc " << item.crc << " attributes " << item.attributes << " times " << item.creationTime << " "
         << item.modifiedTime << " folder " << item.isDirectory << " encrypted " << item.isEncrypted << " index "
         << item.index << " method " << Platform::WideToUtf8(item.method) << " comment "
         << Platform::WideToUtf8(item.comment) << " host " << Platform::WideToUtf8(item.hostOs);
    return text.str();
}

// Whether our own listing takes the archive; when it does, it must equal the library's item for item.
bool ListedAsTheLibraryDoes(const std::wstring& path) {
    SCOPED_TRACE(Platform::WideToUtf8(path));
    std::optional<FastZip::ListedDirectory> directory = FastZip::ListDirectory(path, -1);
    std::uint8_t first[30] = {};
    Platform::InputFile file;
    const bool read = file.Open(path) && file.ReadExactAt(0, first, sizeof(first));
    std::optional<std::vector<ArchiveItem>> ours =
        directory && read ? SevenZip::ListPlainZip(*directory, first, sizeof(first)) : std::nullopt;
    if (!ours) return false;
    // Detection by content alone keeps the library's own listing.
    Bit7zDecoder library({}, Bit7zDecoder::Detection::AnyHandler);
    EXPECT_EQ(library.Open(path), DecodeResult::Ok);
    EXPECT_TRUE(library.Warnings().empty());
    const std::vector<ArchiveItem>& theirs = library.Items();
    EXPECT_EQ(ours->size(), theirs.size());
    for (std::size_t i = 0; i < std::min(ours->size(), theirs.size()); ++i) {
        EXPECT_EQ(Described((*ours)[i]), Described(theirs[i]));
    }
    return true;
}

TEST(ZipListingTest, PlainZipsAreListedAsTheLibraryListsThem) {
    const std::vector<std::wstring> archives = FixtureZips();
    if (archives.empty()) GTEST_SKIP() << "no fixture ZIPs";
    UtcZone utc;
    std::vector<std::wstring> taken, refused;
    for (const std::wstring& path : archives) {
        (ListedAsTheLibraryDoes(path) ? taken : refused).push_back(FileNamePart(path));
    }
    // Info-ZIP's and 7-Zip's archives of the fixture tree are plain; encrypted and bzip2 ones are not.
    for (const wchar_t* name : {L"info-zip-0.zip", L"info-zip-1.zip", L"info-zip-6.zip", L"info-zip-9.zip",
                                L"tree.zip"}) {
        EXPECT_NE(std::find(taken.begin(), taken.end(), name), taken.end()) << Platform::WideToUtf8(name);
    }
    for (const wchar_t* name : {L"encrypted.zip", L"bzip2-method.zip"}) {
        EXPECT_NE(std::find(refused.begin(), refused.end(), name), refused.end()) << Platform::WideToUtf8(name);
    }
}

// What the library reads otherwise than the directory says is left to it: a first local header that disagrees
// (it then lists the local headers, with a warning), and time fields that readers take differently.
TEST(ZipListingTest, ArchivesTheLibraryReadsOtherwiseAreLeftToIt) {
    Testing::ScratchFolder folder;
    UtcZone utc;
    Testing::Bytes twoTimes = {0x0A, 0x00, 0x20, 0x00, 0, 0, 0, 0, 1, 0, 24, 0};
    twoTimes.resize(36, 0x11);
    twoTimes.insert(twoTimes.end(), twoTimes.begin(), twoTimes.end());
    auto entry = [](auto edit) {
        Testing::ZipWriterEntry e;
        e.name = "a.txt";
        e.content = {'a'};
        e.method = 0;
        edit(e);
        return e;
    };
    const std::pair<const wchar_t*, Testing::ZipWriterEntry> cases[] = {
        {L"local-size.zip", entry([](Testing::ZipWriterEntry& e) { e.localCompressedSize = 5; })},
        {L"local-method.zip", entry([](Testing::ZipWriterEntry& e) { e.localMethod = 8; })},
        {L"negative-time.zip", entry([](Testing::ZipWriterEntry& e) { e.unixTime = -100000000; })},
        {L"two-ntfs-fields.zip", entry([&](Testing::ZipWriterEntry& e) { e.centralExtra = twoTimes; })},
    };
    for (const auto& [name, first] : cases) {
        std::wstring path = folder / name;
        Testing::ZipWriter writer;
        writer.Add(first).File("b.txt", "second", 0).Finish();
        ASSERT_TRUE(writer.WriteTo(path));
        EXPECT_FALSE(ListedAsTheLibraryDoes(path)) << Platform::WideToUtf8(name);
    }
}

// Listing needs no library at all; the first entry extracted loads it, or says that it cannot be loaded.
TEST(ZipListingTest, TheLibraryIsLoadedWhenAnEntryNeedsIt) {
    ARKOVA_REQUIRE_FIXTURE(archive, L"zips/info-zip-6.zip");
    Bit7zDecoder missing(Platform::JoinPath(Platform::TempDirectory(), L"no-such-7zip-library"));
    ASSERT_EQ(missing.Open(archive), DecodeResult::Ok);
    EXPECT_TRUE(missing.IsOpen());
    ASSERT_FALSE(missing.Items().empty());
    std::vector<std::uint8_t> data;
    EXPECT_EQ(missing.ExtractToMemory(0, data), DecodeResult::InvalidArchive);
    EXPECT_NE(missing.LastErrorText().find(L"cannot be used"), std::wstring::npos);

    Bit7zDecoder decoder;
    ASSERT_EQ(decoder.Open(archive), DecodeResult::Ok);
    const std::vector<ArchiveItem>& items = decoder.Items();
    auto big = std::find_if(items.begin(), items.end(),
                            [](const ArchiveItem& item) { return item.path == L"tree/sub/deeper/big.txt"; });
    ASSERT_NE(big, items.end());
    ASSERT_EQ(decoder.ExtractToMemory(static_cast<std::uint32_t>(big - items.begin()), data), DecodeResult::Ok);
    EXPECT_EQ(std::string(data.begin(), data.end()), Testing::BigFileText());
}

}  // namespace
}  // namespace Arkova
