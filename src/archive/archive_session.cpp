#include "archive/archive_session.h"

namespace Arkova {

std::wstring FileNamePart(const std::wstring& path) {
    std::size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

std::wstring DescribeFailure(const ArchiveContext& context, DecodeResult result) {
    std::wstring text = DecodeResultName(result);
    if (context.Decoder() != nullptr) {
        std::wstring detail = context.Decoder()->LastErrorText();
        if (!detail.empty()) text += L" (" + detail + L")";
    }
    return text;
}

}  // namespace Arkova
