// The size format of the status bar and its texts.
#pragma once

#include <cstdint>
#include <string>

namespace Arkova::Ui {

// "%lluB" below 1 KiB, else "%.1fKB", "%.1fMB" from 1 MiB, "%.1fGB" from 1 GiB (so 1,048,575 gives "1024.0KB").
std::wstring FormatSize(std::uint64_t bytes);

// "파일: %d, 폴더: %d, 압축 파일 크기: %s".
std::wstring ArchiveSummaryText(std::size_t files, std::size_t folders, std::uint64_t packedBytes);

// The selection texts: folders only, files only (with sizes and the packed ratio) or both; empty when both counts
// are 0.
std::wstring SelectionSummaryText(std::size_t files, std::size_t folders, std::uint64_t sizeBytes,
                                  std::uint64_t packedBytes);

// The count followed by " items found".
std::wstring SearchCountText(std::size_t count);

// a + b, held at the largest value instead of wrapping (sizes come from untrusted headers).
inline std::uint64_t SaturatingAdd(std::uint64_t a, std::uint64_t b) { return a + b < a ? UINT64_MAX : a + b; }

}  // namespace Arkova::Ui
