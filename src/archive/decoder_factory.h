#pragma once

#include <memory>
#include <string>

#include "archive/archive_decoder.h"
#include "archive/archive_format.h"

namespace Arkova {

// A new, unopened decoder for the format, or null for Unrecognized.
std::unique_ptr<IArchiveDecoder> CreateDecoder(ArchiveFormat format, const std::wstring& libraryPath);

}  // namespace Arkova
