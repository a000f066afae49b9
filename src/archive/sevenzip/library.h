// The loaded 7-Zip shared library: its exported functions, its table of format handlers, and the string and
// PROPVARIANT functions of its own heap. Immutable after construction; shared by the readers made from it, which
// keep it alive.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "archive/sevenzip/com.h"
#include "archive/sevenzip/com_object.h"
#include "platform/shared_library.h"

namespace Arkova::SevenZip {

struct FormatInfo {
    std::uint32_t index = 0;  // the handler's number in the library
    std::wstring name;        // "zip", "7z", "Rar5", ...
    Guid classId{};
    std::wstring extensions;  // space separated, as the library lists them
    std::vector<std::vector<std::uint8_t>> signatures;
    std::uint32_t signatureOffset = 0;
    std::uint32_t flags = 0;
};

class Library {
public:
    // Loads the library and reads its format table; Error(LibraryUnavailable) when it is missing, lacks the
    // functions we need, or declares an IUnknown with a virtual destructor (old p7zip builds), whose method slots
    // differ from the ones we call.
    explicit Library(const std::wstring& path);
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    const std::wstring& Path() const { return path_; }
    const std::vector<FormatInfo>& Formats() const { return formats_; }
    // The handler with the class of that one-byte format id, or nullptr.
    const FormatInfo* FindFormat(std::uint8_t formatId) const;
    // A fresh archive object of the handler; empty when the library refuses to make one.
    ComPtr<IInArchive> CreateArchive(const FormatInfo& format) const;

    // Strings that cross into the library are made by its own allocator, from UTF-16 code units.
    Bstr AllocateString(std::wstring_view units) const;
    void FreeString(Bstr text) const;
    std::uint32_t StringLength(Bstr text) const;      // in code units
    std::uint32_t StringByteLength(Bstr text) const;  // for binary values (class ids, signatures)
    void ClearVariant(PropVariant& value) const;

private:
    void ResolveFunctions();
    void CheckInterfaceLayout() const;
    void ReadFormats();

    std::wstring path_;
    Platform::SharedLibrary library_;
    Platform::SharedLibrary oleAutomation_;  // Windows: where the string functions live when the library lacks them
    CreateObjectFunction createObject_ = nullptr;
    GetNumberOfFormatsFunction numberOfFormats_ = nullptr;
    GetHandlerProperty2Function handlerProperty_ = nullptr;
    SysAllocStringLenFunction allocString_ = nullptr;
    SysFreeStringFunction freeString_ = nullptr;
    using StringLengthFunction = std::uint32_t(ARKOVA_COM_CALL*)(Bstr text);
    StringLengthFunction stringLength_ = nullptr;
    StringLengthFunction stringByteLength_ = nullptr;
    VariantClearFunction variantClear_ = nullptr;
    std::vector<FormatInfo> formats_;
};

// The path used when none is configured: beside the executable ("7zip.dll" on Windows, "7z.so" elsewhere), and
// off Windows /usr/lib/p7zip/7z.so when nothing is there.
std::wstring DefaultLibraryPath();

}  // namespace Arkova::SevenZip
