// The abstract archive reader behind every format, and its progress callbacks.
// A decoder has no locks: one thread at a time. Callbacks run on the calling thread; returning false cancels.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "archive/archive_item.h"
#include "archive/decode_result.h"
#include "archive/item_test_result.h"

namespace Arkova {

namespace FastZip {
struct ListedDirectory;
}  // namespace FastZip

using ItemProgressCallback = std::function<bool(const std::wstring& path, std::uint64_t done, std::uint64_t total)>;
using ByteProgressCallback = std::function<bool(std::uint64_t done, std::uint64_t total)>;

class IArchiveDecoder {
public:
    virtual ~IArchiveDecoder() = default;

    // Closes, remembers the path, opens and lists the archive. On failure the decoder is closed and lists nothing.
    virtual DecodeResult Open(const std::wstring& path) = 0;
    // Forgets the archive and its items; the password, code page and callback stay.
    virtual void Close() = 0;
    // Valid until the next Open, Close or destruction.
    virtual const std::vector<ArchiveItem>& Items() const = 0;
    // The entry's unpacked bytes replace the buffer's content.
    virtual DecodeResult ExtractToMemory(std::uint32_t position, std::vector<std::uint8_t>& buffer) = 0;
    // Writes the entry to exactly that path.
    virtual DecodeResult ExtractToFile(std::uint32_t position, const std::wstring& target) = 0;
    // Writes every entry below the folder.
    virtual DecodeResult ExtractAll(const std::wstring& folder) = 0;
    virtual void SetPassword(const std::wstring& password) = 0;
    virtual void SetProgressCallback(ItemProgressCallback callback) = 0;
    // -1 = not set; only the library adapter decodes names with it.
    virtual void SetCodePage(std::int32_t codePage) = 0;
    virtual bool IsOpen() const = 0;
    virtual bool HasEncryptedItems() const = 0;
    virtual std::uint64_t ItemCount() const = 0;

    // Tests the file entries at these positions in one pass of a test mode of the decoder's own, without holding
    // any entry in memory. `starting` is called before each entry; false cancels. Results come in the order of
    // `positions`. Null when the decoder has no such mode: the caller then tests entry by entry.
    virtual std::optional<DecodeResult> TestItems(const std::vector<std::uint32_t>& /*positions*/,
                                                  const std::function<bool(std::uint32_t position)>& /*starting*/,
                                                  std::vector<ItemTestResult>& /*results*/) {
        return std::nullopt;
    }
    // Streams the entry to the target like ExtractToFile, calling `progress` (bytes written, entry size) as the data
    // comes; false from it cancels (Cancelled, nothing left behind). Null when the decoder cannot stream with
    // progress: the caller then decodes into memory and writes in pieces.
    virtual std::optional<DecodeResult> ExtractToFileWithProgress(std::uint32_t /*position*/,
                                                                  const std::wstring& /*target*/,
                                                                  const ByteProgressCallback& /*progress*/) {
        return std::nullopt;
    }
    // What the last failed operation found beyond its DecodeResult, in English; empty when nothing more is known.
    virtual std::wstring LastErrorText() const { return {}; }
    // The comment of the archive as a whole (entries' comments are in their items); empty when it has none.
    virtual std::wstring ArchiveComment() const { return {}; }
    // What the operations since Open delivered but found odd (bytes after the end of a compressed stream whose
    // checksum verified), in English, each once; empty when nothing was.
    virtual std::vector<std::wstring> Warnings() const { return {}; }
    // The ZIP central directory as Open read it with the parallel engine's reader, for the engine to start from
    // instead of reading it again; null when Open read none.
    virtual std::shared_ptr<const FastZip::ListedDirectory> ZipDirectory() const { return nullptr; }
};

}  // namespace Arkova
