#include "support/alz_writer.h"

#include <zlib.h>

#include <stdexcept>

#include "support/archive_codecs.h"
#include "support/scratch_folder.h"

namespace Arkova::Testing {

Bytes ToBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes DeflateRaw(const Bytes& data, int level) {
    z_stream z{};
    if (deflateInit2(&z, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        throw std::runtime_error("deflateInit2 failed");
    }
    Bytes out(deflateBound(&z, static_cast<uLong>(data.size())) + 16);
    z.next_in = const_cast<Bytef*>(data.data());
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    int status = deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    if (status != Z_STREAM_END) throw std::runtime_error("deflate did not finish");
    return out;
}

void AlzWriter::Put(std::uint64_t value, unsigned width) {
    for (unsigned i = 0; i < width; ++i) bytes_.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

AlzWriter& AlzWriter::ArchiveHeader() {
    Raw({'A', 'L', 'Z', 0x01, 0x0A, 0x00, 0x00, 0x00});
    return *this;
}

AlzWriter& AlzWriter::Add(const AlzEntry& entry) {
    Bytes stored = entry.storedData    ? *entry.storedData
                   : entry.method == 2 ? DeflateRaw(entry.content)
                   : entry.method == 1 ? AlzBzip2(entry.content)
                                       : entry.content;
    const std::uint32_t crc = entry.crc.value_or(
        static_cast<std::uint32_t>(crc32(0, entry.content.data(), static_cast<uInt>(entry.content.size()))));
    Bytes encryptionHeader(12, 0xEE);
    if (entry.encrypted && !entry.password.empty()) {
        Bytes sealed = ZipClassicEncrypt(entry.password, stored, static_cast<std::uint8_t>(crc >> 24));
        encryptionHeader.assign(sealed.begin(), sealed.begin() + 12);
        stored.assign(sealed.begin() + 12, sealed.end());
    }
    Raw({'B', 'L', 'Z', 0x01});
    Put(entry.nameLength.value_or(static_cast<std::uint16_t>(entry.name.size())), 2);
    Put(entry.attribute, 1);
    Put(entry.dosDateTime, 4);
    Put(static_cast<std::uint8_t>((entry.sizeWidth << 4) | (entry.encrypted ? 1 : 0)), 1);
    Put(0, 1);
    if (entry.sizeWidth != 0) {
        Put(entry.method, 1);
        Put(0, 1);
        Put(crc, 4);
        unsigned w = entry.sizeWidth;
        if (w == 1 || w == 2 || w == 4 || w == 8) {
            Put(entry.packedSize.value_or(stored.size()), w);
            Put(entry.unpackedSize.value_or(entry.content.size()), w);
        }
    }
    Raw(ToBytes(entry.name));
    if (entry.encrypted) Raw(encryptionHeader);
    Raw(stored);
    return *this;
}

AlzWriter& AlzWriter::File(const std::string& name, const std::string& content, std::uint8_t method) {
    AlzEntry entry;
    entry.name = name;
    entry.content = ToBytes(content);
    entry.method = method;
    return Add(entry);
}

AlzWriter& AlzWriter::Folder(const std::string& name) {
    AlzEntry entry;
    entry.name = name;
    entry.attribute = 0x10;
    entry.sizeWidth = 0;
    entry.method = 0;
    return Add(entry);
}

AlzWriter& AlzWriter::Raw(const Bytes& bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}

bool AlzWriter::WriteTo(const std::wstring& path) const { return WriteBytes(path, bytes_); }

}  // namespace Arkova::Testing
