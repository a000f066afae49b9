// Reader of EGG archives: one scan over the blocks lists every entry; an entry's data is one or more blocks, each
// stored (method 0), raw deflated (1), bzip2 (2) or LZMA (4); AZO (3) is listed but not decoded. Entries may be
// encrypted (ZIP 2.0, AES, LEA) by their own or the archive's encryption header. Names are UTF-8; times are UTC
// FILETIMEs.
#pragma once

#include <vector>

#include "archive/native_decoder.h"

namespace Arkova {

class SequentialReader;

class EggDecoder : public NativeArchiveDecoder {
public:
    ~EggDecoder() override { Close(); }
    DecodeResult Open(const std::wstring& path) override;
    std::wstring ArchiveComment() const override { return archiveComment_; }

protected:
    Storage StorageOf(std::uint8_t method) const override;
    std::wstring MethodName(std::uint8_t method) const override;

private:
    struct ScanState;

    void Scan(SequentialReader& reader);
    // Reads the block whose signature was just read; false ends the scan.
    bool ReadBlock(SequentialReader& reader, std::uint32_t signature, ScanState& state);
    bool ReadDataBlock(SequentialReader& reader, ScanState& state);
    void ListPending(ScanState& state);
    // A split archive's further volumes, found by the ids in their split fields.
    void AddSplitVolumes(const std::wstring& path);
    void ReadExtraField(std::uint32_t signature, const std::vector<std::uint8_t>& body, ScanState& state);

    std::wstring archiveComment_;
    bool solid_ = false;  // the archive header's solid field: entries share one stream
};

}  // namespace Arkova
