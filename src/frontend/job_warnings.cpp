#include "frontend/job_warnings.h"

namespace Arkova {

std::wstring WarningsMessageKorean(const std::vector<std::wstring>& warnings) {
    std::wstring text =
        L"작업을 마쳤지만 압축 파일에서 경고 " + std::to_wstring(warnings.size()) + L"개가 나왔습니다.\n";
    for (std::size_t i = 0; i < warnings.size() && i < kShownWarnings; ++i) text += L"\n경고: " + warnings[i];
    if (warnings.size() > kShownWarnings) {
        text += L"\n외 " + std::to_wstring(warnings.size() - kShownWarnings) + L"개";
    }
    return text;
}

}  // namespace Arkova
