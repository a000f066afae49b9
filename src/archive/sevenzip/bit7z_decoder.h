// The decoder for every format the program does not read itself (ZIP, 7z, RAR, TAR, GZip, BZip2, XZ, Cabinet, ISO,
// WIM, ...): the 7-Zip shared library, loaded at run time, through the small layer in this folder. The format is
// chosen by the file extension; other names let the library detect it. Nothing thrown inside reaches the caller:
// every failure is a DecodeResult, and LastErrorText() says in English what went wrong.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "archive/archive_decoder.h"
#include "archive/hard_links.h"

namespace Arkova {

namespace SevenZip {
class ArchiveReader;
class Library;
struct OpenOptions;
}  // namespace SevenZip

class Bit7zDecoder : public IArchiveDecoder {
public:
    // How Open picks the library's handler: by the file's extension (the library's own detection for an unknown
    // one), or by content alone for a file that the detection tables do not know, when a file that no handler
    // accepts is UnsupportedFormat rather than InvalidArchive.
    enum class Detection { ByExtension, AnyHandler };

    // An empty library path means the default: beside the executable, and off Windows /usr/lib/p7zip/7z.so.
    explicit Bit7zDecoder(std::wstring libraryPath = {}, Detection detection = Detection::ByExtension);
    ~Bit7zDecoder() override;

    // Missing file FileNotFound; library missing or unusable, or no handler accepts the file, InvalidArchive;
    // encrypted headers without the right password PasswordRequired. A plain ZIP is listed without the library
    // (zip_listing.h), which is loaded when an entry first needs it: a missing library shows there.
    DecodeResult Open(const std::wstring& path) override;
    void Close() override;
    const std::vector<ArchiveItem>& Items() const override { return items_; }
    // Failures: FileNotFound (no archive, bad position), PasswordRequired (none set, or wrong), UnsupportedFormat
    // (the library has no decoder for the method, as for RAR in Debian's builds), DecompressFailed (damaged data,
    // CRC mismatch), Cancelled, InternalError.
    DecodeResult ExtractToMemory(std::uint32_t position, std::vector<std::uint8_t>& buffer) override;
    // A hard link gives its source's data; one whose source is not stored before it fails (DecompressFailed).
    // Extracts to memory, then writes beside the target and renames into place; restores the modification time.
    DecodeResult ExtractToFile(std::uint32_t position, const std::wstring& target) override;
    // One pass of the library over every item; each path is confined to the folder (UnsafePath for those refused,
    // after the rest is written); files get their modification times. An item that fails does not stop the others;
    // the first failure is returned.
    DecodeResult ExtractAll(const std::wstring& folder) override;
    void SetPassword(const std::wstring& password) override;
    void SetProgressCallback(ItemProgressCallback callback) override;
    // -1 = names as the library decodes them; 0 = the system ANSI code page; else that code page, for the names
    // that archives store as bytes in a legacy code page. Takes effect at the next Open.
    void SetCodePage(std::int32_t codePage) override { codePage_ = codePage; }
    // Other threads may ask while an entry loads the library: for an archive we listed, reader_ is not read.
    bool IsOpen() const override { return listedByUs_ || reader_ != nullptr; }
    bool HasEncryptedItems() const override { return hasEncryptedItems_; }
    std::uint64_t ItemCount() const override { return items_.size(); }

    // Tests the file entries at these positions in one pass of the library's own test mode, without holding any
    // entry in memory: the library checks each stored CRC, and entries that store none get theirs computed.
    // `starting` is called before each entry; false cancels (Cancelled, with the results so far). Results come in
    // the order of `positions`.
    std::optional<DecodeResult> TestItems(const std::vector<std::uint32_t>& positions,
                                          const std::function<bool(std::uint32_t position)>& starting,
                                          std::vector<ItemTestResult>& results) override;

    // What the last failed operation found, in English; empty after a success.
    std::wstring LastErrorText() const override { return lastError_; }
    std::vector<std::wstring> Warnings() const override;
    // The library in use (once loaded; a plain ZIP loads it with its first extracted entry).
    const std::wstring& LibraryPath() const { return libraryPath_; }
    std::shared_ptr<const FastZip::ListedDirectory> ZipDirectory() const override { return zipDirectory_; }

private:
    DecodeResult OpenReader(const std::wstring& path);
    SevenZip::OpenOptions ReaderOptions(const std::wstring& path) const;
    // Loads the library and opens the archive with it (throws SevenZip::Error).
    void StartReader();
    // For an archive listed from our own directory read: the library, opened on the same archive, which must list
    // the same entries. Ok when the library is open.
    DecodeResult StartLibraryWhenListedByUs();
    void TakeZipNamesFromDirectory(std::shared_ptr<const FastZip::ListedDirectory> directory);
    void InstallProgressHook();
    std::wstring ItemName(const std::wstring& libraryText, const std::string* nameBytes) const;
    DecodeResult Failure(DecodeResult result, const std::string& why);
    // The position whose data the entry has: its own, or a hard link's source; none for a link without one.
    std::optional<std::uint32_t> DataPosition(std::uint32_t position) const;

    std::shared_ptr<SevenZip::Library> library_;
    std::unique_ptr<SevenZip::ArchiveReader> reader_;
    std::vector<ArchiveItem> items_;
    std::vector<DataSource> sources_;  // parallel to items_: hard links read their data from an earlier entry
    std::shared_ptr<const FastZip::ListedDirectory> zipDirectory_;  // of a ZIP whose listing it matched
    std::wstring archivePath_;
    std::wstring libraryPath_;
    Detection detection_;
    std::wstring password_;
    bool hasEncryptedItems_ = false;
    std::int32_t codePage_ = -1;
    std::int32_t nameCodePage_ = -1;  // the one in use since Open
    bool listedByUs_ = false;         // a plain ZIP, listed without the library
    ItemProgressCallback callback_;
    std::wstring lastError_;
};

}  // namespace Arkova
