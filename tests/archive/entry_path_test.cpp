// Hostile entry names from archives must never reach outside the destination.
#include <gtest/gtest.h>

#include "archive/entry_path.h"
#include "platform/file_system.h"

namespace Arkova {
namespace {

std::wstring Native(std::wstring path) {
    for (wchar_t& c : path) {
        if (c == L'/') c = Platform::kPathSeparator;
    }
    return path;
}

TEST(EntryPathTest, OrdinaryPathsBecomeNativeRelativePaths) {
    struct Case {
        std::wstring entry;
        std::wstring relative;
    };
    const Case cases[] = {
        {L"a.txt", L"a.txt"},
        {L"dir\\sub\\a.txt", L"dir/sub/a.txt"},
        {L"dir/sub/a.txt", L"dir/sub/a.txt"},
        {L"dir/", L"dir"},
        {L"./dir//a.txt", L"dir/a.txt"},
        {L"..a/b..", L"..a/b.."},
        {L"\uD55C\uAE00/\uBB38\uC11C.txt", L"\uD55C\uAE00/\uBB38\uC11C.txt"},
        {L"console.txt", L"console.txt"},
        {L"com10", L"com10"},
    };
    for (const Case& c : cases) {
        std::wstring relative;
        ASSERT_TRUE(MakeSafeRelativePath(c.entry, relative)) << std::string(c.entry.begin(), c.entry.end());
        EXPECT_EQ(relative, Native(c.relative));
    }
}

TEST(EntryPathTest, HostilePathsAreRefused) {
    const std::wstring hostile[] = {
        L"",           L"../x",         L"..\\x",      L"a/../../x", L"a\\..\\x",  L"..",
        L"/etc/passwd", L"\\x",         L"\\\\server\\share\\x",     L"//server/share/x",
        L"C:\\x",      L"c:x",          L"C:/x",       L"CON",       L"nul.txt",   L"dir/aux",
        L"COM1",       L"lpt9.log",     L"prn ",       L"...",       L"a/. ./b",   L"a\x01" L"b",
        L"./",         L"conin$",       L"dir/.. ",
    };
    for (const std::wstring& entry : hostile) {
        std::wstring relative = L"unchanged";
        EXPECT_FALSE(MakeSafeRelativePath(entry, relative)) << std::string(entry.begin(), entry.end());
    }
}

TEST(EntryPathTest, StreamColonsAreRefusedOnWindowsOnly) {
    std::wstring relative;
#ifdef _WIN32
    EXPECT_FALSE(MakeSafeRelativePath(L"file.txt:stream", relative));
#else
    EXPECT_TRUE(MakeSafeRelativePath(L"12:30 notes.txt", relative));
#endif
}

TEST(EntryPathTest, SafeOutputPathJoinsBelowTheFolder) {
    std::wstring out;
    ASSERT_TRUE(SafeOutputPath(Native(L"dest"), L"a\\b.txt", out));
    EXPECT_EQ(out, Native(L"dest/a/b.txt"));
    EXPECT_FALSE(SafeOutputPath(Native(L"dest"), L"../b.txt", out));
}

}  // namespace
}  // namespace Arkova
