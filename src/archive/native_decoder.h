// What the ALZ and EGG readers share: the open archive file, the item list with each entry's data location, and
// every operation but Open. A reader's Open scans its format and calls AddEntry for each entry it lists.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archive/archive_decoder.h"
#include "platform/file.h"

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

protected:
    enum class Storage { Stored, Deflate, Unsupported };
    // How the format's method number is stored.
    virtual Storage StorageOf(std::uint8_t method) const = 0;
    // The entry's modification time as the file system stores it (UTC FILETIME), 0 for none.
    virtual std::uint64_t FileSystemTime(const ArchiveItem& item) const { return item.modifiedTime; }

    // Opens the archive file and sizes it: FileNotFound or IoError (closed again) on failure.
    DecodeResult OpenArchiveFile(const std::wstring& path);
    void AddEntry(ArchiveItem item, std::uint64_t dataOffset, std::uint64_t storedLength, std::uint8_t method);

    Platform::InputFile file_;
    std::uint64_t fileSize_ = 0;
    std::uint64_t scanPosition_ = 0;
    std::wstring archivePath_;
    bool hasEncryptedItems_ = false;

private:
    std::vector<ArchiveItem> items_;
    std::vector<std::uint64_t> dataOffsets_;
    std::vector<std::uint64_t> storedLengths_;
    std::vector<std::uint8_t> methods_;
    std::wstring password_;
    std::int32_t codePage_ = -1;
    ItemProgressCallback callback_;
};

}  // namespace Arkova
