#include "support/archive_codecs.h"

#include <bzlib.h>
#include <crypto++/aes.h>
#include <crypto++/hmac.h>
#include <crypto++/lea.h>
#include <crypto++/modes.h>
#include <crypto++/pwdbased.h>
#include <crypto++/sha.h>
#include <lzma.h>

#include <algorithm>
#include <stdexcept>

namespace Arkova::Testing {

namespace {

std::uint32_t Crc32Table(std::uint32_t n) {
    std::uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    return c;
}

struct ZipKeys {
    std::uint32_t k[3] = {0x12345678, 0x23456789, 0x34567890};
    static std::uint32_t Step(std::uint32_t crc, std::uint8_t b) { return Crc32Table((crc ^ b) & 0xFF) ^ (crc >> 8); }
    void Update(std::uint8_t plain) {
        k[0] = Step(k[0], plain);
        k[1] = (k[1] + (k[0] & 0xFF)) * 134775813u + 1;
        k[2] = Step(k[2], static_cast<std::uint8_t>(k[1] >> 24));
    }
    std::uint8_t Encrypt(std::uint8_t plain) {
        const std::uint32_t t = (k[2] | 2) & 0xFFFF;
        std::uint8_t out = static_cast<std::uint8_t>(plain ^ ((t * (t ^ 1)) >> 8));
        Update(plain);
        return out;
    }
};

unsigned Bit(const Bytes& data, std::size_t bit) { return (data[bit / 8] >> (7 - bit % 8)) & 1u; }

struct Bits {
    Bytes bytes;
    std::size_t count = 0;
    void Put(std::uint64_t value, unsigned width) {
        for (unsigned i = width; i > 0; --i) {
            if (count % 8 == 0) bytes.push_back(0);
            if ((value >> (i - 1)) & 1u) bytes.back() |= static_cast<std::uint8_t>(0x80u >> (count % 8));
            ++count;
        }
    }
};

}  // namespace

Bytes Bzip2(const Bytes& data) {
    Bytes out(data.size() + data.size() / 100 + 600);
    unsigned length = static_cast<unsigned>(out.size());
    if (BZ2_bzBuffToBuffCompress(reinterpret_cast<char*>(out.data()), &length,
                                 const_cast<char*>(reinterpret_cast<const char*>(data.data())),
                                 static_cast<unsigned>(data.size()), 9, 0, 30) != BZ_OK) {
        throw std::runtime_error("bzip2 compression failed");
    }
    out.resize(length);
    return out;
}

Bytes AlzBzip2(const Bytes& data, std::size_t blockSize) {
    // A one-block standard stream is "BZh9", the 48-bit block magic, the block CRC, the randomisation bit, the
    // block, the 48-bit end magic, the stream CRC and padding. The variant keeps only the block.
    Bits out;
    for (std::size_t at = 0; at < data.size(); at += blockSize) {
        Bytes chunk(data.begin() + static_cast<std::ptrdiff_t>(at),
                    data.begin() + static_cast<std::ptrdiff_t>(std::min(data.size(), at + blockSize)));
        Bytes standard = Bzip2(chunk);
        auto endMagicAt = [&](std::size_t pos) {
            std::uint64_t v = 0;
            for (std::size_t i = 0; i < 48; ++i) v = (v << 1) | Bit(standard, pos + i);
            return v == 0x177245385090ULL;
        };
        std::size_t end = standard.size() * 8 - 80;
        while (!endMagicAt(end)) --end;
        out.Put(0x444C5A01, 32);
        for (std::size_t bit = 32 + 48 + 32 + 1; bit < end; ++bit) out.Put(Bit(standard, bit), 1);
    }
    out.Put(0x444C5A02, 32);
    return out.bytes;
}

Bytes EggLzma(const Bytes& data) {
    lzma_options_lzma options;
    lzma_lzma_preset(&options, 6);
    options.dict_size = 1u << 20;
    lzma_filter filters[2] = {{LZMA_FILTER_LZMA1, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
    std::uint8_t properties[5];
    if (lzma_properties_encode(&filters[0], properties) != LZMA_OK) throw std::runtime_error("lzma properties");
    lzma_stream stream = LZMA_STREAM_INIT;
    if (lzma_raw_encoder(&stream, filters) != LZMA_OK) throw std::runtime_error("lzma encoder");
    Bytes raw(data.size() + data.size() / 2 + 1024);
    stream.next_in = data.data();
    stream.avail_in = data.size();
    stream.next_out = raw.data();
    stream.avail_out = raw.size();
    lzma_ret status = lzma_code(&stream, LZMA_FINISH);
    raw.resize(raw.size() - stream.avail_out);
    lzma_end(&stream);
    if (status != LZMA_STREAM_END) throw std::runtime_error("lzma did not finish");
    Bytes out(4 + 5 + raw.size());
    out[0] = 0x09;  // encoder version
    out[1] = 0x14;
    out[2] = 5;  // properties length
    std::copy(properties, properties + 5, out.begin() + 4);
    std::copy(raw.begin(), raw.end(), out.begin() + 9);
    return out;
}

Bytes ZipClassicEncrypt(const std::string& password, const Bytes& data, std::uint8_t checkByte) {
    ZipKeys keys;
    for (char c : password) keys.Update(static_cast<std::uint8_t>(c));
    Bytes out;
    for (int i = 0; i < 11; ++i) out.push_back(keys.Encrypt(static_cast<std::uint8_t>(i * 37 + 5)));
    out.push_back(keys.Encrypt(checkByte));
    for (std::uint8_t b : data) out.push_back(keys.Encrypt(b));
    return out;
}

Bytes CounterEncrypt(bool lea, unsigned keyBits, const std::string& password, const Bytes& data, Bytes& header,
                     Bytes& footer) {
    const std::size_t keyLength = keyBits / 8;
    const std::size_t saltLength = keyLength / 2;
    header.assign(saltLength, 0);
    for (std::size_t i = 0; i < saltLength; ++i) header[i] = static_cast<std::uint8_t>(0xA0 + i * 3);
    Bytes derived(2 * keyLength + 2);
    CryptoPP::PKCS5_PBKDF2_HMAC<CryptoPP::SHA1>().DeriveKey(derived.data(), derived.size(), 0,
                                                            reinterpret_cast<const CryptoPP::byte*>(password.data()),
                                                            password.size(), header.data(), saltLength, 1000);
    header.insert(header.end(), derived.end() - 2, derived.end());

    Bytes out(data.size());
    if (lea) {
        // The standard counter mode from a zero counter.
        Bytes iv(16, 0);
        CryptoPP::CTR_Mode<CryptoPP::LEA>::Encryption ctr(derived.data(), keyLength, iv.data());
        ctr.ProcessData(out.data(), data.data(), data.size());
    } else {
        // The ZIP AES counter: little-endian, the first block numbered 1.
        CryptoPP::AES::Encryption aes(derived.data(), keyLength);
        std::uint8_t counter[16] = {};
        std::uint8_t stream[16];
        for (std::size_t i = 0; i < data.size(); ++i) {
            if (i % 16 == 0) {
                for (std::size_t j = 0; j < 16 && ++counter[j] == 0; ++j) {
                }
                aes.ProcessBlock(counter, stream);
            }
            out[i] = data[i] ^ stream[i % 16];
        }
    }
    CryptoPP::HMAC<CryptoPP::SHA1> mac(derived.data() + keyLength, keyLength);
    mac.Update(out.data(), out.size());
    std::uint8_t digest[CryptoPP::SHA1::DIGESTSIZE];
    mac.Final(digest);
    footer.assign(digest, digest + 10);
    return out;
}

}  // namespace Arkova::Testing
