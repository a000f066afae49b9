// The open archive as the browser window holds it: the context with its decoder, where the archive lives, the
// folder being browsed and the password that has been accepted. Jobs, prompts and the test read and update it.
// User-interface thread only, except the decoder itself: see decoderMutex.
#pragma once

#include <mutex>
#include <string>

#include "archive/archive_context.h"

namespace Arkova {

struct ArchiveSession {
    ArchiveContext context;
    std::wstring archivePath;      // empty when no archive is open
    std::wstring currentFolder;    // "/"-separated, no trailing "/", empty at the root
    std::wstring archivePassword;  // the password last accepted; empty when none

    // Serialises every use of the decoder: background workers (thumbnails) hold it around each call, the UI thread
    // for the whole of each preview, opened entry, job or test. Whoever closes or replaces the decoder first stops
    // and joins every background worker of this session.
    std::mutex decoderMutex;

    // An archive is open and its decoder lists it.
    bool HasOpenArchive() const { return context.Decoder() != nullptr && context.Decoder()->IsOpen(); }
};

// The file name part of a path: after the last "\" or "/", or the whole path.
std::wstring FileNamePart(const std::wstring& path);

// The result's name, followed by what the decoder found when it says more (the 7-Zip library adapter explains a
// missing library, an unsupported method such as RAR without its decoder, or a damaged item).
std::wstring DescribeFailure(const ArchiveContext& context, DecodeResult result);

}  // namespace Arkova
