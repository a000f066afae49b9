#include "archive/sevenzip/prop_value.h"

#include "archive/sevenzip/library.h"
#include "archive/sevenzip/library_text.h"

namespace Arkova::SevenZip {

PropVariant* PropValue::Out() {
    Clear();
    return &value_;
}

void PropValue::Clear() {
    if (value_.vt != kVtEmpty) library_.ClearVariant(value_);
    value_ = PropVariant{};
}

std::optional<std::uint64_t> PropValue::Number() const {
    switch (value_.vt) {
        case kVtUi1:
            return value_.ui1;
        case kVtUi2:
            return value_.ui2;
        case kVtUi4:
        case kVtUint:
            return value_.ui4;
        case kVtUi8:
            return value_.ui8;
        case kVtI2:
            if (value_.i2 >= 0) return static_cast<std::uint64_t>(value_.i2);
            break;
        case kVtI4:
        case kVtInt:
            if (value_.i4 >= 0) return static_cast<std::uint64_t>(value_.i4);
            break;
        case kVtI8:
            if (value_.i8 >= 0) return static_cast<std::uint64_t>(value_.i8);
            break;
        default:
            break;
    }
    return std::nullopt;
}

std::optional<bool> PropValue::Flag() const {
    if (value_.vt != kVtBool) return std::nullopt;
    return value_.boolValue != 0;
}

std::optional<std::uint64_t> PropValue::FileTime() const {
    if (value_.vt != kVtFileTime) return std::nullopt;
    return (static_cast<std::uint64_t>(value_.fileTime.high) << 32) | value_.fileTime.low;
}

std::optional<std::wstring> PropValue::Text() const {
    if (value_.vt != kVtBstr) return std::nullopt;
    if (value_.bstr == nullptr) return std::wstring();
    return FromLibraryUnits(value_.bstr, library_.StringLength(value_.bstr));
}

std::optional<std::wstring> PropValue::Rendered() const {
    if (auto text = Text()) return text;
    if (auto number = Number()) return std::to_wstring(*number);
    if (auto flag = Flag()) return std::wstring(*flag ? L"+" : L"-");
    return std::nullopt;
}

std::vector<std::uint8_t> PropValue::Binary() const {
    if (value_.vt != kVtBstr || value_.bstr == nullptr) return {};
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(value_.bstr);
    return std::vector<std::uint8_t>(bytes, bytes + library_.StringByteLength(value_.bstr));
}

}  // namespace Arkova::SevenZip
