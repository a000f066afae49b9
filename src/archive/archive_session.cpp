#include "archive/archive_session.h"

#include "archive/sevenzip/bit7z_decoder.h"

namespace Arkova {

std::wstring FileNamePart(const std::wstring& path) {
    std::size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

std::wstring DescribeFailure(const ArchiveContext& context, DecodeResult result) {
    std::wstring text = DecodeResultName(result);
    if (const auto* adapter = dynamic_cast<const Bit7zDecoder*>(context.Decoder())) {
        if (!adapter->LastErrorText().empty()) text += L" (" + adapter->LastErrorText() + L")";
    }
    return text;
}

}  // namespace Arkova
