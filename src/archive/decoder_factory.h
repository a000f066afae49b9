#pragma once

#include <memory>
#include <string>

#include "archive/archive_decoder.h"
#include "archive/archive_format.h"

namespace Arkova {

// A new, unopened decoder for the format, or null for Unrecognized.
std::unique_ptr<IArchiveDecoder> CreateDecoder(ArchiveFormat format, const std::wstring& libraryPath);
// A library adapter that lets every handler of the 7-Zip library try the file, for archives that neither detection
// table knows; its Open answers UnsupportedFormat when none accepts it.
std::unique_ptr<IArchiveDecoder> CreateDetectingDecoder(const std::wstring& libraryPath);

}  // namespace Arkova
