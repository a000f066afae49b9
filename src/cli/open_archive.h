// Chooses and opens the decoder for an archive named on the command line.
#pragma once

#include <memory>
#include <string>

#include "archive/archive_decoder.h"

namespace Arkova::Cli {

// The opened decoder, or null with `result` saying why.
std::unique_ptr<IArchiveDecoder> OpenArchiveDecoder(const std::wstring& path, DecodeResult& result);

}  // namespace Arkova::Cli
