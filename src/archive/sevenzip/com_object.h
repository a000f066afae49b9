// Reference counting for the library's interfaces: ComPtr holds one reference; ComObject implements IUnknown for
// our own callback and stream objects, which the library may keep and release from any of its threads.
#pragma once

#include <atomic>
#include <utility>

#include "archive/sevenzip/com.h"

namespace Arkova::SevenZip {

template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    // Takes over a reference that the caller already holds.
    explicit ComPtr(T* adopted) : pointer_(adopted) {}
    ~ComPtr() { Reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            Reset();
            pointer_ = std::exchange(other.pointer_, nullptr);
        }
        return *this;
    }

    void Reset() {
        if (pointer_ != nullptr) std::exchange(pointer_, nullptr)->Release();
    }
    T* Get() const { return pointer_; }
    T* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }
    // For out-parameters: releases the current object first.
    void** OutAddress() {
        Reset();
        return reinterpret_cast<void**>(&pointer_);
    }
    // A new reference for an out-parameter of the library.
    T* AddedReference() const {
        if (pointer_ != nullptr) pointer_->AddRef();
        return pointer_;
    }

private:
    T* pointer_ = nullptr;
};

// The interface identifiers an interface answers to: its own and those of the interfaces it extends.
inline bool Answers(const Guid& iid, ISequentialInStream*) { return iid == kIidSequentialInStream; }
inline bool Answers(const Guid& iid, IInStream*) { return iid == kIidInStream || iid == kIidSequentialInStream; }
inline bool Answers(const Guid& iid, IStreamGetSize*) { return iid == kIidStreamGetSize; }
inline bool Answers(const Guid& iid, ISequentialOutStream*) { return iid == kIidSequentialOutStream; }
inline bool Answers(const Guid& iid, IArchiveOpenCallback*) { return iid == kIidArchiveOpenCallback; }
inline bool Answers(const Guid& iid, IArchiveExtractCallback*) {
    return iid == kIidArchiveExtractCallback || iid == kIidProgress;
}
inline bool Answers(const Guid& iid, ICryptoGetTextPassword*) { return iid == kIidCryptoGetTextPassword; }

// Derived must be final; it is created with one reference (held by the creator's ComPtr) and deletes itself when
// the last reference goes.
template <typename Derived, typename Primary, typename... Others>
class ComObject : public Primary, public Others... {
public:
    HResult ARKOVA_COM_CALL QueryInterface(const Guid& iid, void** object) override {
        if (object == nullptr) return kInvalidArgument;
        *object = nullptr;
        if (iid == kIidUnknown || Answers(iid, static_cast<Primary*>(nullptr))) {
            *object = static_cast<Primary*>(this);
        } else {
            // The first of the other interfaces that answers the id.
            static_cast<void>(((*object == nullptr && Answers(iid, static_cast<Others*>(nullptr))
                                    ? (*object = static_cast<Others*>(this), true)
                                    : false) ||
                               ...));
        }
        if (*object == nullptr) return kNoInterface;
        AddRef();
        return kOk;
    }
    std::uint32_t ARKOVA_COM_CALL AddRef() override { return ++references_; }
    std::uint32_t ARKOVA_COM_CALL Release() override {
        std::uint32_t left = --references_;
        if (left == 0) delete static_cast<Derived*>(this);
        return left;
    }

protected:
    ComObject() = default;
    ~ComObject() = default;

private:
    std::atomic<std::uint32_t> references_{1};
};

}  // namespace Arkova::SevenZip
