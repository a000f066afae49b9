// The real-world archives beside the repository (../shared/samples), made by the formats' own creating program.
#pragma once

#include <string>

namespace Arkova::Testing {

// Full path of a sample, or empty when the samples folder is not there.
std::wstring SamplePath(const std::wstring& name);

}  // namespace Arkova::Testing

// Skips the current test, with a clear message, when a sample is missing.
#define ARKOVA_REQUIRE_SAMPLE(variable, name)                                                   \
    const std::wstring variable = ::Arkova::Testing::SamplePath(name);                          \
    if (variable.empty()) GTEST_SKIP() << "sample archive not found (../shared/samples is absent)"
