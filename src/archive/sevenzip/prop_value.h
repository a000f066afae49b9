// One PROPVARIANT filled by the library and cleared by the library's own VariantClear, with typed readers that
// accept every width the handlers use (sizes come as VT_UI4 from some, VT_UI8 from others).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "archive/sevenzip/com.h"

namespace Arkova::SevenZip {

class Library;

class PropValue {
public:
    explicit PropValue(const Library& library) : library_(library) {}
    ~PropValue() { Clear(); }
    PropValue(const PropValue&) = delete;
    PropValue& operator=(const PropValue&) = delete;

    // The variant to pass to the library, emptied first.
    PropVariant* Out();
    void Clear();

    bool IsEmpty() const { return value_.vt == kVtEmpty; }
    // Unsigned and non-negative signed integers of any width.
    std::optional<std::uint64_t> Number() const;
    std::optional<bool> Flag() const;
    std::optional<std::uint64_t> FileTime() const;
    std::optional<std::wstring> Text() const;
    // Numbers and texts alike, as the listing shows them.
    std::optional<std::wstring> Rendered() const;
    // The bytes of a binary BSTR (class ids and signatures).
    std::vector<std::uint8_t> Binary() const;

private:
    const Library& library_;
    PropVariant value_{};
};

}  // namespace Arkova::SevenZip
