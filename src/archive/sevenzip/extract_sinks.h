// The two destinations of extraction: one item into memory, or every item into a folder, confined to it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "archive/sevenzip/callbacks.h"
#include "archive/sevenzip/error.h"
#include "archive/sevenzip/streams.h"

namespace Arkova::SevenZip {

struct ItemFailure {
    std::uint32_t index;
    std::int32_t result;  // the library's OperationResult; kResultOk when the failure was ours
    ErrorKind ourKind;    // for our own failures (WriteFailed, UnsafePath)
};

class MemorySink final : public ExtractSink {
public:
    explicit MemorySink(std::uint32_t index) : index_(index) {}
    ISequentialOutStream* Open(std::uint32_t index) override;
    void Finish(std::uint32_t index, std::int32_t result) override;

    bool Delivered() const { return delivered_; }
    std::int32_t Result() const { return result_; }
    std::vector<std::uint8_t>& Data() { return stream_->Data(); }

private:
    std::uint32_t index_;
    ComPtr<MemoryOutStream> stream_{new MemoryOutStream()};
    bool delivered_ = false;
    std::int32_t result_ = kResultOk;
};

// Tests items in one pass of the library: nothing is kept but each item's result and, for items that store no
// CRC of their own (the library checks the others itself), the CRC-32 of their data.
class TestSink final : public ExtractSink {
public:
    struct Outcome {
        bool delivered = false;
        std::int32_t result = kResultOk;
        bool crcComputed = false;
        std::uint32_t crc = 0;
    };
    // `starting` is called before each item is tested; false stops the test (Error Cancelled). `needsCrc` tells
    // which items get their CRC computed.
    TestSink(std::function<bool(std::uint32_t)> starting, std::vector<bool> needsCrc)
        : starting_(std::move(starting)), needsCrc_(std::move(needsCrc)), outcomes_(needsCrc_.size()) {}

    ISequentialOutStream* Open(std::uint32_t index) override { return OpenForTest(index); }
    ISequentialOutStream* OpenForTest(std::uint32_t index) override;
    void Finish(std::uint32_t index, std::int32_t result) override;
    const std::vector<Outcome>& Outcomes() const { return outcomes_; }

private:
    std::function<bool(std::uint32_t)> starting_;
    std::vector<bool> needsCrc_;
    std::vector<Outcome> outcomes_;
    ComPtr<CrcOutStream> crc_;
};

// An item as the folder sink writes it: `name` is its path inside the archive as the program lists it.
struct FolderEntry {
    std::wstring name;
    bool isDirectory = false;
    std::uint64_t modifiedTime = 0;
};

// Writes each file beside its target and renames it into place once complete, so a failed item never harms an
// existing file; paths that would leave the folder are refused (UnsafePath) and the other items still extract.
// Folder times are restored once everything is written, since writing into a folder changes its time.
class FolderSink final : public ExtractSink {
public:
    FolderSink(std::wstring folder, const std::vector<FolderEntry>& entries)
        : folder_(std::move(folder)), entries_(entries) {}
    ~FolderSink() override { Abandon(); }

    ISequentialOutStream* Open(std::uint32_t index) override;
    void Finish(std::uint32_t index, std::int32_t result) override;
    // Restores the folders' times; call after the library is done.
    void Complete();

    const std::vector<ItemFailure>& Failures() const { return failures_; }

private:
    void Abandon();
    void Fail(std::uint32_t index, std::int32_t result, ErrorKind kind) { failures_.push_back({index, result, kind}); }

    std::wstring folder_;
    const std::vector<FolderEntry>& entries_;
    std::vector<ItemFailure> failures_;
    std::vector<std::pair<std::wstring, std::uint64_t>> folders_;
    ComPtr<FileOutStream> file_;
    std::uint32_t fileIndex_ = 0;
    std::wstring target_;
    std::wstring partial_;
};

}  // namespace Arkova::SevenZip
