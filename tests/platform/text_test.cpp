// The code pages that archive names come in, decoded the same on Windows and elsewhere.
#include <gtest/gtest.h>

#include "platform/text.h"

namespace Arkova::Platform {
namespace {

TEST(TextTest, Utf8RoundTripsEveryPlane) {
    std::wstring text = L"abc \uD55C\uAE00 \u00E9";
    text += Utf8ToWide("\xF0\x9F\x98\x80");  // U+1F600, a surrogate pair on Windows
    EXPECT_EQ(WideToUtf8(text), "abc \xED\x95\x9C\xEA\xB8\x80 \xC3\xA9\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf8ToWide(WideToUtf8(text)), text);
}

TEST(TextTest, MalformedUtf8BecomesReplacementCharacters) {
    EXPECT_EQ(Utf8ToWide("a\xFF" "b"), L"a\uFFFDb");
    EXPECT_EQ(Utf8ToWide("\xC3"), L"\uFFFD") << "a truncated sequence";
    EXPECT_EQ(Utf8ToWide("\xC0\xAF"), L"\uFFFD\uFFFD") << "an overlong '/' must not decode to a separator";
    EXPECT_EQ(Utf8ToWide("\xED\xA0\x80"), L"\uFFFD\uFFFD\uFFFD") << "an encoded surrogate";
}

TEST(TextTest, DecodesTheCodePagesArchiveNamesUse) {
    struct Case {
        int codePage;
        std::string bytes;
        std::wstring text;
    };
    const Case cases[] = {
        {949, "\xC7\xD1\xB1\xDB", L"\uD55C\uAE00"},          // 한글
        {949, "\x8C\x63", L"\uB620"},  // an extended (UHC) syllable outside KS X 1001
        {932, "\x93\xFA\x96\x7B", L"\u65E5\u672C"},          // 日本
        {936, "\xD6\xD0\xCE\xC4", L"\u4E2D\u6587"},          // 中文
        {950, "\xA4\xA4\xA4\xE5", L"\u4E2D\u6587"},          // 中文 (Big5)
        {1251, "\xCF\xF0\xE8", L"\u041F\u0440\u0438"},       // При
        {1252, "caf\xE9", L"caf\u00E9"},
        {65001, "\xED\x95\x9C", L"\uD55C"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MultiByteToWide(c.bytes, c.codePage), c.text) << "code page " << c.codePage;
        EXPECT_EQ(WideToMultiByte(c.text, c.codePage), c.bytes) << "code page " << c.codePage;
    }
}

// A strict decode that fails half-way through a character must not leave the next decode in that code page
// starting in the middle of one.
TEST(TextTest, AFailedStrictDecodeLeavesTheNextOneWhole) {
    const struct {
        int codePage;
        const char* lead;
        const char* whole;
        const wchar_t* text;
    } cases[] = {{949, "\xC7", "\xC7\xD1", L"\uD55C"}, {932, "\x93", "\x93\xFA", L"\u65E5"}};
    for (const auto& c : cases) {
        EXPECT_FALSE(MultiByteToWideStrict(c.lead, c.codePage).has_value()) << c.codePage;
        EXPECT_EQ(MultiByteToWideStrict(c.whole, c.codePage), std::optional<std::wstring>(c.text)) << c.codePage;
        EXPECT_EQ(MultiByteToWideStrict("plain.txt", c.codePage), std::optional<std::wstring>(L"plain.txt"));
    }
}

TEST(TextTest, InvalidMultiByteInputStillDecodesTheRest) {
    std::wstring decoded = MultiByteToWide("ok\xFF" "ok", 949);
    EXPECT_EQ(decoded.substr(0, 2), L"ok");
    EXPECT_EQ(decoded.substr(decoded.size() - 2), L"ok");
}

TEST(TextTest, ArbitraryBytesNeverReadPastTheInput) {
    // A name the ALZ fuzzer found: lead bytes without trail bytes, NULs, and an incomplete pair at the end.
    const std::string name("\x8f\x52\x65\x57\x41\x00\x41\x4c\x5a\x01\x06\x00\x20\x8f\x52\x65\x00\x57\x00\x5c\xe5\x02"
                           "\x41\x08\xa2\xe8\xa2",
                           27);
    for (int codePage : {949, 932, 936, 950}) {
        for (std::size_t length = 0; length <= name.size(); ++length) {
            std::wstring decoded = MultiByteToWide(std::string_view(name.data(), length), codePage);
            EXPECT_LE(decoded.size(), length) << codePage;
        }
    }
}

TEST(TextTest, SystemAnsiCodePageIsAvailable) {
    int codePage = SystemAnsiCodePage();
    EXPECT_GT(codePage, 0);
    EXPECT_TRUE(IsCodePageAvailable(codePage));
    EXPECT_TRUE(IsCodePageAvailable(949));
    EXPECT_FALSE(IsCodePageAvailable(12345));
}

TEST(TextTest, NormalizeNfcComposesHangulJamoAndAccents) {
    // HIEUH + A + NIEUN as conjoining jamo, as macOS stores file names.
    EXPECT_EQ(NormalizeNfc(L"\u1112\u1161\u11AB"), L"\uD55C");
    EXPECT_EQ(NormalizeNfc(L"e\u0301"), L"\u00E9");
    EXPECT_EQ(NormalizeNfc(L"plain"), L"plain");
    EXPECT_EQ(NormalizeNfc(L""), L"");
}

TEST(TextTest, EqualsIgnoringCaseFoldsLettersBeyondAscii) {
    EXPECT_TRUE(EqualsIgnoringCase(L"C:\\Users\\Data", L"c:\\users\\DATA"));
    EXPECT_TRUE(EqualsIgnoringCase(L"\u00E9t\u00E9", L"\u00C9T\u00C9"));
    EXPECT_TRUE(EqualsIgnoringCase(L"새 폴더", L"새 폴더"));
    EXPECT_TRUE(EqualsIgnoringCase(L"", L""));
    EXPECT_FALSE(EqualsIgnoringCase(L"새 폴더", L"새 폴더 (1)"));
    EXPECT_FALSE(EqualsIgnoringCase(L"abc", L"abd"));
}

}  // namespace
}  // namespace Arkova::Platform
