#include "archive/crypto/entry_cipher.h"

#include <crypto++/aes.h>
#include <crypto++/hmac.h>
#include <crypto++/lea.h>
#include <crypto++/pwdbased.h>
#include <crypto++/sha.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace Arkova {

namespace {

constexpr std::size_t kZipHeaderLength = 12;
constexpr std::size_t kVerifierLength = 2;
constexpr std::size_t kAuthenticationLength = 10;
constexpr unsigned kKeyIterations = 1000;
constexpr std::size_t kBlock = 16;

// ZIP 2.0 traditional encryption: three keys stirred by every plain byte. There is no library for it.
class ZipClassicDecryptor : public EntryDecryptor {
public:
    explicit ZipClassicDecryptor(const std::string& password) : table_(get_crc_table()) {
        for (char c : password) Update(static_cast<std::uint8_t>(c));
    }
    void Decrypt(std::uint8_t* data, std::size_t length) override {
        for (std::size_t i = 0; i < length; ++i) {
            std::uint8_t plain = static_cast<std::uint8_t>(data[i] ^ KeyByte());
            Update(plain);
            data[i] = plain;
        }
    }

private:
    std::uint32_t CrcStep(std::uint32_t crc, std::uint8_t byte) const {
        return static_cast<std::uint32_t>(table_[(crc ^ byte) & 0xFF]) ^ (crc >> 8);
    }
    void Update(std::uint8_t plain) {
        keys_[0] = CrcStep(keys_[0], plain);
        keys_[1] = (keys_[1] + (keys_[0] & 0xFF)) * 134775813u + 1;
        keys_[2] = CrcStep(keys_[2], static_cast<std::uint8_t>(keys_[1] >> 24));
    }
    std::uint8_t KeyByte() const {
        // In unsigned arithmetic: the product of two 16-bit values overflows an int.
        const std::uint32_t t = (keys_[2] | 2) & 0xFFFF;
        return static_cast<std::uint8_t>((t * (t ^ 1)) >> 8);
    }

    const z_crc_t* table_;
    std::uint32_t keys_[3] = {0x12345678, 0x23456789, 0x34567890};
};

// How the counter of counter mode runs: AES entries count little-endian from 1, as in the ZIP AES scheme; LEA
// entries count big-endian from 0, as the standard counter mode does.
enum class Counter { LittleEndianFromOne, BigEndianFromZero };

// Counter mode over a 128-bit block cipher, and HMAC-SHA1 over the encrypted bytes. The counter is kept here
// because Crypto++'s counter mode has no little-endian form.
template <typename Cipher>
class CounterModeDecryptor : public EntryDecryptor {
public:
    CounterModeDecryptor(const std::uint8_t* key, std::size_t keyLength, const std::uint8_t* macKey,
                         std::vector<std::uint8_t> expected, Counter counter)
        : mac_(macKey, keyLength), expected_(std::move(expected)), counting_(counter) {
        cipher_.SetKey(key, keyLength);
    }
    void Decrypt(std::uint8_t* data, std::size_t length) override {
        mac_.Update(data, length);
        for (std::size_t i = 0; i < length; ++i) {
            if (used_ == kBlock) NextKeyStream();
            data[i] ^= stream_[used_++];
        }
    }
    bool Authentic() override {
        std::array<std::uint8_t, CryptoPP::SHA1::DIGESTSIZE> digest{};
        mac_.Final(digest.data());
        return expected_.size() == kAuthenticationLength &&
               std::equal(expected_.begin(), expected_.end(), digest.begin());
    }

private:
    void NextKeyStream() {
        if (counting_ == Counter::LittleEndianFromOne) {
            for (std::size_t i = 0; i < kBlock && ++counter_[i] == 0; ++i) {
            }
        }
        cipher_.ProcessBlock(counter_.data(), stream_.data());
        if (counting_ == Counter::BigEndianFromZero) {
            for (std::size_t i = kBlock; i > 0 && ++counter_[i - 1] == 0; --i) {
            }
        }
        used_ = 0;
    }

    typename Cipher::Encryption cipher_;
    CryptoPP::HMAC<CryptoPP::SHA1> mac_;
    std::vector<std::uint8_t> expected_;
    std::array<std::uint8_t, kBlock> counter_{};
    std::array<std::uint8_t, kBlock> stream_{};
    std::size_t used_ = kBlock;
    Counter counting_;
};

std::size_t KeyLength(CipherKind kind) {
    switch (kind) {
        case CipherKind::Aes128:
        case CipherKind::Lea128:
            return 16;
        case CipherKind::Aes256:
        case CipherKind::Lea256:
            return 32;
        default:
            return 0;
    }
}

template <typename Cipher>
bool EncryptBlock(const std::uint8_t* key, std::size_t keyLength, const std::uint8_t* in, std::uint8_t* out) {
    if (keyLength != 16 && keyLength != 32) return false;
    typename Cipher::Encryption cipher;
    cipher.SetKey(key, keyLength);
    cipher.ProcessBlock(in, out);
    return true;
}

}  // namespace

std::size_t SaltLength(CipherKind kind) { return KeyLength(kind) / 2; }

DecryptorStatus MakeDecryptor(const EntryCipher& cipher, const std::string& password,
                              std::unique_ptr<EntryDecryptor>& decryptor) {
    decryptor.reset();
    if (cipher.kind == CipherKind::ZipClassic) {
        if (cipher.header.size() != kZipHeaderLength) return DecryptorStatus::WrongPassword;
        auto zip = std::make_unique<ZipClassicDecryptor>(password);
        std::uint8_t header[kZipHeaderLength];
        std::memcpy(header, cipher.header.data(), kZipHeaderLength);
        zip->Decrypt(header, kZipHeaderLength);
        if (header[kZipHeaderLength - 1] != cipher.checkByte) return DecryptorStatus::WrongPassword;
        decryptor = std::move(zip);
        return DecryptorStatus::Ready;
    }
    const std::size_t keyLength = KeyLength(cipher.kind);
    if (keyLength == 0) return DecryptorStatus::Unsupported;
    const std::size_t saltLength = SaltLength(cipher.kind);
    if (cipher.header.size() != saltLength + kVerifierLength) return DecryptorStatus::WrongPassword;

    std::vector<std::uint8_t> derived(2 * keyLength + kVerifierLength);
    CryptoPP::PKCS5_PBKDF2_HMAC<CryptoPP::SHA1> kdf;
    kdf.DeriveKey(derived.data(), derived.size(), 0, reinterpret_cast<const CryptoPP::byte*>(password.data()),
                  password.size(), cipher.header.data(), saltLength, kKeyIterations);
    if (!std::equal(derived.end() - kVerifierLength, derived.end(), cipher.header.begin() + saltLength)) {
        return DecryptorStatus::WrongPassword;
    }
    const std::uint8_t* key = derived.data();
    const std::uint8_t* macKey = derived.data() + keyLength;
    if (cipher.kind == CipherKind::Aes128 || cipher.kind == CipherKind::Aes256) {
        decryptor = std::make_unique<CounterModeDecryptor<CryptoPP::AES>>(key, keyLength, macKey, cipher.footer,
                                                                          Counter::LittleEndianFromOne);
    } else {
        decryptor = std::make_unique<CounterModeDecryptor<CryptoPP::LEA>>(key, keyLength, macKey, cipher.footer,
                                                                          Counter::BigEndianFromZero);
    }
    return DecryptorStatus::Ready;
}

bool EncryptAesBlock(const std::uint8_t* key, std::size_t keyLength, const std::uint8_t* in, std::uint8_t* out) {
    return EncryptBlock<CryptoPP::AES>(key, keyLength, in, out);
}

bool EncryptLeaBlock(const std::uint8_t* key, std::size_t keyLength, const std::uint8_t* in, std::uint8_t* out) {
    return EncryptBlock<CryptoPP::LEA>(key, keyLength, in, out);
}

}  // namespace Arkova
