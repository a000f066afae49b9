#include "support/egg_writer.h"

#include <zlib.h>

#include "support/archive_codecs.h"
#include "support/scratch_folder.h"

namespace Arkova::Testing {

void EggWriter::Put(std::uint64_t value, unsigned width) {
    for (unsigned i = 0; i < width; ++i) bytes_.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

EggWriter& EggWriter::ArchiveHeader() {
    Raw({'E', 'G', 'G', 'A'});
    Put(0x0100, 2);
    Put(0x5EED1234, 4);
    Put(0, 4);
    return EndMarker();
}

EggWriter& EggWriter::FileHeader(std::uint64_t length, std::uint32_t fileId) {
    Put(kEggFileHeader, 4);
    Put(fileId, 4);
    Put(length, 8);
    return *this;
}

EggWriter& EggWriter::FileName(const std::string& name, std::optional<std::uint16_t> length) {
    Put(kEggFileName, 4);
    Put(0, 1);
    Put(length.value_or(static_cast<std::uint16_t>(name.size())), 2);
    return Raw(ToBytes(name));
}

EggWriter& EggWriter::WindowsFileInfo(std::uint64_t modifiedTime, std::uint8_t attribute, std::uint16_t size) {
    Put(kEggWindowsFileInfo, 4);
    Put(0, 1);
    Put(size, 2);
    if (size < 9) return Raw(Bytes(size, 0xA5));
    Put(modifiedTime, 8);
    Put(attribute, 1);
    return Raw(Bytes(size - 9u, 0x5A));
}

EggWriter& EggWriter::Skipped(std::uint32_t signature, const Bytes& body) {
    Put(signature, 4);
    Put(0, 1);
    Put(body.size(), 2);
    return Raw(body);
}

EggWriter& EggWriter::Block(const EggBlock& block) {
    Bytes stored = block.storedData ? *block.storedData : EggPack(block.content, block.method);
    Put(kEggDataBlock, 4);
    Put(block.method, 1);
    Put(block.method == 1 ? 4 : 0, 1);
    Put(block.size.value_or(static_cast<std::uint32_t>(block.content.size())), 4);
    Put(block.storedLength.value_or(static_cast<std::uint32_t>(stored.size())), 4);
    Put(block.crc.value_or(
            static_cast<std::uint32_t>(crc32(0, block.content.data(), static_cast<uInt>(block.content.size())))),
        4);
    if (block.endMarker) EndMarker();
    return Raw(stored);
}

Bytes EggPack(const Bytes& content, std::uint8_t method) {
    switch (method) {
        case 1:
            return DeflateRaw(content);
        case 2:
            return Bzip2(content);
        case 4:
            return EggLzma(content);
        default:
            return content;
    }
}

EggWriter& EggWriter::Extra(std::uint32_t signature, const Bytes& body) {
    Put(signature, 4);
    Put(0, 1);
    Put(body.size(), 2);
    return Raw(body);
}

EggWriter& EggWriter::EndMarker() {
    Put(kEggEndMarker, 4);
    return *this;
}

EggWriter& EggWriter::Raw(const Bytes& bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}

EggWriter& EggWriter::File(const std::string& name, const std::string& content, std::uint8_t method,
                           std::uint8_t attribute) {
    EggBlock block;
    block.content = ToBytes(content);
    block.method = method;
    FileHeader(content.size(), nextFileId_++).FileName(name).WindowsFileInfo(kEggDefaultTime, attribute).EndMarker();
    return Block(block);
}

EggWriter& EggWriter::SealedFile(const std::string& name, const Bytes& content, std::uint8_t method,
                                 std::uint8_t encryption, const std::string& password) {
    Bytes stored = EggPack(content, method);
    const auto crc = static_cast<std::uint32_t>(crc32(0, content.data(), static_cast<uInt>(content.size())));
    FileHeader(content.size(), nextFileId_++).FileName(name).WindowsFileInfo(kEggDefaultTime, 0x20);
    Bytes body = {encryption};
    if (encryption == 0) {
        Bytes sealed = ZipClassicEncrypt(password, stored, static_cast<std::uint8_t>(crc >> 24));
        body.insert(body.end(), sealed.begin(), sealed.begin() + 12);
        for (int i = 0; i < 4; ++i) body.push_back(static_cast<std::uint8_t>(crc >> (8 * i)));
        stored.assign(sealed.begin() + 12, sealed.end());
    } else {
        Bytes header;
        Bytes footer;
        const bool lea = encryption == 5 || encryption == 6;
        stored = CounterEncrypt(lea, encryption == 1 || encryption == 5 ? 128 : 256, password, stored, header, footer);
        body.insert(body.end(), header.begin(), header.end());
        body.insert(body.end(), footer.begin(), footer.end());
    }
    Extra(kEggEncryption, body).EndMarker();
    EggBlock block;
    block.content = content;
    block.method = method;
    block.storedData = stored;
    return Block(block);
}

EggWriter& EggWriter::Folder(const std::string& name, std::uint8_t attribute) {
    return FileHeader(0, nextFileId_++).FileName(name).WindowsFileInfo(kEggDefaultTime, attribute).EndMarker();
}

bool EggWriter::WriteTo(const std::wstring& path) const { return WriteBytes(path, bytes_); }

}  // namespace Arkova::Testing
