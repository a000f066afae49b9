// The entry names of a RAR 4 volume exactly as it stores them. The library hands back names already turned into
// text with a code page of its own choosing; names stored without a Unicode form are decoded again from these
// bytes with the code page the user chose, like every other format's.
#pragma once

#include <string>
#include <vector>

namespace Arkova::Rar {

struct StoredName {
    std::string bytes;        // the name field up to its first zero byte
    bool hasUnicode = false;  // the field carries a Unicode form after the bytes; the library's text is exact
};

// The names of the volume's file headers in file order. Empty for a file that is not RAR 4, whose headers are
// encrypted, or that cannot be read; the scan stops at the first damaged block, keeping the names before it.
std::vector<StoredName> ReadRar4Names(const std::wstring& volumePath);

}  // namespace Arkova::Rar
