// One archive opened by a format handler of the 7-Zip library: its item list with the properties the program shows,
// extraction of one item into memory and of every item into a folder, the password and a progress hook.
// Throws Error (or std::bad_alloc); one thread at a time.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "archive/sevenzip/decompressed_stream.h"
#include "archive/sevenzip/extract_sinks.h"
#include "archive/sevenzip/formats.h"
#include "archive/sevenzip/library.h"

namespace Arkova::SevenZip {

struct ReaderItem {
    std::uint32_t index = 0;
    std::wstring path;  // the library's text; the name property when the path is empty
    // Where the library could not decode a name in a legacy code page and handed back each byte as one character
    // (U+0080-U+00FF; off Windows, in the C locale): those bytes, for the caller to decode.
    std::optional<std::string> nameBytes;
    std::uint64_t size = 0;
    std::uint64_t packedSize = 0;
    std::uint32_t crc = 0;
    std::uint32_t attributes = 0;
    std::uint64_t creationTime = 0;
    std::uint64_t modifiedTime = 0;
    bool isDirectory = false;
    bool isEncrypted = false;
    std::wstring method;
    std::wstring comment;
    std::wstring hostOs;
    // For a hard link or file copy that stores no data of its own: the path of the entry whose data it has.
    std::optional<std::wstring> linkTarget;
    std::optional<std::string> linkTargetBytes;  // as nameBytes, for the link's target
};

struct OpenOptions {
    std::uint8_t format = kFormatAuto;
    std::wstring password;
    // For handlers that take one, the code page of names not marked as UTF-8; 0 leaves the library's default.
    std::int32_t codePage = 0;
};

class ArchiveReader {
public:
    using ProgressHook = ProgressRelay::Hook;

    // Opens and lists the archive. Error kinds: FileUnreadable, NotArchive, PasswordNeeded and WrongPassword (an
    // archive whose headers are encrypted).
    ArchiveReader(std::shared_ptr<const Library> library, const std::wstring& path, const OpenOptions& options);
    ~ArchiveReader();
    ArchiveReader(const ArchiveReader&) = delete;
    ArchiveReader& operator=(const ArchiveReader&) = delete;

    const std::vector<ReaderItem>& Items() const { return items_; }
    // The handler that lists the items: for a tarball (a tar inside gzip, bzip2, xz, ...) the tar handler.
    const FormatInfo& Format() const { return *format_; }
    // The compression around a tarball's tar; null for any other archive.
    const FormatInfo* TarballCompression() const { return tarball_ ? outerFormat_ : nullptr; }
    // What the operations since opening delivered but found odd (trailing bytes after a compressed stream), in
    // English, each once.
    const std::vector<std::wstring>& Warnings() const { return warnings_; }

    void SetPassword(const std::wstring& password) { password_ = password; }
    // Called with (bytes done, bytes total) during extraction; false stops it (Error Cancelled).
    void SetProgressHook(ProgressHook hook) { hook_ = std::move(hook); }

    // The item's unpacked bytes replace the buffer's content.
    void ExtractToBuffer(std::uint32_t index, std::vector<std::uint8_t>& buffer);
    // Tests the items in one pass of the library, in the library's own test mode; `starting` is called before each
    // item. Items that are encrypted while no password is set are not given to the library (their outcome is not
    // delivered). Throws only for the run as a whole (cancelled, the library failing).
    std::vector<TestSink::Outcome> TestItems(const std::vector<std::uint32_t>& indices,
                                             const std::function<bool(std::uint32_t)>& starting);
    // The outcomes of the last TestItems, also when it threw (a cancelled test keeps what it had tested).
    const std::vector<TestSink::Outcome>& LastTestOutcomes() const { return lastTestOutcomes_; }
    // Every item below the folder, in one pass of the library; `entries` (one per item) give the names to write.
    // Items that fail do not stop the others; the first failure is thrown at the end, naming every failed item.
    void ExtractAll(const std::wstring& folder, const std::vector<FolderEntry>& entries);

private:
    static void SetCodePage(IInArchive& archive, const FormatInfo& format, const OpenOptions& options);
    bool TryOpen(const FormatInfo& format, const OpenOptions& options);
    // When the one item of a single-stream archive is a tar, reopens the archive as that tar, read through the
    // decompression as it runs.
    bool TryOpenTarball(const OpenOptions& options);
    // A tarball's compressed stream after an operation: its failure is thrown, trailing bytes become a warning.
    // `toTheEnd` first reads the rest of the stream, so that its checksum has been verified.
    void CheckTarballStream(bool toTheEnd);
    void Warn(const std::wstring& text);
    void ListItems();
    // Turns what the handler found wrong while opening (damaged headers, a cut end) into warnings: the items it
    // could list are still there.
    void NoteOpenProblems();
    ReaderItem ReadItem(std::uint32_t index);
    // Runs one Extract call and returns the library's answer; throws for cancellation, a missing password and the
    // callbacks' own failures.
    HResult RunExtract(const std::vector<std::uint32_t>& indices, ExtractSink& sink, bool testMode = false);
    [[noreturn]] void ThrowLibraryFailure(HResult result) const;
    [[noreturn]] void ThrowItemFailures(const std::vector<ItemFailure>& failures) const;

public:
    // What an item's OperationResult means, given whether a password was set.
    ErrorKind KindOfResult(std::uint32_t index, std::int32_t result) const;

private:
    std::shared_ptr<const Library> library_;
    ComPtr<FileInStream> stream_;
    ComPtr<IInArchive> outer_;  // a tarball's compression handler, read by tarball_
    ComPtr<DecompressedStream> tarball_;
    const FormatInfo* outerFormat_ = nullptr;
    ComPtr<IInArchive> archive_;
    const FormatInfo* format_ = nullptr;
    std::vector<std::wstring> warnings_;
    std::wstring archivePath_;
    std::wstring password_;
    ProgressHook hook_;
    std::vector<ReaderItem> items_;
    std::vector<TestSink::Outcome> lastTestOutcomes_;
};

}  // namespace Arkova::SevenZip
