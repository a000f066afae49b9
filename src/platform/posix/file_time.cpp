#include "platform/file_time.h"

#include <time.h>

#include <cstdlib>
#include <mutex>

namespace Arkova::Platform {

std::uint64_t LocalFileTimeToUtc(std::uint64_t localFileTime) {
    if (localFileTime < kUnixEpochTicks) return localFileTime;
    // Read the wall-clock fields as if they were UTC, then let mktime place them in the local time zone.
    time_t wallSeconds = static_cast<time_t>((localFileTime - kUnixEpochTicks) / kTicksPerSecond);
    std::uint64_t fraction = (localFileTime - kUnixEpochTicks) % kTicksPerSecond;
    struct tm fields {};
    if (::gmtime_r(&wallSeconds, &fields) == nullptr) return localFileTime;
    fields.tm_isdst = -1;
    time_t utcSeconds = ::mktime(&fields);
    if (utcSeconds == static_cast<time_t>(-1)) return localFileTime;
    std::int64_t ticks = static_cast<std::int64_t>(utcSeconds) * static_cast<std::int64_t>(kTicksPerSecond) +
                         static_cast<std::int64_t>(fraction) + static_cast<std::int64_t>(kUnixEpochTicks);
    return ticks < 0 ? 0 : static_cast<std::uint64_t>(ticks);
}

void LoadTimeZone() {
    static std::once_flag loaded;
    std::call_once(loaded, [] {
        ::setenv("TZ", ":/etc/localtime", 0);
        ::tzset();
    });
}

}  // namespace Arkova::Platform
