#include "archive/egg_decoder.h"

#include <string>
#include <vector>

#include "archive/sequential_reader.h"
#include "platform/text.h"

namespace Arkova {

namespace {

constexpr std::uint32_t kArchiveSignature = 0x41474745;  // "EGGA"
constexpr std::uint32_t kFileHeaderSignature = 0x0A8590E3;
constexpr std::uint32_t kFileNameSignature = 0x0A8591AC;
constexpr std::uint32_t kWindowsFileInfoSignature = 0x2C86950B;
constexpr std::uint32_t kDataBlockSignature = 0x02B50C13;
constexpr std::uint32_t kEndMarker = 0x08E28222;
// Blocks of flags, a 2-byte size and that many bytes that the reader has no use for.
constexpr std::uint32_t kSkippedSignatures[] = {0x24F5A262, 0x24E5A060, 0x04C63672};

constexpr std::size_t kArchiveHeaderRest = 10;  // version, header id, reserved
constexpr std::uint16_t kMaxNameLength = 4095;
constexpr std::uint16_t kTimeAndAttributeLength = 9;
// 0x10 is the Windows folder bit; the format's own creating program marks folders with 0x80.
constexpr std::uint8_t kFolderBits = 0x10 | 0x80;

bool IsSkippedSignature(std::uint32_t signature) {
    for (std::uint32_t skipped : kSkippedSignatures) {
        if (signature == skipped) return true;
    }
    return false;
}

bool IsEmpty(std::uint64_t storedLength, std::uint64_t size) { return storedLength == 0 && size == 0; }

}  // namespace

struct EggDecoder::ScanState {
    struct Block {
        DataBlock data;
        std::uint32_t crc = 0;
    };

    // The entry whose blocks are being read; `active` from its file header until it is listed.
    ArchiveItem item;
    bool active = false;
    std::uint64_t claimedLength = 0;  // the file header's length
    std::vector<Block> blocks;
    // Data blocks met after an entry was listed by its first one belong to that entry.
    bool continuesLast = false;

    void Restart(bool startsEntry) {
        item = ArchiveItem();
        active = startsEntry;
        claimedLength = 0;
        blocks.clear();
        continuesLast = false;
    }
};

DecodeResult EggDecoder::Open(const std::wstring& path) {
    DecodeResult opened = OpenArchiveFile(path);
    if (opened != DecodeResult::Ok) return opened;
    SequentialReader reader(file_);
    Scan(reader);
    scanPosition_ = reader.Position();
    if (Items().empty()) {
        Close();
        return DecodeResult::InvalidArchive;
    }
    return DecodeResult::Ok;
}

void EggDecoder::Scan(SequentialReader& reader) {
    std::uint32_t signature = 0;
    unsigned char headerRest[kArchiveHeaderRest];
    if (!reader.ReadLittleEndian(signature) || signature != kArchiveSignature ||
        !reader.Read(headerRest, sizeof(headerRest))) {
        return;
    }
    ScanState state;
    while (reader.Position() < fileSize_) {
        if (!reader.ReadLittleEndian(signature) || !ReadBlock(reader, signature, state)) break;
    }
    // A damaged or cut archive keeps the entry it was reading.
    if (state.active) ListPending(state);
}

bool EggDecoder::ReadBlock(SequentialReader& reader, std::uint32_t signature, ScanState& state) {
    if (signature == kDataBlockSignature) return ReadDataBlock(reader, state);
    if (signature == kEndMarker) return true;
    if (signature == kFileHeaderSignature) {
        if (state.active) ListPending(state);
        state.Restart(true);
        std::uint32_t fileId = 0;
        return reader.ReadLittleEndian(fileId) && reader.ReadLittleEndian(state.claimedLength);
    }

    std::uint8_t flags = 0;
    std::uint16_t length = 0;
    if (signature != kFileNameSignature && signature != kWindowsFileInfoSignature && !IsSkippedSignature(signature)) {
        return false;
    }
    if (!reader.ReadLittleEndian(flags) || !reader.ReadLittleEndian(length)) return false;

    if (signature == kFileNameSignature) {
        // No usable name: the next signature is read where the name would have begun.
        if (length == 0 || length > kMaxNameLength) return true;
        std::string name(length, '\0');
        if (!reader.Read(name.data(), name.size())) return false;
        std::wstring path = Platform::Utf8ToWide(name);
        if (!path.empty()) state.item.path = std::move(path);
        return true;
    }
    if (signature == kWindowsFileInfoSignature && length >= kTimeAndAttributeLength) {
        std::uint8_t attribute = 0;
        if (!reader.ReadLittleEndian(state.item.modifiedTime) || !reader.ReadLittleEndian(attribute)) return false;
        state.item.attributes = attribute;
        length = static_cast<std::uint16_t>(length - kTimeAndAttributeLength);
    }
    reader.Skip(length);
    return true;
}

bool EggDecoder::ReadDataBlock(SequentialReader& reader, ScanState& state) {
    std::uint8_t method = 0;
    std::uint8_t hint = 0;
    std::uint32_t size = 0;
    std::uint32_t storedLength = 0;
    std::uint32_t crc = 0;
    if (!reader.ReadLittleEndian(method) || !reader.ReadLittleEndian(hint) || !reader.ReadLittleEndian(size) ||
        !reader.ReadLittleEndian(storedLength) || !reader.ReadLittleEndian(crc)) {
        return false;
    }
    // The end marker may close the header; otherwise the data starts right after the CRC.
    const std::uint64_t afterCrc = reader.Position();
    std::uint32_t marker = 0;
    if (!reader.ReadLittleEndian(marker) || marker != kEndMarker) reader.Seek(afterCrc);
    const DataBlock block{reader.Position(), storedLength, size, method};
    reader.Skip(storedLength);

    if (state.active) {
        // Empty blocks after the first add nothing.
        if (state.blocks.empty() || !IsEmpty(storedLength, size)) state.blocks.push_back({block, crc});
        const bool folder = (state.item.attributes & kFolderBits) != 0;
        if (!state.item.path.empty() && (folder || storedLength != 0)) {
            ListPending(state);
            state.Restart(false);
            state.continuesLast = true;
        }
    } else if (state.continuesLast && !IsEmpty(storedLength, size)) {
        AppendBlock(block, crc);
    }
    return true;
}

void EggDecoder::ListPending(ScanState& state) {
    state.active = false;
    if (state.item.path.empty()) return;
    ArchiveItem item = std::move(state.item);
    item.isDirectory = (item.attributes & kFolderBits) != 0;
    AddEntryWithoutData(std::move(item));
    for (const ScanState::Block& block : state.blocks) AppendBlock(block.data, block.crc);
    // A file without a data block is empty when its file header says so; otherwise its data lies behind a block
    // this reader does not know (an encryption header), and it stays without data so that extracting it fails.
    if (state.blocks.empty() && !Items().back().isDirectory && state.claimedLength == 0) {
        AppendBlock(DataBlock{}, 0);
    }
}

NativeArchiveDecoder::Storage EggDecoder::StorageOf(std::uint8_t method) const {
    switch (method) {
        case 0:
            return Storage::Stored;
        case 1:
            return Storage::Deflate;
        default:
            return Storage::Unsupported;
    }
}

}  // namespace Arkova
