// Reader of EGG archives: one scan over the blocks lists every entry; an entry's data is one or more blocks, each
// stored (method 0) or raw deflated (method 1). Names are UTF-8; times are UTC FILETIMEs.
#pragma once

#include "archive/native_decoder.h"

namespace Arkova {

class SequentialReader;

class EggDecoder : public NativeArchiveDecoder {
public:
    ~EggDecoder() override { Close(); }
    DecodeResult Open(const std::wstring& path) override;

protected:
    Storage StorageOf(std::uint8_t method) const override;

private:
    struct ScanState;

    void Scan(SequentialReader& reader);
    // Reads the block whose signature was just read; false ends the scan.
    bool ReadBlock(SequentialReader& reader, std::uint32_t signature, ScanState& state);
    bool ReadDataBlock(SequentialReader& reader, ScanState& state);
    void ListPending(ScanState& state);
};

}  // namespace Arkova
