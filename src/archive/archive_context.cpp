#include "archive/archive_context.h"

#include "archive/crc32.h"
#include "archive/decoder_factory.h"
#include "archive/file_output.h"
#include "platform/file_system.h"
#include "platform/file_time.h"

namespace Arkova {

namespace {

constexpr std::uint64_t kChunkedExtractThreshold = 1024 * 1024;
constexpr std::size_t kWritePiece = 256 * 1024;

const std::vector<ArchiveItem> kNoItems;

ParallelTester& InstalledParallelTester() {
    static ParallelTester tester;
    return tester;
}

}  // namespace

void ArchiveContext::SetParallelTester(ParallelTester tester) { InstalledParallelTester() = std::move(tester); }

ArchiveContext::~ArchiveContext() {
    if (decoder_) decoder_->Close();
}

const std::vector<ArchiveItem>& ArchiveContext::Items() const { return decoder_ ? decoder_->Items() : kNoItems; }

void ArchiveContext::SetCodePage(std::int32_t codePage) {
    codePage_ = codePage;
    if (decoder_) decoder_->SetCodePage(codePage);
}

void ArchiveContext::CloseArchive() {
    if (decoder_) decoder_->Close();
    decoder_.reset();
    archivePath_.clear();
    format_ = ArchiveFormat::Unrecognized;
}

DecodeResult ArchiveContext::OpenArchive(const std::wstring& path) {
    if (decoder_) {
        decoder_->Close();
        decoder_.reset();
    }
    archivePath_ = path;
    format_ = DetectArchiveFormat(path);
    // The tables decide first; what they do not know, the library's handlers may still recognise by content.
    bool detecting = format_ == ArchiveFormat::Unrecognized;
    decoder_ = detecting ? CreateDetectingDecoder(libraryPath_) : CreateDecoder(format_, libraryPath_);
    if (!decoder_) return DecodeResult::UnsupportedFormat;
    if (!password_.empty()) decoder_->SetPassword(password_);
    if (itemCallback_) decoder_->SetProgressCallback(itemCallback_);
    if (codePage_ != -1) decoder_->SetCodePage(codePage_);
    DecodeResult result = decoder_->Open(path);
    // A file that no reader knows leaves no decoder behind, as before the library was asked.
    if (detecting && result == DecodeResult::UnsupportedFormat) decoder_.reset();
    return result;
}

DecodeResult ArchiveContext::ExtractItemToFile(std::uint32_t position, const std::wstring& target,
                                               const ByteProgressCallback& progress) {
    if (!decoder_) return DecodeResult::InvalidArchive;
    if (position >= decoder_->ItemCount()) return DecodeResult::FileNotFound;
    const ArchiveItem& item = decoder_->Items()[position];
    const std::uint64_t size = item.size;
    if (!progress) return decoder_->ExtractToFile(position, target);
    if (size < kChunkedExtractThreshold) {
        progress(0, size);
        DecodeResult result = decoder_->ExtractToFile(position, target);
        progress(size, size);
        return result;
    }

    if (!progress(0, size)) return DecodeResult::Cancelled;
    std::optional<DecodeResult> streamed = decoder_->ExtractToFileWithProgress(position, target, progress);
    if (streamed.has_value()) return *streamed;
    std::vector<std::uint8_t> data;
    DecodeResult result = decoder_->ExtractToMemory(position, data);
    if (result != DecodeResult::Ok) return result;
    // The library checks its own entries; the native readers leave it to the caller.
    if (item.crc != 0 && Crc32(data) != item.crc) return DecodeResult::CrcMismatch;
    std::size_t separator = Platform::LastSeparator(target);
    if (separator != std::wstring::npos) Platform::MakeDirectories(target.substr(0, separator));
    std::uint64_t stamp = ModifiedTimeUtc(item);
    bool cancelled = false;
    bool written = WriteFileReplacing(target, data, stamp, kWritePiece, [&](std::uint64_t done, std::uint64_t total) {
        cancelled = !progress(done, total);
        return !cancelled;
    });
    if (cancelled) return DecodeResult::Cancelled;
    return written ? DecodeResult::Ok : DecodeResult::IoError;
}

std::uint64_t ArchiveContext::ModifiedTimeUtc(const ArchiveItem& item) const {
    // ALZ keeps wall-clock DOS times; the other readers give UTC.
    if (item.modifiedTime != 0 && format_ == ArchiveFormat::Alz) return Platform::LocalFileTimeToUtc(item.modifiedTime);
    return item.modifiedTime;
}

ItemTestResult ArchiveContext::TestItem(std::uint32_t index) {
    ItemTestResult result;
    result.index = index;
    if (!decoder_ || !decoder_->IsOpen()) {
        result.error = DecodeResult::InternalError;
        return result;
    }
    if (index >= decoder_->ItemCount()) {
        result.error = DecodeResult::FileNotFound;
        return result;
    }
    const ArchiveItem& item = decoder_->Items()[index];
    result.index = item.index;
    result.path = item.path;
    result.expectedCrc = item.crc;
    if (item.isDirectory) {
        result.ok = true;
        return result;
    }
    std::vector<std::uint8_t> data;
    result.error = decoder_->ExtractToMemory(index, data);
    if (result.error != DecodeResult::Ok) return result;
    result.actualCrc = Crc32(data);
    result.ok = item.crc == 0 || item.crc == result.actualCrc;
    if (!result.ok) result.error = DecodeResult::CrcMismatch;
    return result;
}

std::vector<ItemTestResult> ArchiveContext::TestAll(const TestProgressCallback& callback) {
    std::vector<ItemTestResult> results;
    if (!decoder_ || !decoder_->IsOpen()) return results;
    if (const ParallelTester& tester = InstalledParallelTester()) {
        std::optional<std::vector<ItemTestResult>> tested = tester(*this, callback);
        if (tested.has_value()) return std::move(*tested);
    }
    const std::vector<ArchiveItem>& items = decoder_->Items();
    std::uint32_t total = 0;
    for (const ArchiveItem& item : items) total += item.isDirectory ? 0 : 1;
    std::uint32_t current = 0;
    // A decoder with a test mode of its own (the library's) tests every entry in one pass, holding none in memory.
    std::vector<std::uint32_t> positions;
    for (std::uint32_t i = 0; i < items.size(); ++i) {
        if (!items[i].isDirectory) positions.push_back(i);
    }
    auto starting = [&](std::uint32_t position) {
        return !callback || callback(++current, total, items[position].path);
    };
    if (decoder_->TestItems(positions, starting, results).has_value()) return results;
    for (std::uint32_t i = 0; i < items.size(); ++i) {
        if (items[i].isDirectory) continue;
        ++current;
        if (callback && !callback(current, total, items[i].path)) break;
        results.push_back(TestItem(i));
    }
    return results;
}

}  // namespace Arkova
