// Writing an extracted file so that an existing file of that name survives any failure.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace Arkova {

// Writes the data to a new file beside the target and renames it over the target once complete. On failure the
// partial file is removed and whatever stood at the target is untouched. A nonzero `modifiedTimeUtc` (FILETIME)
// becomes the file's last-write time.
// With a `progress` callback the data goes out in pieces of `piece` bytes, each followed by progress(written,
// total); false from it cancels, and the partial file is removed like on a failure.
using WriteProgress = std::function<bool(std::uint64_t written, std::uint64_t total)>;
bool WriteFileReplacing(const std::wstring& target, const std::vector<std::uint8_t>& data,
                        std::uint64_t modifiedTimeUtc, std::size_t piece = 0, const WriteProgress& progress = {});

// A name beside `target` that nothing uses yet, for the partial file.
std::wstring PartialFileName(const std::wstring& target);

}  // namespace Arkova
