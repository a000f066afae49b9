// The one error type of the 7-Zip layer. Everything below Bit7zDecoder throws it (or std::bad_alloc); the library's
// callbacks never let it reach the library: they keep it and the reader rethrows it once the library call returns.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace Arkova::SevenZip {

enum class ErrorKind {
    LibraryUnavailable,  // missing, unloadable, or of an interface layout we cannot call
    FileUnreadable,      // the archive file cannot be opened or read
    NotArchive,          // no format handler accepted the file
    PasswordNeeded,      // encrypted and no password was given
    WrongPassword,
    UnsupportedMethod,  // the library has no decoder for an item's method (RAR in Debian's builds)
    DataError,          // damaged or truncated data
    CrcError,
    WriteFailed,  // an output file or folder could not be made
    UnsafePath,   // an item path would leave the destination; the item was not written
    Cancelled,
    Internal,
};

class Error : public std::runtime_error {
public:
    Error(ErrorKind kind, const std::string& message, std::vector<std::wstring> failedItems = {})
        : std::runtime_error(message), kind_(kind), failedItems_(std::move(failedItems)) {}

    ErrorKind Kind() const { return kind_; }
    // The item paths that failed, in index order, when the error concerns items.
    const std::vector<std::wstring>& FailedItems() const { return failedItems_; }

private:
    ErrorKind kind_;
    std::vector<std::wstring> failedItems_;
};

}  // namespace Arkova::SevenZip
