#include "support/zip_writer.h"

#include <zlib.h>

#include "support/scratch_folder.h"

namespace Arkova::Testing {

namespace {

constexpr std::uint32_t kMarker32 = 0xFFFFFFFFu;

void PutBytes(Bytes& out, const Bytes& bytes) { out.insert(out.end(), bytes.begin(), bytes.end()); }
void PutText(Bytes& out, const std::string& text) { out.insert(out.end(), text.begin(), text.end()); }

Bytes Zip64Field(const std::vector<std::uint64_t>& values) {
    Bytes field;
    PutLe(field, 0x0001, 2);
    PutLe(field, values.size() * 8, 2);
    for (std::uint64_t value : values) PutLe(field, value, 8);
    return field;
}

}  // namespace

void PutLe(Bytes& out, std::uint64_t value, unsigned width) {
    for (unsigned i = 0; i < width; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

Bytes UnicodeExtraField(std::uint16_t id, const std::string& header, const std::string& utf8,
                        std::optional<std::uint32_t> crc) {
    Bytes field;
    PutLe(field, id, 2);
    PutLe(field, 5 + utf8.size(), 2);
    field.push_back(1);
    auto headerCrc = static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(header.data()), static_cast<uInt>(header.size())));
    PutLe(field, crc.value_or(headerCrc), 4);
    PutText(field, utf8);
    return field;
}

ZipWriter& ZipWriter::Add(const ZipWriterEntry& entry) {
    Bytes data = entry.storedData ? *entry.storedData
                 : entry.method == 8 ? DeflateRaw(entry.content)
                                     : entry.content;
    std::uint32_t crc = entry.crc ? *entry.crc
                                  : static_cast<std::uint32_t>(crc32(0, entry.content.data(),
                                                                     static_cast<uInt>(entry.content.size())));
    std::uint64_t packed = entry.compressedSize.value_or(data.size());
    std::uint64_t unpacked = entry.uncompressedSize.value_or(entry.content.size());
    std::uint64_t offset = bytes_.size();
    std::uint16_t flags = static_cast<std::uint16_t>(entry.flags | (entry.dataDescriptor ? 0x0008 : 0));
    std::uint16_t version = entry.zip64 ? 45 : 20;

    Bytes localExtra = entry.zip64 ? Zip64Field({entry.localUncompressedSize.value_or(unpacked),
                                                 entry.localCompressedSize.value_or(packed)})
                                   : Bytes{};
    std::uint64_t localPacked = entry.dataDescriptor ? 0 : entry.localCompressedSize.value_or(packed);
    std::uint64_t localUnpacked = entry.dataDescriptor ? 0 : entry.localUncompressedSize.value_or(unpacked);
    PutLe(bytes_, 0x04034B50, 4);
    PutLe(bytes_, version, 2);
    PutLe(bytes_, flags, 2);
    PutLe(bytes_, entry.localMethod.value_or(entry.method), 2);
    PutLe(bytes_, entry.dosTime, 2);
    PutLe(bytes_, entry.dosDate, 2);
    PutLe(bytes_, entry.dataDescriptor ? 0 : crc, 4);
    PutLe(bytes_, entry.zip64 ? kMarker32 : localPacked, 4);
    PutLe(bytes_, entry.zip64 ? kMarker32 : localUnpacked, 4);
    PutLe(bytes_, entry.name.size(), 2);
    PutLe(bytes_, localExtra.size(), 2);
    PutText(bytes_, entry.name);
    PutBytes(bytes_, localExtra);
    PutBytes(bytes_, data);
    if (entry.dataDescriptor) {
        PutLe(bytes_, 0x08074B50, 4);
        PutLe(bytes_, crc, 4);
        PutLe(bytes_, packed, entry.zip64 ? 8 : 4);
        PutLe(bytes_, unpacked, entry.zip64 ? 8 : 4);
    }

    Bytes centralExtra = entry.zip64 ? Zip64Field({unpacked, packed, offset}) : Bytes{};
    if (entry.unixTime) {
        PutLe(centralExtra, 0x5455, 2);
        PutLe(centralExtra, 5, 2);
        centralExtra.push_back(1);
        PutLe(centralExtra, static_cast<std::uint32_t>(*entry.unixTime), 4);
    }
    PutBytes(centralExtra, entry.centralExtra);
    PutLe(central_, 0x02014B50, 4);
    PutLe(central_, (static_cast<std::uint16_t>(entry.hostOs) << 8) | version, 2);
    PutLe(central_, version, 2);
    PutLe(central_, flags, 2);
    PutLe(central_, entry.method, 2);
    PutLe(central_, entry.dosTime, 2);
    PutLe(central_, entry.dosDate, 2);
    PutLe(central_, crc, 4);
    PutLe(central_, entry.zip64 ? kMarker32 : packed, 4);
    PutLe(central_, entry.zip64 ? kMarker32 : unpacked, 4);
    PutLe(central_, entry.name.size(), 2);
    PutLe(central_, centralExtra.size(), 2);
    PutLe(central_, entry.comment.size(), 2);
    PutLe(central_, 0, 2);  // disk
    PutLe(central_, 0, 2);  // internal attributes
    PutLe(central_, entry.externalAttributes, 4);
    PutLe(central_, entry.zip64 ? kMarker32 : offset, 4);
    PutText(central_, entry.name);
    PutBytes(central_, centralExtra);
    PutText(central_, entry.comment);
    ++count_;
    return *this;
}

ZipWriter& ZipWriter::File(const std::string& name, const std::string& content, std::uint16_t method) {
    ZipWriterEntry entry;
    entry.name = name;
    entry.content = ToBytes(content);
    entry.method = method;
    return Add(entry);
}

ZipWriter& ZipWriter::Folder(const std::string& name) {
    ZipWriterEntry entry;
    entry.name = name;
    entry.method = 0;
    entry.externalAttributes = 0x10;
    return Add(entry);
}

ZipWriter& ZipWriter::Raw(const Bytes& bytes) {
    PutBytes(bytes_, bytes);
    return *this;
}

ZipWriter& ZipWriter::RawCentral(const Bytes& bytes) {
    PutBytes(central_, bytes);
    return *this;
}

ZipWriter& ZipWriter::Finish(const ZipEnd& end) {
    std::uint64_t offset = end.directoryOffset.value_or(bytes_.size());
    std::uint64_t size = end.directorySize.value_or(central_.size());
    std::uint64_t count = end.entryCount.value_or(count_);
    PutBytes(bytes_, central_);
    if (end.zip64) {
        std::uint64_t recordOffset = bytes_.size();
        PutLe(bytes_, 0x06064B50, 4);
        PutLe(bytes_, 44, 8);
        PutLe(bytes_, 45, 2);
        PutLe(bytes_, 45, 2);
        PutLe(bytes_, 0, 4);
        PutLe(bytes_, 0, 4);
        PutLe(bytes_, count, 8);
        PutLe(bytes_, count, 8);
        PutLe(bytes_, size, 8);
        PutLe(bytes_, offset, 8);
        PutLe(bytes_, 0x07064B50, 4);
        PutLe(bytes_, 0, 4);
        PutLe(bytes_, recordOffset, 8);
        PutLe(bytes_, 1, 4);
    }
    PutLe(bytes_, 0x06054B50, 4);
    PutLe(bytes_, 0, 2);
    PutLe(bytes_, 0, 2);
    PutLe(bytes_, end.zip64 ? 0xFFFF : count, 2);
    PutLe(bytes_, end.zip64 ? 0xFFFF : count, 2);
    PutLe(bytes_, end.zip64 ? kMarker32 : size, 4);
    PutLe(bytes_, end.zip64 ? kMarker32 : offset, 4);
    PutLe(bytes_, end.comment.size(), 2);
    PutText(bytes_, end.comment);
    return *this;
}

bool ZipWriter::WriteTo(const std::wstring& path) const { return WriteBytes(path, bytes_); }

}  // namespace Arkova::Testing
