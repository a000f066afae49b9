// Entry names: which encoding they are in, and their decoding to wide text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace Arkova::FastZip {

// Names that macOS's archiver adds ("__MACOSX/...", ".DS_Store", ".../.DS_Store"). Such an archive stores UTF-8 names
// without setting flag bit 11, so one of them makes every name of the archive decode as UTF-8.
bool IsMacMetadataName(const std::uint8_t* bytes, std::size_t length);

// UTF-8 when flag bit 11 or the Mac hint says so, else as DecodeLegacyName reads names of unstated encoding. The
// result is in Unicode form C; bytes that decode in neither are escaped as "%XX", never dropped or replaced.
std::wstring DecodeZipName(const std::uint8_t* bytes, std::size_t length, std::uint16_t flags, bool macHint,
                           std::int32_t codePage = -1);

// The text of an Info-ZIP Unicode Path (0x7075) or Unicode Comment (0x6375) field: version 1, the CRC-32 of the
// header's own bytes, then UTF-8. Nothing when the field is absent, of another version, or its CRC says the header
// was changed after the field was written.
std::optional<std::wstring> UnicodeFieldText(const std::uint8_t* field, std::size_t fieldLength,
                                             const std::uint8_t* header, std::size_t headerLength);

}  // namespace Arkova::FastZip
