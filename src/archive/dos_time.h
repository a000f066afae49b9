#pragma once

#include <cstdint>

namespace Arkova {

// DOS date and time (as in ZIP and ALZ headers) to a FILETIME of the same wall clock, without any time-zone change.
// Returns 0 when a field is out of range, as DosDateTimeToFileTime fails.
std::uint64_t DosDateTimeToTicks(std::uint16_t dosDate, std::uint16_t dosTime);

}  // namespace Arkova
