// Decryption of ALZ and EGG entry data: ZIP 2.0 traditional encryption ("KeyBase"), and AES or LEA in the scheme
// the EGG format document gives (salt and 2-byte verifier in the encryption header, PBKDF2-HMAC-SHA1 key derivation
// with 1000 rounds, counter mode, a 10-byte HMAC-SHA1 authentication code). The block ciphers, SHA-1, HMAC and
// PBKDF2 are Crypto++'s. One decryptor per entry, used by one thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Arkova {

enum class CipherKind : std::uint8_t { None, ZipClassic, Aes128, Aes256, Lea128, Lea256, Unknown };

// How one entry is encrypted, as its headers say.
struct EntryCipher {
    CipherKind kind = CipherKind::None;
    std::uint8_t method = 0;           // the format's own method number, for messages about unknown ones
    std::vector<std::uint8_t> header;  // ZIP 2.0: the 12-byte encryption header; AES/LEA: salt and verifier
    std::uint8_t checkByte = 0;        // ZIP 2.0: what the header's last byte decrypts to
    std::vector<std::uint8_t> footer;  // AES/LEA: the 10-byte authentication code
};

// The salt length of an AES or LEA entry (its header is the salt and 2 verifier bytes); 0 for other kinds.
std::size_t SaltLength(CipherKind kind);

class EntryDecryptor {
public:
    virtual ~EntryDecryptor() = default;
    // Decrypts in place; the entry's bytes go through in order, in any pieces.
    virtual void Decrypt(std::uint8_t* data, std::size_t length) = 0;
    // After the last byte: false when the authentication code does not match (the data was changed).
    virtual bool Authentic() { return true; }
};

enum class DecryptorStatus { Ready, WrongPassword, Unsupported };

// A decryptor for the entry, or WrongPassword when the header's check refuses the password (no data is needed for
// that), or Unsupported for a cipher this program does not have.
DecryptorStatus MakeDecryptor(const EntryCipher& cipher, const std::string& password,
                              std::unique_ptr<EntryDecryptor>& decryptor);

// The raw block ciphers, exposed for known-answer tests: one 16-byte block with a 16- or 32-byte key.
bool EncryptAesBlock(const std::uint8_t* key, std::size_t keyLength, const std::uint8_t* in, std::uint8_t* out);
bool EncryptLeaBlock(const std::uint8_t* key, std::size_t keyLength, const std::uint8_t* in, std::uint8_t* out);

}  // namespace Arkova
