#include "archive/sevenzip/library.h"

#include <cstring>

#include "archive/sevenzip/error.h"
#include "archive/sevenzip/prop_value.h"
#include "platform/file_system.h"
#include "platform/text.h"

namespace Arkova::SevenZip {

bool operator==(const Guid& a, const Guid& b) {
    return a.data1 == b.data1 && a.data2 == b.data2 && a.data3 == b.data3 &&
           std::memcmp(a.data4, b.data4, sizeof(a.data4)) == 0;
}

namespace {

[[noreturn]] void Unavailable(const std::wstring& path, const std::string& why) {
    throw Error(ErrorKind::LibraryUnavailable,
                "the 7-Zip library " + Platform::WideToUtf8(path) + " cannot be used: " + why);
}

// A multi-signature value is a run of records: one length byte, then that many signature bytes.
std::vector<std::vector<std::uint8_t>> SplitSignatures(const std::vector<std::uint8_t>& bytes) {
    std::vector<std::vector<std::uint8_t>> signatures;
    std::size_t at = 0;
    while (at < bytes.size()) {
        std::size_t length = bytes[at++];
        if (length == 0 || length > bytes.size() - at) break;
        signatures.emplace_back(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                                bytes.begin() + static_cast<std::ptrdiff_t>(at + length));
        at += length;
    }
    return signatures;
}

}  // namespace

Library::Library(const std::wstring& path) : path_(path) {
    if (!library_.Load(path)) Unavailable(path, Platform::WideToUtf8(library_.ErrorText()));
    ResolveFunctions();
    CheckInterfaceLayout();
    ReadFormats();
}

void Library::ResolveFunctions() {
    using Platform::SymbolAs;
    createObject_ = SymbolAs<CreateObjectFunction>(library_, "CreateObject");
    numberOfFormats_ = SymbolAs<GetNumberOfFormatsFunction>(library_, "GetNumberOfFormats");
    handlerProperty_ = SymbolAs<GetHandlerProperty2Function>(library_, "GetHandlerProperty2");
    if (createObject_ == nullptr || numberOfFormats_ == nullptr || handlerProperty_ == nullptr) {
        Unavailable(path_, "it does not export CreateObject, GetNumberOfFormats and GetHandlerProperty2");
    }
    // Off Windows the library brings its own BSTR heap; on Windows it uses the system's.
    const Platform::SharedLibrary* strings = &library_;
#ifdef _WIN32
    if (library_.Symbol("SysAllocStringLen") == nullptr) {
        if (!oleAutomation_.Load(L"oleaut32.dll")) Unavailable(path_, "oleaut32.dll cannot be loaded");
        strings = &oleAutomation_;
    }
#endif
    allocString_ = SymbolAs<SysAllocStringLenFunction>(*strings, "SysAllocStringLen");
    freeString_ = SymbolAs<SysFreeStringFunction>(*strings, "SysFreeString");
    stringLength_ = SymbolAs<StringLengthFunction>(*strings, "SysStringLen");
    stringByteLength_ = SymbolAs<StringLengthFunction>(*strings, "SysStringByteLen");
    variantClear_ = SymbolAs<VariantClearFunction>(*strings, "VariantClear");
    if (allocString_ == nullptr || freeString_ == nullptr || stringLength_ == nullptr || stringByteLength_ == nullptr ||
        variantClear_ == nullptr) {
        Unavailable(path_, "its string functions (SysAllocStringLen, SysFreeString, VariantClear) are missing");
    }
}

void Library::CheckInterfaceLayout() const {
    auto moduleProperty = Platform::SymbolAs<GetModulePropFunction>(library_, "GetModuleProp");
    if (moduleProperty == nullptr) {
#ifndef _WIN32
        // Builds without GetModuleProp are old p7zip ones, whose IUnknown has a virtual destructor.
        Unavailable(path_, "it is an old build without GetModuleProp, whose interface layout differs");
#endif
        return;
    }
    PropVariant value{};
    if (moduleProperty(kModuleInterfaceType, &value) != kOk) return;
    if (value.vt == kVtUi4 && value.ui4 != 0) {
        Unavailable(path_, "its interfaces carry a virtual destructor, so their method slots differ from ours");
    }
}

void Library::ReadFormats() {
    std::uint32_t count = 0;
    if (numberOfFormats_(&count) != kOk) Unavailable(path_, "it does not list its formats");
    for (std::uint32_t i = 0; i < count; ++i) {
        FormatInfo format;
        format.index = i;
        PropValue value(*this);
        if (handlerProperty_(i, kHandlerClassId, value.Out()) != kOk) continue;
        std::vector<std::uint8_t> id = value.Binary();
        if (id.size() != sizeof(Guid)) continue;
        std::memcpy(&format.classId, id.data(), sizeof(Guid));
        if (handlerProperty_(i, kHandlerName, value.Out()) == kOk) format.name = value.Text().value_or(L"");
        if (handlerProperty_(i, kHandlerExtension, value.Out()) == kOk) {
            format.extensions = value.Text().value_or(L"");
        }
        if (handlerProperty_(i, kHandlerSignature, value.Out()) == kOk) {
            std::vector<std::uint8_t> signature = value.Binary();
            if (!signature.empty()) format.signatures.push_back(std::move(signature));
        }
        if (handlerProperty_(i, kHandlerMultiSignature, value.Out()) == kOk) {
            for (auto& signature : SplitSignatures(value.Binary())) format.signatures.push_back(std::move(signature));
        }
        if (handlerProperty_(i, kHandlerSignatureOffset, value.Out()) == kOk) {
            format.signatureOffset = static_cast<std::uint32_t>(value.Number().value_or(0));
        }
        if (handlerProperty_(i, kHandlerFlags, value.Out()) == kOk) {
            format.flags = static_cast<std::uint32_t>(value.Number().value_or(0));
        }
        formats_.push_back(std::move(format));
    }
}

const FormatInfo* Library::FindFormat(std::uint8_t formatId) const {
    Guid classId = FormatClassId(formatId);
    for (const FormatInfo& format : formats_) {
        if (format.classId == classId) return &format;
    }
    return nullptr;
}

ComPtr<IInArchive> Library::CreateArchive(const FormatInfo& format) const {
    ComPtr<IInArchive> archive;
    if (createObject_(&format.classId, &kIidInArchive, archive.OutAddress()) != kOk) archive.Reset();
    return archive;
}

Bstr Library::AllocateString(std::wstring_view units) const {
    return allocString_(units.data(), static_cast<std::uint32_t>(units.size()));
}

void Library::FreeString(Bstr text) const {
    if (text != nullptr) freeString_(text);
}

std::uint32_t Library::StringLength(Bstr text) const { return text != nullptr ? stringLength_(text) : 0; }

std::uint32_t Library::StringByteLength(Bstr text) const { return text != nullptr ? stringByteLength_(text) : 0; }

void Library::ClearVariant(PropVariant& value) const { variantClear_(&value); }

std::wstring DefaultLibraryPath() {
    std::wstring executable = Platform::ExecutablePath();
    std::size_t separator = Platform::LastSeparator(executable);
    std::wstring folder = separator == std::wstring::npos ? std::wstring() : executable.substr(0, separator + 1);
#ifdef _WIN32
    return folder.empty() ? std::wstring() : folder + L"7zip.dll";
#else
    if (!folder.empty() && Platform::PathExists(folder + L"7z.so")) return folder + L"7z.so";
    return L"/usr/lib/p7zip/7z.so";
#endif
}

}  // namespace Arkova::SevenZip
