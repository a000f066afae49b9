#include "archive/egg_decoder.h"

#include <string>
#include <vector>

#include "archive/sequential_reader.h"
#include "platform/file_system.h"
#include "platform/text.h"

namespace Arkova {

namespace {

constexpr std::uint32_t kArchiveSignature = 0x41474745;  // "EGGA"
constexpr std::uint32_t kFileHeaderSignature = 0x0A8590E3;
constexpr std::uint32_t kFileNameSignature = 0x0A8591AC;
constexpr std::uint32_t kWindowsFileInfoSignature = 0x2C86950B;
constexpr std::uint32_t kDataBlockSignature = 0x02B50C13;
constexpr std::uint32_t kEndMarker = 0x08E28222;
constexpr std::uint32_t kEncryptionSignature = 0x08D1470F;
constexpr std::uint32_t kGlobalEncryptionSignature = 0x08D144A8;
constexpr std::uint32_t kCommentSignature = 0x04C63672;
constexpr std::uint32_t kPosixFileInfoSignature = 0x1EE922E5;
// Extra fields of flags, a size and that many bytes that the reader has no use for: split and solid marks of the
// archive header (volumes and solid streams are not read yet), dummy and skip fields.
constexpr std::uint32_t kSkippedSignatures[] = {0x24F5A262, 0x07463307, 0xFFFF0000};
constexpr std::uint32_t kSolidSignature = 0x24E5A060;
// General flag bit 0 of an extra field: its size takes 4 bytes instead of 2.
constexpr std::uint8_t kWideSizeFlag = 0x01;
constexpr std::size_t kMaxExtraField = 64 * 1024;

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

namespace {

constexpr std::uint32_t kSplitSignature = 0x24F5A262;

// What the start of one EGG file says about the volume: its header id, the next volume's id (0 for the last or an
// archive in one piece) and where its part of the stream begins (after the header's extra fields and end marker).
struct VolumeHeader {
    std::uint32_t id = 0;
    std::uint32_t nextId = 0;
    std::uint64_t bodyStart = 0;
};

bool ReadVolumeHeader(const std::wstring& path, VolumeHeader& header) {
    constexpr std::size_t kProbe = 512;
    Platform::InputFile file;
    unsigned char bytes[kProbe];
    std::size_t got = 0;
    if (!file.Open(path) || !file.ReadAt(0, bytes, kProbe, got) || got < 18) return false;
    auto at = [&](std::size_t offset, unsigned width) {
        std::uint32_t value = 0;
        for (unsigned i = width; i > 0; --i) value = (value << 8) | bytes[offset + i - 1];
        return value;
    };
    if (at(0, 4) != kArchiveSignature) return false;
    header.id = at(6, 4);
    for (std::size_t position = 14; position + 4 <= got;) {
        const std::uint32_t signature = at(position, 4);
        if (signature == kEndMarker) {
            header.bodyStart = position + 4;
            return true;
        }
        if (position + 7 > got) return false;
        const std::size_t length = at(position + 5, 2);
        if (signature == kSplitSignature && length >= 8 && position + 15 <= got) header.nextId = at(position + 11, 4);
        position += 7 + length;
    }
    return false;
}

// The next volume's file: "NAME.volN.egg" after "NAME.vol(N-1).egg" as the creating program names them, or else
// any EGG file beside it with that header id.
std::wstring FindVolume(const std::wstring& previous, unsigned number, std::uint32_t id, VolumeHeader& header) {
    std::size_t separator = Platform::LastSeparator(previous);
    const std::wstring folder = separator == std::wstring::npos ? L"." : previous.substr(0, separator);
    std::wstring base = previous.substr(separator == std::wstring::npos ? 0 : separator + 1);
    std::size_t vol = base.rfind(L".vol");
    std::size_t dot = base.rfind(L'.');
    base = base.substr(0, vol != std::wstring::npos ? vol : dot);
    std::wstring guess = Platform::JoinPath(folder, base + L".vol" + std::to_wstring(number) + L".egg");
    if (ReadVolumeHeader(guess, header) && header.id == id) return guess;
    std::vector<Platform::DirectoryEntry> entries;
    if (!Platform::ListDirectory(folder, entries)) return {};
    for (const Platform::DirectoryEntry& entry : entries) {
        if (entry.isDirectory || entry.name.size() < 4) continue;
        std::wstring candidate = Platform::JoinPath(folder, entry.name);
        if (ReadVolumeHeader(candidate, header) && header.id == id) return candidate;
    }
    return guess;  // named in the error when it is missing
}

}  // namespace

void EggDecoder::AddSplitVolumes(const std::wstring& path) {
    constexpr unsigned kMaxVolumes = 100000;
    VolumeHeader header;
    if (!ReadVolumeHeader(path, header)) return;
    std::wstring previous = path;
    for (unsigned number = 2; header.nextId != 0 && number < kMaxVolumes; ++number) {
        const std::uint32_t wanted = header.nextId;
        std::wstring next = FindVolume(previous, number, wanted, header);
        if (next.empty() || header.id != wanted || !file_.AddVolume(next, header.bodyStart, 0)) {
            missingVolume_ = next.empty() ? L"#" + std::to_wstring(number) : next;
            break;
        }
        previous = next;
    }
    file_.Size(fileSize_);
}

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
    EntryCipher cipher;        // the entry's own encryption header
    EntryCipher globalCipher;  // the archive's, for every entry without its own
    bool hasWindowsTime = false;

    void Restart(bool startsEntry) {
        item = ArchiveItem();
        active = startsEntry;
        claimedLength = 0;
        blocks.clear();
        continuesLast = false;
        cipher = EntryCipher();
        hasWindowsTime = false;
    }
};

DecodeResult EggDecoder::Open(const std::wstring& path) {
    DecodeResult opened = OpenArchiveFile(path);
    if (opened != DecodeResult::Ok) return opened;
    solid_ = false;
    archiveComment_.clear();
    AddSplitVolumes(path);
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
    if (signature == kSolidSignature) solid_ = true;
    if (signature == kFileHeaderSignature) {
        if (state.active) ListPending(state);
        if (solid_ && SolidGroupHasBlocks()) StartSolidGroup();
        state.Restart(true);
        std::uint32_t fileId = 0;
        return reader.ReadLittleEndian(fileId) && reader.ReadLittleEndian(state.claimedLength);
    }

    std::uint8_t flags = 0;
    std::uint32_t length = 0;
    const bool extraField = signature == kSolidSignature || signature == kFileNameSignature ||
                            signature == kWindowsFileInfoSignature || signature == kEncryptionSignature ||
                            signature == kGlobalEncryptionSignature || signature == kCommentSignature ||
                            signature == kPosixFileInfoSignature || IsSkippedSignature(signature);
    if (!extraField) return false;
    if (!reader.ReadLittleEndian(flags) || !reader.ReadLittleEndian(length, (flags & kWideSizeFlag) ? 4 : 2)) {
        return false;
    }
    if (signature == kEncryptionSignature || signature == kGlobalEncryptionSignature ||
        signature == kCommentSignature || signature == kPosixFileInfoSignature) {
        if (length > kMaxExtraField) return false;
        std::vector<std::uint8_t> body(length);
        if (!reader.Read(body.data(), body.size())) return false;
        ReadExtraField(signature, body, state);
        return true;
    }

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
        state.hasWindowsTime = true;
        length -= kTimeAndAttributeLength;
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
    if (solid_) {
        // Every entry of the group was announced before its blocks; the blocks carry their data one after another.
        if (state.active) ListPending(state);
        AddSolidBlock(block, crc);
        return true;
    }

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

namespace {

std::uint64_t LittleEndianAt(const std::vector<std::uint8_t>& bytes, std::size_t at, unsigned width) {
    std::uint64_t value = 0;
    for (unsigned i = width; i > 0; --i) value = (value << 8) | bytes[at + i - 1];
    return value;
}

CipherKind CipherKindOf(std::uint8_t method) {
    switch (method) {
        case 0:
            return CipherKind::ZipClassic;
        case 1:
            return CipherKind::Aes128;
        case 2:
            return CipherKind::Aes256;
        case 5:
            return CipherKind::Lea128;
        case 6:
            return CipherKind::Lea256;
        default:
            return CipherKind::Unknown;
    }
}

// The encryption header after its size: method, then for ZIP 2.0 the 12-byte header and the CRC whose top byte the
// header decrypts to, for AES and LEA the salt and verifier, then the authentication code.
EntryCipher ParseEncryptionHeader(const std::vector<std::uint8_t>& body) {
    constexpr std::size_t kZipHeader = 12;
    constexpr std::size_t kVerifier = 2;
    constexpr std::size_t kFooter = 10;
    EntryCipher cipher;
    if (body.empty()) {
        cipher.kind = CipherKind::Unknown;
        return cipher;
    }
    cipher.method = body[0];
    cipher.kind = CipherKindOf(body[0]);
    if (cipher.kind == CipherKind::ZipClassic) {
        if (body.size() < 1 + kZipHeader + 4) return cipher;  // a short header refuses every password
        cipher.header.assign(body.begin() + 1, body.begin() + 1 + kZipHeader);
        cipher.checkByte = static_cast<std::uint8_t>(LittleEndianAt(body, 1 + kZipHeader, 4) >> 24);
    } else if (cipher.kind != CipherKind::Unknown) {
        const std::size_t header = SaltLength(cipher.kind) + kVerifier;
        if (body.size() < 1 + header + kFooter) return cipher;
        cipher.header.assign(body.begin() + 1, body.begin() + 1 + header);
        cipher.footer.assign(body.begin() + 1 + header, body.begin() + 1 + header + kFooter);
    }
    return cipher;
}

std::wstring CommentText(const std::vector<std::uint8_t>& body) {
    return Platform::Utf8ToWide(std::string(body.begin(), body.end()));
}

}  // namespace

void EggDecoder::ReadExtraField(std::uint32_t signature, const std::vector<std::uint8_t>& body, ScanState& state) {
    switch (signature) {
        case kEncryptionSignature:
            state.cipher = ParseEncryptionHeader(body);
            break;
        case kGlobalEncryptionSignature:
            state.globalCipher = ParseEncryptionHeader(body);
            break;
        case kCommentSignature:
            // A comment among an entry's fields is the entry's; anywhere else it is the archive's.
            if (state.active) {
                state.item.comment = CommentText(body);
            } else {
                archiveComment_ = CommentText(body);
            }
            break;
        case kPosixFileInfoSignature: {
            // Mode, user, group, then seconds since 1970; the Windows field, when there is one, says it better.
            constexpr std::size_t kPosixLength = 20;
            constexpr std::uint32_t kTypeMask = 0170000;
            constexpr std::uint32_t kTypeFolder = 0040000;
            constexpr std::uint32_t kOwnerWrite = 0200;
            constexpr std::uint64_t kUnixEpochTicks = 116444736000000000ULL;
            if (body.size() < kPosixLength || state.hasWindowsTime) break;
            const auto mode = static_cast<std::uint32_t>(LittleEndianAt(body, 0, 4));
            const std::uint64_t seconds = LittleEndianAt(body, 12, 8);
            std::uint32_t attributes = (mode & kTypeMask) == kTypeFolder ? 0x10u : 0x20u;
            if ((mode & kOwnerWrite) == 0) attributes |= 0x01u;
            state.item.attributes = attributes;
            if (seconds < (UINT64_MAX - kUnixEpochTicks) / 10000000ULL) {
                state.item.modifiedTime = kUnixEpochTicks + seconds * 10000000ULL;
            }
            break;
        }
        default:
            break;
    }
}

void EggDecoder::ListPending(ScanState& state) {
    state.active = false;
    if (state.item.path.empty()) return;
    ArchiveItem item = std::move(state.item);
    item.isDirectory = (item.attributes & kFolderBits) != 0;
    if (solid_) {
        item.size = item.isDirectory ? 0 : state.claimedLength;
        AddSolidEntry(std::move(item));
    } else {
        AddEntryWithoutData(std::move(item));
    }
    const EntryCipher& cipher = state.cipher.kind != CipherKind::None ? state.cipher : state.globalCipher;
    if (cipher.kind != CipherKind::None && !Items().back().isDirectory) SetLastEntryCipher(cipher);
    if (solid_) return;
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
        case 2:
            return Storage::Bzip2;
        case 4:
            return Storage::Lzma;
        default:
            return Storage::Unsupported;
    }
}

std::wstring EggDecoder::MethodName(std::uint8_t method) const {
    // Method 3 is the creating program's own AZO, which is not publicly described.
    if (method == 3) return L"method 3 (AZO)";
    return NativeArchiveDecoder::MethodName(method);
}

}  // namespace Arkova
