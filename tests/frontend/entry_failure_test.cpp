// The Korean failure list: every reason and every decoder result reads differently, so no two failures are shown
// alike, and the library's or engine's own text follows the reason.
#include <gtest/gtest.h>

#include <set>

#include "frontend/entry_failure.h"

namespace Arkova {
namespace {

TEST(EntryFailureTest, EveryReasonHasItsOwnKoreanTextAndTheDetailFollows) {
    std::set<std::wstring> texts;
    for (int reason = 0; reason <= static_cast<int>(FailureReason::RemoveStaging); ++reason) {
        if (static_cast<FailureReason>(reason) == FailureReason::Decode) continue;
        texts.insert(FailureReasonTextKorean({L"a.txt", static_cast<FailureReason>(reason), L"", DecodeResult::Ok}));
    }
    for (DecodeResult result :
         {DecodeResult::FileNotFound, DecodeResult::InvalidArchive, DecodeResult::UnsupportedFormat,
          DecodeResult::PasswordRequired, DecodeResult::CrcMismatch, DecodeResult::DecompressFailed,
          DecodeResult::IoError, DecodeResult::InternalError, DecodeResult::Cancelled}) {
        texts.insert(FailureReasonTextKorean({L"a.txt", FailureReason::Decode, L"", result}));
    }
    EXPECT_EQ(texts.size(), 12u + 9u);
    EXPECT_EQ(texts.count(L""), 0u);

    EntryFailure engine{L"a.zip", FailureReason::Engine, L"damaged.txt: CRC mismatch", DecodeResult::Ok};
    std::wstring text = FailureReasonTextKorean(engine);
    EXPECT_NE(text.find(L" (damaged.txt: CRC mismatch)"), std::wstring::npos);
}

}  // namespace
}  // namespace Arkova
