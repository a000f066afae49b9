// A square thumbnail of an image held in memory, through GDI+'s own thumbnail extraction: the picture fitted into
// size x size and centred on white. Safe on any thread while a GdiplusSession lives; touches no window.
#pragma once

#include <windows.h>

#include <cstdint>

namespace Arkova {

// A 32-bit bitmap the caller owns, or null when the data is no image GDI+ reads.
HBITMAP MakeThumbnail(const std::uint8_t* data, std::size_t length, int size);

}  // namespace Arkova
