// The COM-style interfaces of the 7-Zip shared library, declared from its published interface definitions: the
// identifiers, the method order of each interface, and the item and handler property numbers that we use.
// Every interface derives from IUnknown without a virtual destructor, as the library's own build does (Library
// checks this before using it). Strings are BSTRs of UTF-16 code units, one per wchar_t, made and freed by the
// library's own functions.
#pragma once

#include <cstdint>

namespace Arkova::SevenZip {

#if defined(_WIN32) && !defined(_WIN64)
#define ARKOVA_COM_CALL __stdcall
#else
#define ARKOVA_COM_CALL
#endif

using HResult = std::int32_t;
using PropId = std::uint32_t;
using OleChar = wchar_t;
using Bstr = OleChar*;

inline constexpr HResult kOk = 0;
inline constexpr HResult kFalse = 1;
inline constexpr HResult kNotImplemented = static_cast<HResult>(0x80004001u);
inline constexpr HResult kNoInterface = static_cast<HResult>(0x80004002u);
inline constexpr HResult kAbort = static_cast<HResult>(0x80004004u);
inline constexpr HResult kFail = static_cast<HResult>(0x80004005u);
inline constexpr HResult kOutOfMemory = static_cast<HResult>(0x8007000Eu);
inline constexpr HResult kInvalidArgument = static_cast<HResult>(0x80070057u);

struct Guid {
    std::uint32_t data1;
    std::uint16_t data2;
    std::uint16_t data3;
    std::uint8_t data4[8];
};
bool operator==(const Guid& a, const Guid& b);

// An interface of the library: group and number inside {23170F69-40C1-278A-0000-000GG00NN0000}.
constexpr Guid InterfaceId(std::uint8_t group, std::uint8_t number) {
    return {0x23170F69, 0x40C1, 0x278A, {0, 0, 0, group, 0, number, 0, 0}};
}
// The class of an archive format handler: {23170F69-40C1-278A-1000-000110FF0000} with the format's one-byte id.
constexpr Guid FormatClassId(std::uint8_t formatId) {
    return {0x23170F69, 0x40C1, 0x278A, {0x10, 0, 0, 0x01, 0x10, formatId, 0, 0}};
}

enum VarType : std::uint16_t {
    kVtEmpty = 0,
    kVtI2 = 2,
    kVtI4 = 3,
    kVtBstr = 8,
    kVtBool = 11,
    kVtUi1 = 17,
    kVtUi2 = 18,
    kVtUi4 = 19,
    kVtI8 = 20,
    kVtUi8 = 21,
    kVtInt = 22,
    kVtUint = 23,
    kVtFileTime = 64,
};

// The members of PropVariant's union that are records of their own.
struct FileTimeParts {
    std::uint32_t low;
    std::uint32_t high;
};
struct CountedArray {
    std::uint32_t count;
    void* elements;
};

// PROPVARIANT: 16 bytes where the library's build has no vector members (Linux), 24 on Windows x64.
struct PropVariant {
    std::uint16_t vt;
    std::uint16_t reserved1;
    std::uint16_t reserved2;
    std::uint16_t reserved3;
    union {
        std::int16_t boolValue;  // VARIANT_TRUE is -1
        std::int16_t i2;
        std::int32_t i4;
        std::uint8_t ui1;
        std::uint16_t ui2;
        std::uint32_t ui4;
        std::int64_t i8;
        std::uint64_t ui8;
        Bstr bstr;
        FileTimeParts fileTime;
#ifdef _WIN32
        CountedArray vector;
#endif
    };
};
#ifdef _WIN32
static_assert(sizeof(void*) != 8 || sizeof(PropVariant) == 24);
#else
static_assert(sizeof(PropVariant) == 16);
#endif

class IUnknown {
public:
    virtual HResult ARKOVA_COM_CALL QueryInterface(const Guid& iid, void** object) = 0;
    virtual std::uint32_t ARKOVA_COM_CALL AddRef() = 0;
    virtual std::uint32_t ARKOVA_COM_CALL Release() = 0;

protected:
    ~IUnknown() = default;
};

class ISequentialInStream : public IUnknown {
public:
    virtual HResult ARKOVA_COM_CALL Read(void* data, std::uint32_t size, std::uint32_t* processed) = 0;

protected:
    ~ISequentialInStream() = default;
};

class IInStream : public ISequentialInStream {
public:
    virtual HResult ARKOVA_COM_CALL Seek(std::int64_t offset, std::uint32_t origin, std::uint64_t* newPosition) = 0;

protected:
    ~IInStream() = default;
};

class IStreamGetSize : public IUnknown {
public:
    virtual HResult ARKOVA_COM_CALL GetSize(std::uint64_t* size) = 0;

protected:
    ~IStreamGetSize() = default;
};

class ISequentialOutStream : public IUnknown {
public:
    virtual HResult ARKOVA_COM_CALL Write(const void* data, std::uint32_t size, std::uint32_t* processed) = 0;

protected:
    ~ISequentialOutStream() = default;
};

class IProgress : public IUnknown {
public:
    virtual HResult ARKOVA_COM_CALL SetTotal(std::uint64_t total) = 0;
    virtual HResult ARKOVA_COM_CALL SetCompleted(const std::uint64_t* completed) = 0;

protected:
    ~IProgress() = default;
};

class IArchiveOpenCallback : public IUnknown {
public:
    virtual HResult ARKOVA_COM_CALL SetTotal(const std::uint64_t* files, const std::uint64_t* bytes) = 0;
    virtual HResult ARKOVA_COM_CALL SetCompleted(const std::uint64_t* files, const std::uint64_t* bytes) = 0;

protected:
    ~IArchiveOpenCallback() = default;
};

class IArchiveExtractCallback : public IProgress {
public:
    virtual HResult ARKOVA_COM_CALL GetStream(std::uint32_t index, ISequentialOutStream** stream,
                                              std::int32_t askMode) = 0;
    virtual HResult ARKOVA_COM_CALL PrepareOperation(std::int32_t askMode) = 0;
    virtual HResult ARKOVA_COM_CALL SetOperationResult(std::int32_t result) = 0;

protected:
    ~IArchiveExtractCallback() = default;
};

class ICryptoGetTextPassword : public IUnknown {
public:
    virtual HResult ARKOVA_COM_CALL CryptoGetTextPassword(Bstr* password) = 0;

protected:
    ~ICryptoGetTextPassword() = default;
};

class IInArchive : public IUnknown {
public:
    virtual HResult ARKOVA_COM_CALL Open(IInStream* stream, const std::uint64_t* maxCheckStartPosition,
                                         IArchiveOpenCallback* callback) = 0;
    virtual HResult ARKOVA_COM_CALL Close() = 0;
    virtual HResult ARKOVA_COM_CALL GetNumberOfItems(std::uint32_t* count) = 0;
    virtual HResult ARKOVA_COM_CALL GetProperty(std::uint32_t index, PropId id, PropVariant* value) = 0;
    virtual HResult ARKOVA_COM_CALL Extract(const std::uint32_t* indices, std::uint32_t count, std::int32_t testMode,
                                            IArchiveExtractCallback* callback) = 0;
    virtual HResult ARKOVA_COM_CALL GetArchiveProperty(PropId id, PropVariant* value) = 0;
    virtual HResult ARKOVA_COM_CALL GetNumberOfProperties(std::uint32_t* count) = 0;
    virtual HResult ARKOVA_COM_CALL GetPropertyInfo(std::uint32_t index, Bstr* name, PropId* id,
                                                    std::uint16_t* type) = 0;
    virtual HResult ARKOVA_COM_CALL GetNumberOfArchiveProperties(std::uint32_t* count) = 0;
    virtual HResult ARKOVA_COM_CALL GetArchivePropertyInfo(std::uint32_t index, Bstr* name, PropId* id,
                                                           std::uint16_t* type) = 0;

protected:
    ~IInArchive() = default;
};

class ISetProperties : public IUnknown {
public:
    virtual HResult ARKOVA_COM_CALL SetProperties(const wchar_t* const* names, const PropVariant* values,
                                                  std::uint32_t count) = 0;

protected:
    ~ISetProperties() = default;
};

inline constexpr Guid kIidUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr Guid kIidProgress = InterfaceId(0x00, 0x05);
inline constexpr Guid kIidSequentialInStream = InterfaceId(0x03, 0x01);
inline constexpr Guid kIidSequentialOutStream = InterfaceId(0x03, 0x02);
inline constexpr Guid kIidInStream = InterfaceId(0x03, 0x03);
inline constexpr Guid kIidStreamGetSize = InterfaceId(0x03, 0x06);
inline constexpr Guid kIidCryptoGetTextPassword = InterfaceId(0x05, 0x10);
inline constexpr Guid kIidSetProperties = InterfaceId(0x06, 0x03);
inline constexpr Guid kIidArchiveOpenCallback = InterfaceId(0x06, 0x10);
inline constexpr Guid kIidArchiveExtractCallback = InterfaceId(0x06, 0x20);
inline constexpr Guid kIidInArchive = InterfaceId(0x06, 0x60);

// Item properties.
enum ItemProperty : PropId {
    kPidPath = 3,
    kPidName = 4,
    kPidIsDir = 6,
    kPidSize = 7,
    kPidPackSize = 8,
    kPidAttrib = 9,
    kPidCTime = 10,
    kPidMTime = 12,
    kPidEncrypted = 15,
    kPidCrc = 19,
    kPidMethod = 22,
    kPidHostOs = 23,
    kPidComment = 28,
    kPidHardLink = 90,  // the path of the entry whose data a hard link shares (tar, RAR 5)
    kPidCopyLink = 95,  // the same for a RAR 5 file copy
};

// Archive properties (GetArchiveProperty): what the handler found wrong while opening.
enum ArchiveProperty : PropId {
    kPidErrorFlags = 71,
    kPidWarningFlags = 72,
};

// Bits of the error and warning flags.
enum ArchiveFlag : std::uint32_t {
    kArchiveIsNotArc = 1u << 0,
    kArchiveHeadersError = 1u << 1,
    kArchiveUnexpectedEnd = 1u << 5,
    kArchiveDataAfterEnd = 1u << 6,
};

// Properties of a format handler (GetHandlerProperty2).
enum HandlerProperty : PropId {
    kHandlerName = 0,
    kHandlerClassId = 1,
    kHandlerExtension = 2,
    kHandlerSignature = 6,
    kHandlerMultiSignature = 7,
    kHandlerSignatureOffset = 8,
    kHandlerFlags = 11,
};

// Handler flags.
inline constexpr std::uint32_t kFlagByExtensionOnly = 1u << 12;
inline constexpr std::uint32_t kFlagHashHandler = 1u << 13;

// The answer of GetModuleProp(kModuleInterfaceType): 0 when IUnknown has no virtual destructor.
inline constexpr PropId kModuleInterfaceType = 0;

enum AskMode : std::int32_t { kAskExtract = 0, kAskTest = 1, kAskSkip = 2 };

enum OperationResult : std::int32_t {
    kResultOk = 0,
    kResultUnsupportedMethod = 1,
    kResultDataError = 2,
    kResultCrcError = 3,
    kResultUnavailable = 4,
    kResultUnexpectedEnd = 5,
    kResultDataAfterEnd = 6,
    kResultIsNotArchive = 7,
    kResultHeadersError = 8,
    kResultWrongPassword = 9,
};

// Exported functions of the library.
using CreateObjectFunction = HResult(ARKOVA_COM_CALL*)(const Guid* classId, const Guid* iid, void** object);
using GetNumberOfFormatsFunction = HResult(ARKOVA_COM_CALL*)(std::uint32_t* count);
using GetHandlerProperty2Function = HResult(ARKOVA_COM_CALL*)(std::uint32_t format, PropId id, PropVariant* value);
using GetModulePropFunction = HResult(ARKOVA_COM_CALL*)(PropId id, PropVariant* value);
using SysAllocStringLenFunction = Bstr(ARKOVA_COM_CALL*)(const OleChar* text, std::uint32_t length);
using SysFreeStringFunction = void(ARKOVA_COM_CALL*)(Bstr text);
using VariantClearFunction = HResult(ARKOVA_COM_CALL*)(PropVariant* value);

}  // namespace Arkova::SevenZip
