// RAR 4 and RAR 5 archives through the UnRAR library: stored and compressed, solid, encrypted data and encrypted
// headers, volume sets opened from their first volume, comments, times, attributes, CRC-32 and BLAKE2 checks.
// The library only decodes: every byte is written here, through the same safe-path and replace-by-rename rules
// as the other decoders. Links are never created nor followed: a symbolic link or junction becomes a small file
// holding the link's target text, as the library adapter writes them for the other formats; a hard link or a file
// copy becomes a copy of the earlier entry it names (one that names no earlier file fails alone).
//
// Extraction moves through the archive in one direction: entries asked for in list order are decoded in one
// pass (a solid archive is read once, not once per entry); asking for an earlier entry starts a new pass. A pass
// decodes ahead on a thread of its own, into a bounded queue, while the caller writes.
// One thread at a time; nothing is thrown.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "archive/archive_decoder.h"
#include "archive/hard_links.h"

namespace Arkova {

namespace Rar {
class Archive;
class ReadAheadPass;
struct Header;
}  // namespace Rar

class RarDecoder : public IArchiveDecoder {
public:
    RarDecoder();
    ~RarDecoder() override;

    // FileNotFound: the file or a volume of the set is missing (LastErrorText names it); PasswordRequired:
    // the headers are encrypted and no password, or a wrong one, is set; InvalidArchive: not RAR or damaged.
    DecodeResult Open(const std::wstring& path) override;
    void Close() override;
    const std::vector<ArchiveItem>& Items() const override { return items_; }
    // PasswordRequired (none set, or wrong), DecompressFailed (damaged data, CRC or BLAKE2 mismatch), FileNotFound
    // (bad position, missing volume), UnsupportedFormat, Cancelled, IoError.
    DecodeResult ExtractToMemory(std::uint32_t position, std::vector<std::uint8_t>& buffer) override;
    // Streams the entry to a file beside the target and renames it into place once complete and checked; sets the
    // modification time.
    DecodeResult ExtractToFile(std::uint32_t position, const std::wstring& target) override;
    // The same pass, with progress after each piece the library hands over: memory stays bounded by that piece.
    std::optional<DecodeResult> ExtractToFileWithProgress(std::uint32_t position, const std::wstring& target,
                                                          const ByteProgressCallback& progress) override;
    // One pass: paths that would leave the folder are refused (UnsafePath, after the rest is written); an entry
    // that fails does not stop the others unless the archive cannot be read on; the first failure is returned.
    DecodeResult ExtractAll(const std::wstring& folder) override;
    void SetPassword(const std::wstring& password) override;
    void SetProgressCallback(ItemProgressCallback callback) override { callback_ = std::move(callback); }
    // -1 and 0: the system ANSI code page; else that code page, for RAR 4 names stored without a Unicode form.
    void SetCodePage(std::int32_t codePage) override { codePage_ = codePage; }
    bool IsOpen() const override { return open_; }
    bool HasEncryptedItems() const override { return hasEncryptedItems_; }
    std::uint64_t ItemCount() const override { return items_.size(); }
    // One pass of the library's test mode over the entries, in list order whatever the order asked.
    std::optional<DecodeResult> TestItems(const std::vector<std::uint32_t>& positions,
                                          const std::function<bool(std::uint32_t position)>& starting,
                                          std::vector<ItemTestResult>& results) override;
    std::wstring LastErrorText() const override { return lastError_; }

    std::wstring ArchiveComment() const override { return comment_; }
    bool IsSolid() const { return solid_; }

private:
    using DataSink = std::function<bool(const std::uint8_t* data, std::size_t length)>;
    // A link entry: its target comes from the header (RAR 5) or as the entry's data (RAR 4).
    struct Link {
        bool isLink = false;
        std::wstring target;
    };

    DecodeResult List(const std::wstring& path);
    // Decodes the entry into the sink (a link's target text for a link) from the pass, which a new one replaces
    // when the entry is behind it.
    DecodeResult Decode(std::uint32_t position, const DataSink& sink);
    // Tests the entry in the test's own pass on this thread; `next` is the entry whose header comes next.
    DecodeResult TestEntry(Rar::Archive& archive, std::uint32_t& next, std::uint32_t position, const DataSink& sink);
    DecodeResult StreamToFile(std::uint32_t position, const std::wstring& target,
                              const ByteProgressCallback& progress = {});
    // Writes what `produce` hands its sink to the target, beside it when the name is taken.
    DecodeResult WriteEntryFile(std::uint32_t position, const std::wstring& target,
                                const ByteProgressCallback& progress,
                                const std::function<DecodeResult(const DataSink&)>& produce);
    // A file this decoder wrote for an entry that links name, so that the links are copied from it rather than
    // decoded again (in a solid archive, another pass from the start).
    struct WrittenFile {
        std::wstring path;
        std::uint64_t size = 0;
        std::uint32_t crc = 0;
    };
    // Hands the written file to the sink; `stale` when it is no longer what was written (nothing can be trusted).
    DecodeResult CopyWritten(const WrittenFile& file, const DataSink& sink, bool& stale);
    DecodeResult LibraryFailure(int code, const std::wstring& missingVolume, bool opening);
    DecodeResult Fail(DecodeResult result, std::wstring why);
    void EndPass();

    // The extraction pass, decoding ahead of the entries asked for; none before the first entry is asked for.
    std::unique_ptr<Rar::ReadAheadPass> pass_;
    int lastCode_ = 0;  // the library's answer to the last entry decoded

    std::vector<ArchiveItem> items_;
    std::vector<Link> links_;          // parallel to items_
    std::vector<DataSource> sources_;  // parallel to items_: hard links and file copies read an earlier entry
    std::vector<bool> linkSources_;    // parallel to items_: entries that links name
    std::map<std::uint32_t, WrittenFile> written_;
    std::wstring archivePath_;
    std::wstring password_;
    std::wstring comment_;
    std::wstring lastError_;
    std::int32_t codePage_ = -1;
    ItemProgressCallback callback_;
    bool open_ = false;
    bool solid_ = false;
    bool hasEncryptedItems_ = false;
};

}  // namespace Arkova
