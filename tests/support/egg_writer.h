// Writes EGG archives block by block for tests: every block kind in any order, including what no real archiver
// makes (short and long file information, blocks without the end marker, lying sizes, truncation).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "support/alz_writer.h"

namespace Arkova::Testing {

inline constexpr std::uint32_t kEggFileHeader = 0x0A8590E3;
inline constexpr std::uint32_t kEggFileName = 0x0A8591AC;
inline constexpr std::uint32_t kEggWindowsFileInfo = 0x2C86950B;
inline constexpr std::uint32_t kEggComment = 0x04C63672;
// The two other kinds of flags + size + body that a reader skips.
inline constexpr std::uint32_t kEggSkippedKinds[] = {0x24F5A262, 0x24E5A060, kEggComment};
inline constexpr std::uint32_t kEggDataBlock = 0x02B50C13;
inline constexpr std::uint32_t kEggEndMarker = 0x08E28222;
inline constexpr std::uint32_t kEggEncryption = 0x08D1470F;
inline constexpr std::uint32_t kEggGlobalEncryption = 0x08D144A8;
inline constexpr std::uint32_t kEggPosixFileInfo = 0x1EE922E5;

// A block's data as the method packs it: 0 stored, 1 deflate, 2 bzip2, 4 LZMA; others as given.
Bytes EggPack(const Bytes& content, std::uint8_t method);

// 2023-11-05 10:20:30 UTC as a FILETIME.
inline constexpr std::uint64_t kEggDefaultTime = 133436532300000000ULL;

struct EggBlock {
    Bytes content;            // the unpacked data
    std::uint8_t method = 1;  // 0 stored, 1 deflate, 2 bzip2, 4 LZMA; anything else is written as given
    bool endMarker = true;    // the end marker between the header and the data, as the creating program writes it
    // What the header claims and what follows it; by default computed from `content` and `method`.
    std::optional<std::uint32_t> crc;
    std::optional<std::uint32_t> size;
    std::optional<std::uint32_t> storedLength;
    std::optional<Bytes> storedData;
};

class EggWriter {
public:
    // "EGGA", version, header id, reserved, then the end marker as real archives have it.
    EggWriter& ArchiveHeader();
    EggWriter& FileHeader(std::uint64_t length, std::uint32_t fileId = 0);
    // `length` overrides the stored name length (the name bytes are written as given).
    EggWriter& FileName(const std::string& name, std::optional<std::uint16_t> length = {});
    // Size 9 holds time and attribute; a larger size pads with bytes, a smaller one writes that many filler bytes.
    EggWriter& WindowsFileInfo(std::uint64_t modifiedTime, std::uint8_t attribute, std::uint16_t size = 9);
    EggWriter& Skipped(std::uint32_t signature, const Bytes& body);
    // Any extra field: signature, flags 0, 2-byte size, body (an encryption header, a comment, ...).
    EggWriter& Extra(std::uint32_t signature, const Bytes& body);
    EggWriter& Block(const EggBlock& block);
    EggWriter& EndMarker();
    // Appends bytes as they are (an unknown signature, a damaged tail).
    EggWriter& Raw(const Bytes& bytes);

    // An entry as the creating program writes it: file header, name, information, end marker, one block.
    EggWriter& File(const std::string& name, const std::string& content, std::uint8_t method = 1,
                    std::uint8_t attribute = 0);
    // An entry packed with `method` and encrypted with the format's encryption method (0 ZIP 2.0, 1 AES-128,
    // 2 AES-256, 5 LEA-128, 6 LEA-256), its encryption header among its fields.
    EggWriter& SealedFile(const std::string& name, const Bytes& content, std::uint8_t method, std::uint8_t encryption,
                          const std::string& password);
    // A folder as the creating program writes it: no data block, attribute 0x80.
    EggWriter& Folder(const std::string& name, std::uint8_t attribute = 0x80);

    const Bytes& Data() const { return bytes_; }
    bool WriteTo(const std::wstring& path) const;

private:
    void Put(std::uint64_t value, unsigned width);
    std::uint32_t nextFileId_ = 0;
    Bytes bytes_;
};

}  // namespace Arkova::Testing
