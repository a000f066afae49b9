// The other halves of the readers' methods and ciphers, for writing test archives: bzip2 (standard and ALZ's
// variant), EGG's LZMA, ZIP 2.0 traditional encryption and the AES/LEA scheme of EGG. Encoders come from the same
// libraries the readers use (libbz2, liblzma, Crypto++); ZIP 2.0 has none, so it is written out here once more, on
// purpose independently of the reader's.
#pragma once

#include <cstdint>
#include <string>

#include "support/alz_writer.h"

namespace Arkova::Testing {

Bytes Bzip2(const Bytes& data);
// ALZ's bzip2: every `blockSize` bytes become one block of the variant stream.
Bytes AlzBzip2(const Bytes& data, std::size_t blockSize = 100 * 1000);
// Version, properties length, LZMA1 properties, raw stream with an end marker.
Bytes EggLzma(const Bytes& data);

// The 12-byte header (whose last byte encrypts `checkByte`) followed by the encrypted data.
Bytes ZipClassicEncrypt(const std::string& password, const Bytes& data, std::uint8_t checkByte);

// AES or LEA as EGG uses them. `keyBits` 128 or 256; `lea` picks the cipher. Returns the encrypted data; `header`
// receives salt and verifier, `footer` the 10-byte authentication code.
Bytes CounterEncrypt(bool lea, unsigned keyBits, const std::string& password, const Bytes& data, Bytes& header,
                     Bytes& footer);

}  // namespace Arkova::Testing
