#include "archive/sevenzip/callbacks.h"

#include "archive/sevenzip/library.h"
#include "archive/sevenzip/library_text.h"

namespace Arkova::SevenZip {

HResult CallbackState::GivePassword(Bstr* password) {
    if (password == nullptr) return kInvalidArgument;
    *password = nullptr;
    passwordAsked_ = true;
    if (password_.empty()) {
        passwordMissing_ = true;
        return kAbort;
    }
    try {
        *password = library_.AllocateString(ToLibraryUnits(password_));
    } catch (...) {
        return Catch();
    }
    return *password != nullptr ? kOk : kOutOfMemory;
}

HResult CallbackState::Catch() {
    if (!catching_.test_and_set()) caught_ = std::current_exception();
    return kAbort;
}

void CallbackState::RethrowIfCaught() {
    if (caught_) std::rethrow_exception(std::exchange(caught_, nullptr));
}

bool ProgressRelay::Report(std::uint64_t done) {
    done_ = done;
    if (hook_ && !stopped_ && std::this_thread::get_id() == owner_) {
        if (!hook_(done_, total_)) stopped_ = true;
    }
    return !stopped_;
}

HResult ExtractCallback::SetTotal(std::uint64_t total) {
    progress_.SetTotal(total);
    return kOk;
}

HResult ExtractCallback::SetCompleted(const std::uint64_t* completed) {
    try {
        if (completed != nullptr && !progress_.Report(*completed)) return kAbort;
    } catch (...) {
        return state_.Catch();
    }
    return kOk;
}

HResult ExtractCallback::GetStream(std::uint32_t index, ISequentialOutStream** stream, std::int32_t askMode) {
    if (stream == nullptr) return kInvalidArgument;
    *stream = nullptr;
    // The result of an item that gets no stream still counts: the library tests the rest of a damaged solid block
    // instead of extracting it, and reports each item's failure.
    current_ = index;
    haveCurrent_ = true;
    if (askMode != kAskExtract && askMode != kAskTest) return kOk;
    try {
        *stream = askMode == kAskExtract ? sink_.Open(index) : sink_.OpenForTest(index);
    } catch (...) {
        return state_.Catch();
    }
    return progress_.Stopped() ? kAbort : kOk;
}

HResult ExtractCallback::SetOperationResult(std::int32_t result) {
    if (!haveCurrent_) return kOk;
    haveCurrent_ = false;
    try {
        if (result == kResultDataAfterEnd) {
            state_.NoteDataAfterEnd(current_);
            result = kResultOk;
        }
        sink_.Finish(current_, result);
    } catch (...) {
        return state_.Catch();
    }
    return progress_.Stopped() ? kAbort : kOk;
}

}  // namespace Arkova::SevenZip
