// A check of a RAR 5 volume's headers before the UnRAR library reads them. The library's main-header code reads
// the first byte of the archive's original name even when the name is stored empty, which dereferences a null
// pointer; a damaged or hostile file would crash the program. Each volume is walked block by block the way the
// library walks it, and one that holds such a header is refused as damaged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

namespace Arkova::Rar {

// Reads up to `size` bytes at `offset`; returns how many it read.
using ReadAt = std::function<std::size_t(std::uint64_t offset, std::uint8_t* data, std::size_t size)>;

// False when the volume's unencrypted RAR 5 headers include a main header the library cannot read safely. True for
// everything else, including files that are not RAR 5 (the library itself rejects what it cannot parse) and the
// headers past an archive encryption header, which only the library can decrypt.
bool Rar5HeadersAreSafe(const ReadAt& read);

}  // namespace Arkova::Rar
