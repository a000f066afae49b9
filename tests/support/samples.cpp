#include "support/samples.h"

#include "platform/file_system.h"
#include "platform/text.h"

namespace Arkova::Testing {

std::wstring SamplePath(const std::wstring& name) {
    std::wstring path = Platform::JoinPath(Platform::Utf8ToWide(ARKOVA_SAMPLES_DIR), name);
    return Platform::PathExists(path) ? path : std::wstring();
}

}  // namespace Arkova::Testing
