// The outcome of testing one file entry against its CRC.
#pragma once

#include <cstdint>
#include <string>

#include "archive/decode_result.h"

namespace Arkova {

struct ItemTestResult {
    std::uint32_t index = 0;
    std::wstring path;
    bool ok = false;
    DecodeResult error = DecodeResult::Ok;
    std::uint32_t expectedCrc = 0;
    std::uint32_t actualCrc = 0;  // 0 when not computed
};

}  // namespace Arkova
