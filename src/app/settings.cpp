// Until the registry store is in place every read answers "absent", so each reader's default applies.
#include "app/settings.h"

namespace Arkova {

bool ReadDword(const std::wstring&, std::uint32_t&) { return false; }
bool WriteDword(const std::wstring&, std::uint32_t) { return false; }
bool ReadString(const std::wstring&, std::wstring&) { return false; }

bool ReadFlag(const std::wstring& name, bool defaultValue) {
    std::uint32_t value = defaultValue ? 1 : 0;
    return ReadDword(name, value) ? value != 0 : defaultValue;
}

}  // namespace Arkova
