// What the ALZ and EGG readers share: the open archive file, the item list with each entry's data location, and
// every operation but Open. A reader's Open scans its format and calls AddEntry for each entry it lists.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <memory>

#include "archive/archive_decoder.h"
#include "archive/crypto/entry_cipher.h"
#include "archive/volume_set.h"

namespace Arkova {

class NativeArchiveDecoder : public IArchiveDecoder {
public:
    ~NativeArchiveDecoder() override = default;

    void Close() override;
    const std::vector<ArchiveItem>& Items() const override { return items_; }
    DecodeResult ExtractToMemory(std::uint32_t position, std::vector<std::uint8_t>& buffer) override;
    // Verifies the CRC, writes beside the target and renames into place, so a failure never harms an existing
    // file; restores the modification time.
    DecodeResult ExtractToFile(std::uint32_t position, const std::wstring& target) override;
    // Entries whose paths would leave the folder are refused (UnsafePath, reported after the rest is written).
    DecodeResult ExtractAll(const std::wstring& folder) override;
    void SetPassword(const std::wstring& password) override { password_ = password; }
    void SetProgressCallback(ItemProgressCallback callback) override { callback_ = std::move(callback); }
    void SetCodePage(std::int32_t codePage) override { codePage_ = codePage; }
    bool IsOpen() const override { return file_.IsOpen(); }
    bool HasEncryptedItems() const override { return hasEncryptedItems_; }
    std::uint64_t ItemCount() const override { return items_.size(); }
    std::wstring LastErrorText() const override { return lastError_; }

    enum class Storage { Stored, Deflate, Bzip2, AlzBzip2, Lzma, Unsupported };

    // Where one entry's data lies, for a reader that decodes entries side by side.
    struct IndependentEntry {
        std::uint64_t offset = 0;  // of the stored bytes; 0 for a folder
        std::uint64_t storedLength = 0;
        Storage storage = Storage::Stored;
        std::uint64_t modifiedTimeUtc = 0;  // 0 = unknown
    };
    // One record per item, in item order, when every entry can be decoded on its own: the archive is one file, not
    // solid, not encrypted, and each file's data is one run stored, deflated or in bzip2. False otherwise, with
    // `why` saying what stands in the way.
    bool ListIndependentEntries(std::vector<IndependentEntry>& entries, std::wstring& why) const;

protected:
    // How the format's method number is stored.
    virtual Storage StorageOf(std::uint8_t method) const = 0;
    // The method's name for the message of an entry that cannot be decoded.
    virtual std::wstring MethodName(std::uint8_t method) const { return L"method " + std::to_wstring(method); }
    // The method column's text for a data run's method, in the words the other formats' listings use.
    std::wstring MethodText(std::uint8_t method) const;
    // The password as the format's ciphers take it.
    virtual std::string PasswordBytes(const std::wstring& password) const;
    // The entry's modification time as the file system stores it (UTC FILETIME), 0 for none.
    virtual std::uint64_t FileSystemTime(const ArchiveItem& item) const { return item.modifiedTime; }

    // One separately coded run of an entry's data.
    struct DataBlock {
        std::uint64_t offset = 0;        // absolute file offset of the first stored byte
        std::uint64_t storedLength = 0;  // bytes in the file
        std::uint64_t size = 0;          // bytes after decoding
        std::uint8_t method = 0;
    };

    // Opens the archive file and sizes it: FileNotFound or IoError (closed again) on failure.
    DecodeResult OpenArchiveFile(const std::wstring& path);
    // An entry whose data is one run; its size is the item's.
    void AddEntry(ArchiveItem item, std::uint64_t dataOffset, std::uint64_t storedLength, std::uint8_t method);
    // An entry with no data run yet. A file entry left like this has data the reader could not find: extracting it
    // fails with UnsupportedFormat rather than giving an empty file.
    void AddEntryWithoutData(ArchiveItem item);
    // Appends a run to the entry added last. Its size, packed size and CRC (`blockCrc` is the run's own) grow to
    // cover the whole data, and extraction decodes the runs one after another.
    void AppendBlock(const DataBlock& block, std::uint32_t blockCrc);
    // Solid archives: entries whose data are consecutive pieces of one stream, the decoded blocks of their group one
    // after another. A group is started, its entries are added in stream order (each as long as its size says), and
    // its blocks follow.
    void StartSolidGroup();
    void AddSolidEntry(ArchiveItem item);
    void AddSolidBlock(const DataBlock& block, std::uint32_t blockCrc);
    bool SolidGroupHasBlocks() const { return !groups_.empty() && !groups_.back().blocks.empty(); }
    // Marks the entry added last as encrypted this way.
    void SetLastEntryCipher(EntryCipher cipher);

    VolumeSet file_;
    // Set when the archive's stream stopped short of the volumes it should have: named in the failure of every
    // entry whose data lies beyond the end.
    std::wstring missingVolume_;
    std::uint64_t fileSize_ = 0;
    std::uint64_t scanPosition_ = 0;
    std::wstring archivePath_;
    bool hasEncryptedItems_ = false;

private:
    DecodeResult ExtractBlock(const DataBlock& block, EntryDecryptor* decryptor, std::vector<std::uint8_t>& buffer);
    DecodeResult ExtractSolid(std::uint32_t position, std::vector<std::uint8_t>& buffer);
    // A decryptor for the entry with the current password: PasswordRequired, WrongPassword or UnsupportedFormat
    // when there is none.
    DecodeResult StartDecryption(std::uint32_t position, std::unique_ptr<EntryDecryptor>& decryptor);

    std::vector<ArchiveItem> items_;
    // Every entry's runs in list order; entry i owns blocks_[firstBlocks_[i]] up to the next entry's first.
    std::vector<DataBlock> blocks_;
    std::vector<std::size_t> firstBlocks_;
    std::vector<EntryCipher> ciphers_;  // parallel to items_
    struct SolidGroup {
        std::vector<DataBlock> blocks;
        std::vector<std::uint32_t> crcs;
        std::uint64_t entryBytes = 0;  // the sizes of its entries so far
    };
    struct SolidPlace {
        std::size_t group = SIZE_MAX;  // SIZE_MAX: not in a solid group
        std::uint64_t offset = 0;
    };
    std::vector<SolidGroup> groups_;
    std::vector<SolidPlace> solidPlaces_;  // parallel to items_
    // The block decoded last, so that entries extracted in order decode every block once.
    std::size_t cachedGroup_ = SIZE_MAX;
    std::size_t cachedBlock_ = 0;
    std::vector<std::uint8_t> cachedData_;
    std::wstring lastError_;
    std::wstring password_;
    std::int32_t codePage_ = -1;
    ItemProgressCallback callback_;
};

}  // namespace Arkova
