// The result code of every archive operation.
#pragma once

#include <cstdint>

namespace Arkova {

enum class DecodeResult : std::int32_t {
    Ok = 0,
    FileNotFound = 1,
    InvalidArchive = 2,
    UnsupportedFormat = 3,
    PasswordRequired = 4,
    CrcMismatch = 6,
    DecompressFailed = 7,
    IoError = 9,
    InternalError = 10,
    Cancelled = 11,
    // An entry whose path would leave the destination (a ".." part, a root, drive or device name); nothing of it is
    // written.
    UnsafePath = 12,
    // The password was checked against the entry's verification data and is not the one it was encrypted with;
    // nothing of the entry was decoded.
    WrongPassword = 13,
};

// The short English name shown after "오류 코드: " in the open-failure message.
const wchar_t* DecodeResultText(DecodeResult result);
// The name of the code itself ("CrcMismatch"), for console output and logs.
const wchar_t* DecodeResultName(DecodeResult result);

}  // namespace Arkova
