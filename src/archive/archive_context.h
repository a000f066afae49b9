// Owner of the one decoder of the archive that is open: chooses the reader, opens it, and offers the operations
// that run on an open archive (extract one entry with byte progress, test entries against their CRCs).
// Used by one thread at a time; callbacks run on the calling thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "archive/archive_decoder.h"
#include "archive/archive_format.h"
#include "archive/item_test_result.h"

namespace Arkova {

// (current, total, entry path) before each tested entry; false stops the run.
using TestProgressCallback = std::function<bool(std::uint32_t current, std::uint32_t total, const std::wstring& path)>;

class ArchiveContext;

// Tests every file entry of the open archive in one run on every core, with the results TestAll gives; nothing when
// it cannot take this archive. The parallel engine provides it; it lives above this layer, so the program installs
// it (SetParallelTester) at start.
using ParallelTester = std::function<std::optional<std::vector<ItemTestResult>>(const ArchiveContext& context,
                                                                                const TestProgressCallback& callback)>;

class ArchiveContext {
public:
    // For every context of the process; set once before any test runs.
    static void SetParallelTester(ParallelTester tester);

    ArchiveContext() = default;
    ~ArchiveContext();
    ArchiveContext(const ArchiveContext&) = delete;
    ArchiveContext& operator=(const ArchiveContext&) = delete;

    // Destroys the previous decoder, detects the format and opens a new decoder with the context's password,
    // callback and code page. A decoder whose open failed stays, closed.
    DecodeResult OpenArchive(const std::wstring& path);

    // Closes and destroys the decoder; the password, code page and library path stay.
    void CloseArchive();

    // The decoder, or null before the first open.
    IArchiveDecoder* Decoder() const { return decoder_.get(); }
    // The item list; empty when there is no decoder.
    const std::vector<ArchiveItem>& Items() const;
    ArchiveFormat Format() const { return format_; }
    // The path of the last OpenArchive.
    const std::wstring& ArchivePath() const { return archivePath_; }

    void SetPassword(const std::wstring& password) { password_ = password; }
    const std::wstring& Password() const { return password_; }
    // Also passed on to a decoder that already exists.
    void SetCodePage(std::int32_t codePage);
    std::int32_t CodePage() const { return codePage_; }
    void SetItemProgressCallback(ItemProgressCallback callback) { itemCallback_ = std::move(callback); }
    // Where a new library adapter loads the 7-Zip library from; empty = its default.
    void SetLibraryPath(const std::wstring& path) { libraryPath_ = path; }

    // Extracts one entry to the target path. Entries of 1 MiB and more are streamed with progress by a decoder
    // that can, else decoded into memory and written in 256 KiB pieces with progress after each; cancelling
    // removes the partial file and leaves any existing file untouched.
    DecodeResult ExtractItemToFile(std::uint32_t position, const std::wstring& target,
                                   const ByteProgressCallback& progress = {});
    // The entry's modification time as the file system stores it (UTC); 0 when unknown.
    std::uint64_t ModifiedTimeUtc(const ArchiveItem& item) const;
    ItemTestResult TestItem(std::uint32_t index);
    // One result per file entry, in list order: through the parallel tester when it takes the archive, else by the
    // decoder's own test mode, else entry by entry. Cancelling keeps the results so far.
    std::vector<ItemTestResult> TestAll(const TestProgressCallback& callback = {});

private:
    std::unique_ptr<IArchiveDecoder> decoder_;
    std::wstring libraryPath_;
    std::wstring archivePath_;
    std::wstring password_;
    ArchiveFormat format_ = ArchiveFormat::Unrecognized;
    std::int32_t codePage_ = -1;
    ItemProgressCallback itemCallback_;
};

}  // namespace Arkova
