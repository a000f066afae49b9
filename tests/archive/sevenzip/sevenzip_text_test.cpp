// The text conversions of the archive layer and the adapter's UTF-16 handling: names must survive the trip through
// the library unchanged (surrogate pairs where wchar_t is 32-bit), and the extension table must pick each format.
#include <gtest/gtest.h>

#include <string>

#include "archive/archive_text.h"
#include "archive/sevenzip/formats.h"
#include "archive/sevenzip/library_text.h"

namespace Arkova {
namespace {

TEST(ArchiveTextTest, FileExtensionIsTheLowerCasedTextAfterTheLastDot) {
    EXPECT_EQ(FileExtensionLower(L"C:\\Downloads\\Backup.TAR.GZ"), L"gz");
    EXPECT_EQ(FileExtensionLower(L"/home/user/archive.7Z"), L"7z");
    EXPECT_EQ(FileExtensionLower(L"README"), L"");
    EXPECT_EQ(FileExtensionLower(L"name."), L"");
    // The last dot anywhere in the path counts, even in a folder name.
    EXPECT_EQ(FileExtensionLower(L"folder.v2/file"), L"v2/file");
}

TEST(ArchiveTextTest, Utf8IsDecodedAndComposed) {
    EXPECT_EQ(Utf8ToWide(""), L"");
    EXPECT_EQ(WideToUtf8(L""), "");
    // "한" written as the jamo sequence U+1112 U+1161 U+11AB.
    EXPECT_EQ(Utf8ToWide("\xE1\x84\x92\xE1\x85\xA1\xE1\x86\xAB.txt"), L"\uD55C.txt");
    EXPECT_EQ(NormalizeNfc(L"e\u0301"), L"\u00E9");
    // A composed syllable still joins a trailing jamo: 가 + ㄱ is 각.
    EXPECT_EQ(NormalizeNfc(L"\uAC00\u11A8"), L"\uAC01");
    EXPECT_EQ(NormalizeNfc(L"\uD55C\uAE00 caf\u00E9"), L"\uD55C\uAE00 caf\u00E9");
    EXPECT_EQ(Utf8ToWide(WideToUtf8(L"\U0001F600 emoji")), L"\U0001F600 emoji");
}

TEST(ArchiveTextTest, ItemNamesDecodeInTheGivenCodePage) {
    const std::string cp949 = "\xC7\xD1\xB1\xDB.txt";  // "한글.txt"
    EXPECT_EQ(DecodeItemName("", 949), L"");
    EXPECT_EQ(DecodeItemName(cp949, 949), L"한글.txt");
    EXPECT_EQ(DecodeItemName("plain.txt", 949), L"plain.txt");
    // -1 and 65001 read UTF-8, composed.
    EXPECT_EQ(DecodeItemName("\xED\x95\x9C\xEA\xB8\x80", -1), L"한글");
    EXPECT_EQ(DecodeItemName("\xE1\x84\x92\xE1\x85\xA1\xE1\x86\xAB", 65001), L"\uD55C");
}

TEST(ArchiveTextTest, UndecodableNameBytesAreEscapedAndRoundTrip) {
    struct Case {
        std::string bytes;
        std::int32_t codePage;
        std::wstring shown;
    } cases[] = {
        {"\xC7\xD1\xFF.txt", 949, L"\uD55C%FF.txt"},
        {"50%\x94", 949, L"50%25%94"},
        {"\xB1\xDB%", 949, L"\uAE00%"},  // clean: its own "%" stays
        {"ok\xC3", 65001, L"ok%C3"},
        {"\xF0\x9F\x98", 65001, L"%F0%9F%98"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DecodeNameBytes(c.bytes, c.codePage), c.shown) << c.bytes;
        EXPECT_EQ(EscapedNameBytes(c.shown, c.codePage).value_or("-"), c.shown == L"\uAE00%" ? "-" : c.bytes);
    }
    EXPECT_EQ(DecodeItemName("a\xFF", -1), L"a%FF");
    EXPECT_FALSE(EscapedNameBytes(L"100%.txt", 949).has_value()) << "no escapes, nothing to undo";
}

TEST(ArchiveTextTest, StrictUtf8RefusesMalformedSequences) {
    auto strict = [](const std::string& bytes) { return IsStrictUtf8(bytes); };
    EXPECT_TRUE(strict("plain"));
    EXPECT_TRUE(strict("\xED\x95\x9C"));
    EXPECT_TRUE(strict("\xF0\x9F\x98\x80"));
    EXPECT_FALSE(strict("\xC0\xAF")) << "overlong";
    EXPECT_FALSE(strict("\xED\xA0\x80")) << "surrogate";
    EXPECT_FALSE(strict("\xF4\x90\x80\x80")) << "past U+10FFFF";
    EXPECT_FALSE(strict("\xED\x95")) << "truncated";
    EXPECT_FALSE(strict("\xC7\xD1\xB1\xDB")) << "CP949 bytes";
}

TEST(ArchiveTextTest, NamesOfUnstatedEncodingTryTheCodePageThenUtf8ThenEscape) {
    EXPECT_EQ(DecodeLegacyName("\xC7\xD1\xB1\xDB", 949), L"한글") << "valid in the code page";
    EXPECT_EQ(DecodeLegacyName("\xED\x95\x9C\xEA\xB8\x80", 949), L"한글") << "UTF-8 the code page cannot read";
    EXPECT_EQ(DecodeLegacyName("\xC7\xD1\xFF", 949), L"\uD55C%FF") << "neither: escaped in the code page";
}

TEST(LibraryTextTest, CharactersBeyondTheBasicPlaneTravelAsSurrogatePairs) {
    std::wstring units = SevenZip::ToLibraryUnits(L"a\U0001F600b");
    ASSERT_EQ(units.size(), 4u);
    EXPECT_EQ(static_cast<std::uint32_t>(units[1]), 0xD83Du);
    EXPECT_EQ(static_cast<std::uint32_t>(units[2]), 0xDE00u);
    EXPECT_EQ(SevenZip::FromLibraryUnits(units.data(), units.size()), L"a\U0001F600b");
    // Where wide text is UTF-32, a lone surrogate from the library is not passed on as a character.
    const wchar_t lone[] = {L'x', static_cast<wchar_t>(0xD800), L'y'};
    if constexpr (sizeof(wchar_t) == 4) {
        EXPECT_EQ(SevenZip::FromLibraryUnits(lone, 3), L"x\uFFFDy");
    }
    EXPECT_EQ(SevenZip::FromLibraryUnits(nullptr, 5), L"");
}

TEST(FormatTableTest, ExtensionsChooseTheLibraryFormat) {
    using namespace SevenZip;
    const std::pair<const wchar_t*, std::uint8_t> table[] = {
        {L"zip", 0x01},  {L"zipx", 0x01}, {L"jar", 0x01}, {L"apk", 0x01}, {L"7z", 0x07},   {L"rar", 0xCC},
        {L"tar", 0xEE},  {L"gz", 0xEF},   {L"gzip", 0xEF}, {L"tgz", 0xEF}, {L"bz2", 0x02},  {L"tbz2", 0x02},
        {L"tbz", 0x02},  {L"xz", 0x0C},   {L"txz", 0x0C}, {L"cab", 0x08}, {L"iso", 0xE7},  {L"wim", 0xE6},
        {L"swm", 0xE6},  {L"esd", 0xE6},  {L"dat", 0x00}, {L"", 0x00},    {L"ZIP", 0x00}};
    for (const auto& [extension, format] : table) {
        EXPECT_EQ(FormatForExtension(extension), format) << static_cast<int>(format);
    }
}

}  // namespace
}  // namespace Arkova
