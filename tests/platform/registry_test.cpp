// The registry layer must behave like the Win32 registry wherever the settings and the shell integration rely on
// it: names without case, the default value, exact bytes and types, the result codes for a missing value and a short
// buffer, enumeration by index, and keys that are deleted only when empty. Runs against the SQLite store natively
// and against Wine's registry in the Windows build.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "support/registry_sandbox.h"
#include "support/scratch_folder.h"

namespace Arkova::Platform {
namespace {

using Testing::RegistrySandbox;

constexpr wchar_t kKey[] = L"Software\\ArkovaRegistryTest";

class RegistryTest : public ::testing::Test {
protected:
    RegistrySandbox sandbox_;
};

TEST_F(RegistryTest, MissingKeysAndValuesAreNotFound) {
    RegistryKey key;
    EXPECT_EQ(key.Open(kKey, RegistryAccess::Read), kRegistryNotFound);
    EXPECT_FALSE(key.IsOpen());
    EXPECT_EQ(DeleteKey(kKey), kRegistryNotFound);

    ASSERT_EQ(key.Create(kKey, RegistryAccess::ReadWrite), kRegistryOk);
    std::uint32_t size = 4;
    std::uint32_t value = 0;
    EXPECT_EQ(key.QueryValue(L"Absent", nullptr, &value, &size), kRegistryNotFound);
    EXPECT_EQ(key.DeleteValue(L"Absent"), kRegistryNotFound);
}

TEST_F(RegistryTest, NamesCompareWithoutCaseAndKeepExactBytesAndTypes) {
    RegistryKey writer;
    ASSERT_EQ(writer.Create(L"Software\\ArkovaRegistryTest\\Sub", RegistryAccess::Write), kRegistryOk);
    ASSERT_EQ(writer.SetString(L"", L"기본값"), kRegistryOk);
    ASSERT_EQ(writer.SetDword(L"Number", 0xFFFFFFFFu), kRegistryOk);
    ASSERT_EQ(writer.SetString(L"Path", L"%TEMP%\\x", kRegistryTypeExpandString), kRegistryOk);
    ASSERT_EQ(writer.SetValue(L"Empty", kRegistryTypeString, nullptr, 0), kRegistryOk);
    writer.Close();

    RegistryKey reader;
    ASSERT_EQ(reader.Open(L"SOFTWARE\\arkovaregistrytest\\SUB", RegistryAccess::Read), kRegistryOk);
    std::uint8_t buffer[64] = {};
    std::uint32_t type = 0;
    std::uint32_t size = sizeof buffer;
    ASSERT_EQ(reader.QueryValue(L"", &type, buffer, &size), kRegistryOk);
    EXPECT_EQ(type, kRegistryTypeString);
    EXPECT_EQ(size, 8u);  // three UTF-16 units and the NUL
    EXPECT_EQ(RegistryStringFromBytes(buffer, size), L"기본값");

    size = sizeof buffer;
    ASSERT_EQ(reader.QueryValue(L"NUMBER", &type, buffer, &size), kRegistryOk);
    EXPECT_EQ(type, kRegistryTypeDword);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(std::memcmp(buffer, "\xFF\xFF\xFF\xFF", 4), 0);

    size = sizeof buffer;
    ASSERT_EQ(reader.QueryValue(L"path", &type, buffer, &size), kRegistryOk);
    EXPECT_EQ(type, kRegistryTypeExpandString);  // stored as written, never expanded
    EXPECT_EQ(RegistryStringFromBytes(buffer, size), L"%TEMP%\\x");

    size = sizeof buffer;
    ASSERT_EQ(reader.QueryValue(L"Empty", &type, buffer, &size), kRegistryOk);
    EXPECT_EQ(size, 0u);

    // A read-only handle refuses changes.
    EXPECT_EQ(reader.SetDword(L"Number", 1), kRegistryAccessDenied);
}

TEST_F(RegistryTest, ShortBufferReportsMoreDataAndTheNeededSize) {
    RegistryKey key;
    ASSERT_EQ(key.Create(kKey, RegistryAccess::ReadWrite), kRegistryOk);
    ASSERT_EQ(key.SetString(L"Text", L"abcdef"), kRegistryOk);
    std::uint8_t buffer[4] = {};
    std::uint32_t type = 0;
    std::uint32_t size = sizeof buffer;
    EXPECT_EQ(key.QueryValue(L"Text", &type, buffer, &size), kRegistryMoreData);
    EXPECT_EQ(size, 14u);
    EXPECT_EQ(type, kRegistryTypeString);

    size = 0;
    EXPECT_EQ(key.QueryValue(L"Text", nullptr, nullptr, &size), kRegistryOk);
    EXPECT_EQ(size, 14u);
}

TEST_F(RegistryTest, SubKeysEnumerateByIndexAndKeysWithChildrenStay) {
    for (const wchar_t* name : {L"Beta", L"alpha", L"Gamma"}) {
        RegistryKey child;
        ASSERT_EQ(child.Create(std::wstring(kKey) + L"\\" + name, RegistryAccess::Write), kRegistryOk);
    }
    RegistryKey key;
    ASSERT_EQ(key.Open(kKey, RegistryAccess::Read), kRegistryOk);
    std::vector<std::wstring> names;
    std::wstring name;
    std::uint32_t index = 0;
    RegistryResult result = kRegistryOk;
    while ((result = key.EnumSubKey(index, name)) == kRegistryOk) {
        names.push_back(name);
        ++index;
    }
    EXPECT_EQ(result, kRegistryNoMoreItems);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"alpha", L"Beta", L"Gamma"}));

    EXPECT_EQ(DeleteKey(kKey), kRegistryAccessDenied);
    EXPECT_EQ(DeleteKey(std::wstring(kKey) + L"\\BETA"), kRegistryOk);
    EXPECT_EQ(key.EnumSubKey(1, name), kRegistryOk);
    EXPECT_EQ(name, L"Gamma");
}

TEST_F(RegistryTest, StringBytesRoundTripSurrogatePairs) {
    std::wstring text = L"a\U0001F600b";
    std::vector<std::uint8_t> bytes = RegistryStringBytes(text);
    EXPECT_EQ(bytes.size(), 10u);  // a, two surrogates, b, NUL
    EXPECT_EQ(RegistryStringFromBytes(bytes.data(), bytes.size()), text);
    // An odd trailing byte is not part of any unit.
    EXPECT_EQ(RegistryStringFromBytes(bytes.data(), 3), L"a");
}

#ifndef _WIN32

TEST_F(RegistryTest, ConcurrentWritersNeitherFailNorCorruptTheStore) {
    constexpr int kWrites = 60;
    auto writer = [](int thread, int& failures) {
        for (int i = 0; i < kWrites; ++i) {
            RegistryKey key;
            std::wstring path = std::wstring(kKey) + L"\\T" + std::to_wstring(thread) + L"\\K" + std::to_wstring(i);
            if (key.Create(path, RegistryAccess::ReadWrite) != kRegistryOk ||
                key.SetDword(L"Value", static_cast<std::uint32_t>(i)) != kRegistryOk) {
                ++failures;
            }
            RegistryKey shared;
            if (shared.Create(kKey, RegistryAccess::Write) != kRegistryOk ||
                shared.SetDword(L"Last" + std::to_wstring(thread), static_cast<std::uint32_t>(i)) != kRegistryOk) {
                ++failures;
            }
        }
    };
    int failures[2] = {};
    std::thread first(writer, 0, std::ref(failures[0]));
    std::thread second(writer, 1, std::ref(failures[1]));
    first.join();
    second.join();
    EXPECT_EQ(failures[0] + failures[1], 0);

    for (int thread = 0; thread < 2; ++thread) {
        RegistryKey parent;
        ASSERT_EQ(parent.Open(std::wstring(kKey) + L"\\T" + std::to_wstring(thread), RegistryAccess::Read),
                  kRegistryOk);
        std::wstring name;
        EXPECT_EQ(parent.EnumSubKey(kWrites - 1, name), kRegistryOk);
        EXPECT_EQ(parent.EnumSubKey(kWrites, name), kRegistryNoMoreItems);
        RegistryKey shared;
        ASSERT_EQ(shared.Open(kKey, RegistryAccess::Read), kRegistryOk);
        std::uint32_t value = 0;
        std::uint32_t size = 4;
        ASSERT_EQ(shared.QueryValue(L"Last" + std::to_wstring(thread), nullptr, &value, &size), kRegistryOk);
        EXPECT_EQ(value, static_cast<std::uint32_t>(kWrites - 1));
    }
}

TEST(RegistryStoreLocationTest, WithoutAnExplicitPathTheStoreLivesInTheConfigFolder) {
    Testing::ScratchFolder config;
    std::string previousRegistry = std::getenv("ARKOVA_REGISTRY") != nullptr ? std::getenv("ARKOVA_REGISTRY") : "";
    std::string previousConfig = std::getenv("XDG_CONFIG_HOME") != nullptr ? std::getenv("XDG_CONFIG_HOME") : "";
    ::unsetenv("ARKOVA_REGISTRY");
    ::setenv("XDG_CONFIG_HOME", WideToUtf8(config.Path()).c_str(), 1);

    RegistryKey key;
    EXPECT_EQ(key.Open(kKey, RegistryAccess::Read), kRegistryNotFound);
    EXPECT_FALSE(PathExists(config / L"arkova"));  // reading creates nothing
    EXPECT_EQ(key.Create(kKey, RegistryAccess::Write), kRegistryOk);
    EXPECT_TRUE(PathExists(config / L"arkova/registry.sqlite3"));
    key.Close();

    if (previousRegistry.empty())
        ::unsetenv("ARKOVA_REGISTRY");
    else
        ::setenv("ARKOVA_REGISTRY", previousRegistry.c_str(), 1);
    if (previousConfig.empty())
        ::unsetenv("XDG_CONFIG_HOME");
    else
        ::setenv("XDG_CONFIG_HOME", previousConfig.c_str(), 1);
}

TEST_F(RegistryTest, AFileThatIsNoStoreIsReportedAndLeftAlone) {
    std::string junk(4096, 'x');
    FILE* file = std::fopen(WideToUtf8(sandbox_.StorePath()).c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(junk.data(), 1, junk.size(), file);
    std::fclose(file);

    RegistryKey key;
    EXPECT_EQ(key.Create(kKey, RegistryAccess::ReadWrite), kRegistryBadDatabase);
    EXPECT_EQ(key.Open(kKey, RegistryAccess::Read), kRegistryBadDatabase);
    file = std::fopen(WideToUtf8(sandbox_.StorePath()).c_str(), "rb");
    ASSERT_NE(file, nullptr);
    std::string back(8192, '\0');
    back.resize(std::fread(back.data(), 1, back.size(), file));
    std::fclose(file);
    EXPECT_EQ(back, junk);
}

#endif

}  // namespace
}  // namespace Arkova::Platform
