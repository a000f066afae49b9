// The callbacks that the library calls while opening and extracting. None of them lets an exception reach the
// library (that would abort the process): the first one caught is kept in CallbackState and the call answers
// E_ABORT; the reader rethrows it once the library call has returned.
#pragma once

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "archive/sevenzip/com_object.h"

namespace Arkova::SevenZip {

class Library;

// What the callbacks of one library call share.
class CallbackState {
public:
    CallbackState(const Library& library, std::wstring password) : library_(library), password_(std::move(password)) {}

    // Hands the password to the library; without one the operation is stopped (E_ABORT).
    HResult GivePassword(Bstr* password);
    bool PasswordAsked() const { return passwordAsked_; }
    bool PasswordMissing() const { return passwordMissing_; }
    bool HasPassword() const { return !password_.empty(); }

    // Items whose data was complete and checked, followed by bytes that belong to nothing (trailing garbage after
    // a gzip, bzip2 or xz stream): delivered as good, reported as a warning.
    void NoteDataAfterEnd(std::uint32_t index) { dataAfterEnd_.push_back(index); }
    bool DataAfterEnd() const { return !dataAfterEnd_.empty(); }
    const std::vector<std::uint32_t>& ItemsWithDataAfterEnd() const { return dataAfterEnd_; }

    // Keeps the first exception in flight and returns E_ABORT.
    HResult Catch();
    void RethrowIfCaught();

private:
    const Library& library_;
    std::wstring password_;
    std::atomic<bool> passwordAsked_{false};
    std::atomic<bool> passwordMissing_{false};
    std::vector<std::uint32_t> dataAfterEnd_;
    std::exception_ptr caught_;
    std::atomic_flag catching_ = ATOMIC_FLAG_INIT;
};

// Passes the library's byte progress to a hook that may stop the operation. The library may report from its own
// worker threads; the hook is only ever called on the thread that started the operation, the other reports are
// recorded and passed on with the next report from that thread.
class ProgressRelay {
public:
    using Hook = std::function<bool(std::uint64_t done, std::uint64_t total)>;
    explicit ProgressRelay(Hook hook) : hook_(std::move(hook)), owner_(std::this_thread::get_id()) {}

    void SetTotal(std::uint64_t total) { total_ = total; }
    // False once the hook has asked to stop.
    bool Report(std::uint64_t done);
    bool Stopped() const { return stopped_; }

private:
    Hook hook_;
    std::thread::id owner_;
    std::atomic<std::uint64_t> total_{0};
    std::atomic<std::uint64_t> done_{0};
    std::atomic<bool> stopped_{false};
};

class OpenCallback final : public ComObject<OpenCallback, IArchiveOpenCallback, ICryptoGetTextPassword> {
public:
    explicit OpenCallback(CallbackState& state) : state_(state) {}
    HResult ARKOVA_COM_CALL SetTotal(const std::uint64_t*, const std::uint64_t*) override { return kOk; }
    HResult ARKOVA_COM_CALL SetCompleted(const std::uint64_t*, const std::uint64_t*) override { return kOk; }
    HResult ARKOVA_COM_CALL CryptoGetTextPassword(Bstr* password) override { return state_.GivePassword(password); }

private:
    CallbackState& state_;
};

// Where extracted items go.
class ExtractSink {
public:
    virtual ~ExtractSink() = default;
    // A stream for the item's data (a new reference), or nullptr to skip the item.
    virtual ISequentialOutStream* Open(std::uint32_t index) = 0;
    // The library is about to test the item (decode and check it without extracting); a stream, if returned,
    // receives the data all the same.
    virtual ISequentialOutStream* OpenForTest(std::uint32_t) { return nullptr; }
    // The library is done with the item; `result` is one of OperationResult.
    virtual void Finish(std::uint32_t index, std::int32_t result) = 0;
};

class ExtractCallback final : public ComObject<ExtractCallback, IArchiveExtractCallback, ICryptoGetTextPassword> {
public:
    ExtractCallback(CallbackState& state, ProgressRelay& progress, ExtractSink& sink)
        : state_(state), progress_(progress), sink_(sink) {}

    HResult ARKOVA_COM_CALL SetTotal(std::uint64_t total) override;
    HResult ARKOVA_COM_CALL SetCompleted(const std::uint64_t* completed) override;
    HResult ARKOVA_COM_CALL GetStream(std::uint32_t index, ISequentialOutStream** stream,
                                      std::int32_t askMode) override;
    HResult ARKOVA_COM_CALL PrepareOperation(std::int32_t) override { return kOk; }
    HResult ARKOVA_COM_CALL SetOperationResult(std::int32_t result) override;
    HResult ARKOVA_COM_CALL CryptoGetTextPassword(Bstr* password) override { return state_.GivePassword(password); }

private:
    CallbackState& state_;
    ProgressRelay& progress_;
    ExtractSink& sink_;
    std::uint32_t current_ = 0;
    bool haveCurrent_ = false;
};

}  // namespace Arkova::SevenZip
