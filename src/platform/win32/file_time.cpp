#include "platform/file_time.h"

#include <windows.h>

namespace Arkova::Platform {

std::uint64_t LocalFileTimeToUtc(std::uint64_t localFileTime) {
    FILETIME local{static_cast<DWORD>(localFileTime & 0xFFFFFFFFu), static_cast<DWORD>(localFileTime >> 32)};
    FILETIME utc{};
    if (!::LocalFileTimeToFileTime(&local, &utc)) return localFileTime;
    return (static_cast<std::uint64_t>(utc.dwHighDateTime) << 32) | utc.dwLowDateTime;
}

void LoadTimeZone() {}

}  // namespace Arkova::Platform
