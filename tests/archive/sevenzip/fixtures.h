// The archives that make_fixtures.sh made at build time, and what they hold.
#pragma once

#include <cstdint>
#include <string>

#include "platform/file_time.h"
#include "platform/text.h"

namespace Arkova::Testing {

// Full path of a fixture archive, or empty when the build did not make it (a tool was missing).
std::wstring FixturePath(const std::wstring& name);

// The modification time of every file and folder of the fixture tree (2022-04-15 05:20:00 UTC).
inline constexpr std::uint64_t kFixtureTime = Platform::kUnixEpochTicks + 1650000000ull * Platform::kTicksPerSecond;
// The big file of the tree: 20,000 numbered lines.
std::string BigFileText();

}  // namespace Arkova::Testing

#define ARKOVA_REQUIRE_FIXTURE(variable, name)                                                              \
    const std::wstring variable = ::Arkova::Testing::FixturePath(name);                                     \
    if (variable.empty()) GTEST_SKIP() << "fixture not made (is its tool installed?): "                     \
                                       << ::Arkova::Platform::WideToUtf8(std::wstring(name))
