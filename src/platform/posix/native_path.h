// Helpers shared by the POSIX implementation files: wide paths to the UTF-8 bytes the kernel takes, and FILETIME
// ticks to and from timespec.
#pragma once

#include <time.h>

#include <cstdint>
#include <string>

#include "platform/file_time.h"
#include "platform/text.h"

namespace Arkova::Platform {

inline std::string NativePath(const std::wstring& path) { return WideToUtf8(path); }

inline struct timespec FileTimeToTimespec(std::uint64_t fileTime) {
    // Times before 1970 are stored as negative seconds, which every POSIX file system here accepts.
    std::int64_t ticks = static_cast<std::int64_t>(fileTime) - static_cast<std::int64_t>(kUnixEpochTicks);
    std::int64_t seconds = ticks / static_cast<std::int64_t>(kTicksPerSecond);
    std::int64_t rest = ticks % static_cast<std::int64_t>(kTicksPerSecond);
    if (rest < 0) {
        rest += static_cast<std::int64_t>(kTicksPerSecond);
        --seconds;
    }
    struct timespec ts {};
    ts.tv_sec = static_cast<time_t>(seconds);
    ts.tv_nsec = static_cast<long>(rest * 100);
    return ts;
}

inline std::uint64_t TimespecToFileTime(const struct timespec& ts) {
    std::int64_t ticks = static_cast<std::int64_t>(ts.tv_sec) * static_cast<std::int64_t>(kTicksPerSecond) +
                         ts.tv_nsec / 100 + static_cast<std::int64_t>(kUnixEpochTicks);
    return ticks < 0 ? 0 : static_cast<std::uint64_t>(ticks);
}

}  // namespace Arkova::Platform
