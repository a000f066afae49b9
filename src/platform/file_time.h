// FILETIME values (100-ns ticks since 1601-01-01) and the local/UTC distinction of DOS times in archives.
#pragma once

#include <cstdint>

namespace Arkova::Platform {

// Ticks between 1601-01-01 and 1970-01-01.
inline constexpr std::uint64_t kUnixEpochTicks = 116444736000000000ULL;
inline constexpr std::uint64_t kTicksPerSecond = 10000000ULL;

// Archive DOS times are wall-clock times; this turns one (as a FILETIME of that wall clock) into the UTC FILETIME
// that the file system stores, using the machine's time zone.
std::uint64_t LocalFileTimeToUtc(std::uint64_t localFileTime);

}  // namespace Arkova::Platform
