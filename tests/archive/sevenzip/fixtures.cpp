#include "fixtures.h"

#include <cstdio>

#include "platform/file_system.h"
#include "platform/text.h"

namespace Arkova::Testing {

std::wstring FixturePath(const std::wstring& name) {
    std::wstring path = Platform::JoinPath(Platform::Utf8ToWide(ARKOVA_SEVENZIP_FIXTURES), name);
    return Platform::PathExists(path) ? path : std::wstring();
}

std::string BigFileText() {
    std::string text;
    char line[64];
    for (int i = 1; i <= 20000; ++i) {
        std::snprintf(line, sizeof(line), "line %06d of the big file\n", i);
        text += line;
    }
    return text;
}

}  // namespace Arkova::Testing
