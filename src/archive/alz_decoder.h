// Reader of ALZ archives: one scan lists every entry header; entries are stored (method 0) or raw deflated
// (method 2). Names are in the system ANSI code page.
#pragma once

#include "archive/native_decoder.h"

namespace Arkova {

class SequentialReader;

class AlzDecoder : public NativeArchiveDecoder {
public:
    ~AlzDecoder() override { Close(); }
    DecodeResult Open(const std::wstring& path) override;

protected:
    Storage StorageOf(std::uint8_t method) const override;
    // ALZ stores DOS wall-clock times.
    std::uint64_t FileSystemTime(const ArchiveItem& item) const override;

private:
    bool ParseEntry(SequentialReader& reader);
};

}  // namespace Arkova
