// An entry or file that a job could not extract or move into place, and why, as a value that each front end
// renders in its own words.
#pragma once

#include <string>

#include "archive/decode_result.h"

namespace Arkova {

enum class FailureReason {
    Decode,               // the decoder failed the entry: `decodeResult`, and the library's text in `detail`
    UnsafePath,           // the path would leave the destination folder; nothing was written
    OutOfMemory,          // memory ran out while the entry was extracted
    ThreadStart,          // the system refused to start the worker thread
    Engine,               // the parallel engine failed its run; its text in `detail`
    Unexpected,           // anything else that went wrong; what it said in `detail`
    ReadFolder,           // a staged folder could not be listed
    CreateFolder,         // a folder could not be created in the destination
    MoveIntoDestination,  // a staged file could not be moved or copied into the destination
    ReplaceExisting,      // an existing file could not be replaced (it is kept as it was)
    FileInTheWay,         // a folder is to go where a file of that name exists
    FolderInTheWay,       // a file is to go where a folder of that name exists
    RemoveStaging,        // the temporary folder could not be removed
};

struct EntryFailure {
    std::wstring path;  // the entry path, the staged path or the folder concerned
    FailureReason reason = FailureReason::Unexpected;
    std::wstring detail;
    DecodeResult decodeResult = DecodeResult::Ok;  // for FailureReason::Decode
};

// The reason as the Win32 failure list shows it, in Korean; the detail, when there is one, follows it.
std::wstring FailureReasonTextKorean(const EntryFailure& failure);

}  // namespace Arkova
