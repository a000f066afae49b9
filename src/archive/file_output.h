// Writing an extracted file so that an existing file of that name survives any failure.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Arkova {

// Writes the data to a new file beside the target and renames it over the target once complete. On failure the
// partial file is removed and whatever stood at the target is untouched. A nonzero `modifiedTimeUtc` (FILETIME)
// becomes the file's last-write time.
bool WriteFileReplacing(const std::wstring& target, const std::vector<std::uint8_t>& data,
                        std::uint64_t modifiedTimeUtc);

// A name beside `target` that nothing uses yet, for the partial file.
std::wstring PartialFileName(const std::wstring& target);

}  // namespace Arkova
