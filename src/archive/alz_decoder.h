// Reader of ALZ archives: one scan lists every entry header; entries are stored (method 0), in ALZ's bzip2 (1) or
// raw deflated (2), and may be encrypted with ZIP 2.0 traditional encryption. Names are in the system ANSI code page.
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
    // ALZ passwords are in the system ANSI code page, like its names.
    std::string PasswordBytes(const std::wstring& password) const override;
    // ALZ stores DOS wall-clock times.
    std::uint64_t FileSystemTime(const ArchiveItem& item) const override;

private:
    bool ParseEntry(SequentialReader& reader);
    // A split archive continues in NAME.a00, NAME.a01, ... beside NAME.alz.
    void AddSplitVolumes(const std::wstring& path);
};

}  // namespace Arkova
