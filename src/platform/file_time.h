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
// Loads the machine's time zone now, once per process. Without TZ the C library loads it again on every mktime,
// under a lock of its own that a thread checker does not see; naming the default zone (on Linux, TZ set to
// ":/etc/localtime" unless set) and loading it here leaves threads that convert times later only reads to share.
// Called on one thread before others convert times.
void LoadTimeZone();

}  // namespace Arkova::Platform
