#include "archive/sevenzip/bit7z_decoder.h"

#include <future>
#include <unordered_map>

#include "archive/archive_context.h"

#include <new>

#include "archive/archive_text.h"
#include "archive/browser_path.h"
#include "archive/entry_path.h"
#include "archive/file_output.h"
#include "archive/sevenzip/archive_reader.h"
#include "archive/sevenzip/error.h"
#include "archive/sevenzip/formats.h"
#include "archive/sevenzip/library.h"
#include "archive/sevenzip/zip_listing.h"
#include "fastzip/central_directory.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/file_time.h"
#include "platform/text.h"

namespace Arkova {

namespace {

using SevenZip::ErrorKind;

constexpr std::size_t kLocalHeaderSize = 30;

DecodeResult ExtractResult(ErrorKind kind) {
    switch (kind) {
        case ErrorKind::PasswordNeeded:
        case ErrorKind::WrongPassword:
            return DecodeResult::PasswordRequired;
        case ErrorKind::UnsupportedMethod:
            return DecodeResult::UnsupportedFormat;
        case ErrorKind::Cancelled:
            return DecodeResult::Cancelled;
        case ErrorKind::WriteFailed:
        case ErrorKind::FileUnreadable:
            return DecodeResult::IoError;
        case ErrorKind::UnsafePath:
            return DecodeResult::UnsafePath;
        case ErrorKind::Internal:
            return DecodeResult::InternalError;
        default:
            return DecodeResult::DecompressFailed;
    }
}

DecodeResult OpenResult(ErrorKind kind) {
    switch (kind) {
        case ErrorKind::FileUnreadable:
            return DecodeResult::FileNotFound;
        case ErrorKind::PasswordNeeded:
        case ErrorKind::WrongPassword:
            return DecodeResult::PasswordRequired;
        case ErrorKind::Internal:
            return DecodeResult::InternalError;
        default:
            return DecodeResult::InvalidArchive;
    }
}

}  // namespace

Bit7zDecoder::Bit7zDecoder(std::wstring libraryPath, Detection detection)
    : libraryPath_(std::move(libraryPath)), detection_(detection) {}

Bit7zDecoder::~Bit7zDecoder() { Close(); }

DecodeResult Bit7zDecoder::Failure(DecodeResult result, const std::string& why) {
    lastError_ = Platform::Utf8ToWide(why);
    return result;
}

void Bit7zDecoder::Close() {
    listedByUs_ = false;
    reader_.reset();
    library_.reset();
    items_.clear();
    sources_.clear();
    zipDirectory_.reset();
    archivePath_.clear();
    hasEncryptedItems_ = false;
}

std::optional<std::uint32_t> Bit7zDecoder::DataPosition(std::uint32_t position) const {
    if (position >= sources_.size() || !sources_[position].isLink) return position;
    return sources_[position].position;
}

DecodeResult Bit7zDecoder::Open(const std::wstring& path) {
    Close();
    archivePath_ = path;
    lastError_.clear();
    DecodeResult result;
    try {
        result = OpenReader(path);
    } catch (const SevenZip::Error& error) {
        bool unknown = error.Kind() == ErrorKind::NotArchive || error.Kind() == ErrorKind::LibraryUnavailable;
        result = Failure(
            detection_ == Detection::AnyHandler && unknown ? DecodeResult::UnsupportedFormat : OpenResult(error.Kind()),
            error.what());
    } catch (const std::bad_alloc&) {
        result = Failure(DecodeResult::InternalError, "out of memory");
    } catch (const std::exception& error) {
        result = Failure(DecodeResult::InternalError, error.what());
    } catch (...) {
        result = Failure(DecodeResult::InternalError, "unknown failure");
    }
    if (result != DecodeResult::Ok) Close();
    return result;
}

SevenZip::OpenOptions Bit7zDecoder::ReaderOptions(const std::wstring& path) const {
    SevenZip::OpenOptions options;
    options.format = detection_ == Detection::AnyHandler ? SevenZip::kFormatAuto
                                                         : SevenZip::FormatForExtension(FileExtensionLower(path));
    options.password = password_;
    options.codePage = nameCodePage_ > 0 ? nameCodePage_ : 0;
    return options;
}

void Bit7zDecoder::StartReader() {
    if (libraryPath_.empty()) libraryPath_ = SevenZip::DefaultLibraryPath();
    library_ = std::make_shared<SevenZip::Library>(libraryPath_);
    reader_ = std::make_unique<SevenZip::ArchiveReader>(library_, archivePath_, ReaderOptions(archivePath_));
}

DecodeResult Bit7zDecoder::OpenReader(const std::wstring& path) {
    nameCodePage_ = codePage_ == 0 ? Platform::SystemAnsiCodePage() : codePage_;
    const SevenZip::OpenOptions options = ReaderOptions(path);
    if (options.format == SevenZip::kFormatZip || options.format == SevenZip::kFormatAuto) {
        Platform::LoadTimeZone();  // both reads convert DOS times
    }
    // A ZIP named so is read with our own reader first: a plain one is listed from that read alone, and the library
    // is loaded when an entry first needs it (StartLibraryWhenListedByUs).
    std::optional<FastZip::ListedDirectory> readFirst;
    if (options.format == SevenZip::kFormatZip) {
        readFirst = FastZip::ListDirectory(path, nameCodePage_);
        std::uint8_t firstBytes[kLocalHeaderSize] = {};
        Platform::InputFile file;
        const bool read = file.Open(path) && file.ReadExactAt(0, firstBytes, sizeof(firstBytes));
        if (readFirst && read) {
            if (auto items = SevenZip::ListPlainZip(*readFirst, firstBytes, sizeof(firstBytes))) {
                items_ = std::move(*items);
                zipDirectory_ = std::make_shared<const FastZip::ListedDirectory>(std::move(*readFirst));
                sources_.assign(items_.size(), DataSource{});
                listedByUs_ = true;
                return DecodeResult::Ok;
            }
        }
    }
    // The names come from our reader for every other ZIP too (see TakeZipNamesFromDirectory): one named so was read
    // above, one found by content is read on a second thread while the library opens it. Leaving by an exception
    // waits for that read too.
    std::future<std::optional<FastZip::ListedDirectory>> directory;
    if (options.format == SevenZip::kFormatAuto) {
        directory = std::async(std::launch::async, [path, nameCodePage = nameCodePage_] {
            return FastZip::ListDirectory(path, nameCodePage);
        });
    }
    StartReader();

    items_.clear();
    items_.reserve(reader_->Items().size());
    std::vector<std::optional<std::wstring>> linkTargets;
    linkTargets.reserve(reader_->Items().size());
    for (const SevenZip::ReaderItem& source : reader_->Items()) {
        linkTargets.push_back(source.linkTarget
                                  ? std::optional(ItemName(*source.linkTarget,
                                                           source.linkTargetBytes ? &*source.linkTargetBytes : nullptr))
                                  : std::nullopt);
        ArchiveItem item;
        item.path = ItemName(source.path, source.nameBytes ? &*source.nameBytes : nullptr);
        item.size = source.size;
        item.packedSize = source.packedSize;
        item.crc = source.crc;
        item.attributes = source.attributes;
        item.creationTime = source.creationTime;
        item.modifiedTime = source.modifiedTime;
        item.isDirectory = source.isDirectory;
        item.isEncrypted = source.isEncrypted;
        item.index = source.index;
        item.method = NormalizeNfc(source.method);
        item.comment = NormalizeNfc(source.comment);
        item.hostOs = NormalizeNfc(source.hostOs);
        if (item.isEncrypted) hasEncryptedItems_ = true;
        items_.push_back(std::move(item));
    }
    if (directory.valid()) readFirst = directory.get();
    if (readFirst && Platform::EqualsIgnoringCase(reader_->Format().name, L"zip")) {
        TakeZipNamesFromDirectory(std::make_shared<const FastZip::ListedDirectory>(std::move(*readFirst)));
    }
    sources_ = ResolveHardLinks(items_, linkTargets);
    InstallProgressHook();
    return DecodeResult::Ok;
}

DecodeResult Bit7zDecoder::StartLibraryWhenListedByUs() {
    if (reader_ || !listedByUs_) return reader_ ? DecodeResult::Ok : DecodeResult::InvalidArchive;
    try {
        StartReader();
        // The library must see the archive that was listed: the same entries, sizes and CRCs in the same order.
        const std::vector<SevenZip::ReaderItem>& listed = reader_->Items();
        bool same = listed.size() == items_.size();
        for (std::size_t i = 0; same && i < listed.size(); ++i) {
            same = listed[i].size == items_[i].size && listed[i].crc == items_[i].crc;
        }
        if (!same) {
            reader_.reset();
            Platform::InputFile file;
            std::uint64_t size = 0;
            if (!file.Open(archivePath_) || !file.Size(size) || size != zipDirectory_->fileSize) {
                return Failure(DecodeResult::InvalidArchive, "the archive changed after it was opened: open it again");
            }
            return Failure(DecodeResult::InvalidArchive, "the 7-Zip library reads the archive's entries differently");
        }
        InstallProgressHook();
        return DecodeResult::Ok;
    } catch (const SevenZip::Error& error) {
        reader_.reset();
        return Failure(OpenResult(error.Kind()), error.what());
    } catch (const std::bad_alloc&) {
        reader_.reset();
        return Failure(DecodeResult::InternalError, "out of memory");
    } catch (const std::exception& error) {
        reader_.reset();
        return Failure(DecodeResult::InternalError, error.what());
    } catch (...) {
        reader_.reset();
        return Failure(DecodeResult::InternalError, "unknown failure");
    }
}

// The library decodes ZIP names its own way (it drops or replaces bytes that the code page cannot read, and knows
// fewer folder marks), while the parallel engine reads them with our directory reader. The listing takes the names,
// folder flags and comments from that reader too, so that the browser, the entry-by-entry path and the engine
// agree; but only when both list the same entries in the same order. A name that differs only in its separators
// keeps the library's form, as the library gives it for every other format (no trailing separator). The directory
// is kept for the engine when it matched.
void Bit7zDecoder::TakeZipNamesFromDirectory(std::shared_ptr<const FastZip::ListedDirectory> directory) {
    const std::vector<FastZip::ZipEntry>& entries = directory->entries;
    if (entries.size() != items_.size()) return;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        const FastZip::ZipEntry& entry = entries[i];
        if (items_[i].index != i || entry.uncompressedSize != items_[i].size || entry.crc32 != items_[i].crc) return;
    }
    std::wstring entryScratch, itemScratch;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        const FastZip::ZipEntry& entry = entries[i];
        ArchiveItem& item = items_[i];
        std::wstring_view name = BrowserPathView(entry.name, entryScratch);
        if (!name.empty() && name != BrowserPathView(item.path, itemScratch)) {
            std::wstring_view stored = entry.name;
            while (!stored.empty() && (stored.back() == L'/' || stored.back() == L'\\')) stored.remove_suffix(1);
            item.path = stored;
        }
        if (entry.isDirectory) item.attributes |= 0x10u;
        item.isDirectory = entry.isDirectory;
        if (!entry.comment.empty()) item.comment = entry.comment;
    }
    zipDirectory_ = std::move(directory);
}

// Names the library decoded itself (Unicode formats, UTF-8-flagged names, and on Windows every name) are taken as
// they are, normalised. Names it handed back as raw bytes are decoded here, by the rule every format of unstated
// encoding follows.
std::wstring Bit7zDecoder::ItemName(const std::wstring& libraryText, const std::string* nameBytes) const {
    if (nameBytes != nullptr) return DecodeLegacyName(*nameBytes, codePage_);
    return DecodeItemName(WideToUtf8(libraryText), -1);
}

std::vector<std::wstring> Bit7zDecoder::Warnings() const {
    return reader_ ? reader_->Warnings() : std::vector<std::wstring>();
}

void Bit7zDecoder::InstallProgressHook() {
    if (!reader_) return;
    if (!callback_) {
        reader_->SetProgressHook({});
        return;
    }
    reader_->SetProgressHook([this](std::uint64_t done, std::uint64_t total) {
        return callback_ ? callback_(std::wstring(), done, total) : true;
    });
}

void Bit7zDecoder::SetPassword(const std::wstring& password) {
    password_ = password;
    if (reader_) reader_->SetPassword(password);
}

void Bit7zDecoder::SetProgressCallback(ItemProgressCallback callback) {
    callback_ = std::move(callback);
    InstallProgressHook();
}

DecodeResult Bit7zDecoder::ExtractToMemory(std::uint32_t position, std::vector<std::uint8_t>& buffer) {
    lastError_.clear();
    if (!IsOpen() || position >= items_.size()) return DecodeResult::FileNotFound;
    if (DecodeResult started = StartLibraryWhenListedByUs(); started != DecodeResult::Ok) return started;
    std::optional<std::uint32_t> dataPosition = DataPosition(position);
    if (!dataPosition) {
        return Failure(DecodeResult::DecompressFailed, Platform::WideToUtf8(UnresolvedLinkText(sources_[position])));
    }
    try {
        std::vector<std::uint8_t> data;
        reader_->ExtractToBuffer(items_[*dataPosition].index, data);
        buffer = std::move(data);
        return DecodeResult::Ok;
    } catch (const SevenZip::Error& error) {
        return Failure(ExtractResult(error.Kind()), error.what());
    } catch (const std::bad_alloc&) {
        return Failure(DecodeResult::InternalError, "out of memory");
    } catch (const std::exception& error) {
        return Failure(DecodeResult::InternalError, error.what());
    } catch (...) {
        return Failure(DecodeResult::InternalError, "unknown failure");
    }
}

DecodeResult Bit7zDecoder::ExtractToFile(std::uint32_t position, const std::wstring& target) {
    if (!IsOpen() || position >= items_.size()) return DecodeResult::FileNotFound;
    std::vector<std::uint8_t> data;
    DecodeResult result = ExtractToMemory(position, data);
    if (result != DecodeResult::Ok) return result;
    std::size_t separator = Platform::LastSeparator(target);
    if (separator != std::wstring::npos) Platform::MakeDirectories(target.substr(0, separator));
    if (!WriteFileReplacing(target, data, items_[position].modifiedTime)) {
        return Failure(DecodeResult::IoError, "cannot write " + Platform::WideToUtf8(target));
    }
    return DecodeResult::Ok;
}

std::optional<DecodeResult> Bit7zDecoder::TestItems(const std::vector<std::uint32_t>& positions,
                                                    const std::function<bool(std::uint32_t)>& starting,
                                                    std::vector<ItemTestResult>& results) {
    lastError_.clear();
    results.clear();
    if (!IsOpen()) return DecodeResult::InvalidArchive;
    if (DecodeResult started = StartLibraryWhenListedByUs(); started != DecodeResult::Ok) return started;
    std::vector<std::uint32_t> indices;
    std::unordered_map<std::uint32_t, std::uint32_t> positionOf;
    // A hard link is tested by testing its source, once however many links share it.
    for (std::uint32_t position : positions) {
        if (position >= items_.size()) continue;
        std::optional<std::uint32_t> dataPosition = DataPosition(position);
        if (!dataPosition) continue;
        if (positionOf.emplace(items_[*dataPosition].index, position).second) {
            indices.push_back(items_[*dataPosition].index);
        }
    }
    std::vector<SevenZip::TestSink::Outcome> outcomes;
    DecodeResult runResult = DecodeResult::Ok;
    try {
        outcomes = reader_->TestItems(indices, [&](std::uint32_t index) {
            auto found = positionOf.find(index);
            return found == positionOf.end() || !starting || starting(found->second);
        });
    } catch (const SevenZip::Error& error) {
        // The entries tested before the run failed keep their own results.
        runResult = Failure(ExtractResult(error.Kind()), error.what());
        outcomes = reader_->LastTestOutcomes();
    } catch (const std::exception& error) {
        runResult = Failure(DecodeResult::InternalError, error.what());
        outcomes = reader_->LastTestOutcomes();
    }
    for (std::uint32_t position : positions) {
        if (position >= items_.size()) continue;
        const ArchiveItem& item = items_[position];
        ItemTestResult result;
        result.index = item.index;
        result.path = item.path;
        result.expectedCrc = item.crc;
        std::optional<std::uint32_t> dataPosition = DataPosition(position);
        if (!dataPosition) {
            if (runResult == DecodeResult::Cancelled) break;
            result.error = DecodeResult::DecompressFailed;
            results.push_back(std::move(result));
            continue;
        }
        const ArchiveItem& data = items_[*dataPosition];
        const SevenZip::TestSink::Outcome* outcome = data.index < outcomes.size() ? &outcomes[data.index] : nullptr;
        if (runResult == DecodeResult::Cancelled && (outcome == nullptr || !outcome->delivered)) break;
        if (outcome == nullptr || !outcome->delivered) {
            if (data.isEncrypted && password_.empty()) {
                result.error = DecodeResult::PasswordRequired;
            } else {
                result.error = runResult != DecodeResult::Ok ? runResult : DecodeResult::DecompressFailed;
            }
        } else if (outcome->result != SevenZip::kResultOk) {
            SevenZip::ErrorKind kind = reader_->KindOfResult(data.index, outcome->result);
            result.error = kind == SevenZip::ErrorKind::CrcError ? DecodeResult::CrcMismatch : ExtractResult(kind);
        } else {
            result.actualCrc = outcome->crcComputed ? outcome->crc : item.crc;
            result.ok = item.crc == 0 || result.actualCrc == item.crc;
            if (!result.ok) result.error = DecodeResult::CrcMismatch;
        }
        results.push_back(std::move(result));
    }
    return runResult;
}

DecodeResult Bit7zDecoder::ExtractAll(const std::wstring& folder) {
    lastError_.clear();
    if (!IsOpen()) return DecodeResult::InvalidArchive;
    if (DecodeResult started = StartLibraryWhenListedByUs(); started != DecodeResult::Ok) return started;
    DecodeResult result = DecodeResult::Ok;
    try {
        std::vector<SevenZip::FolderEntry> entries(reader_->Items().size());
        for (const ArchiveItem& item : items_) {
            if (item.index < entries.size()) entries[item.index] = {item.path, item.isDirectory, item.modifiedTime};
        }
        reader_->ExtractAll(folder, entries);
    } catch (const SevenZip::Error& error) {
        result = Failure(ExtractResult(error.Kind()), error.what());
    } catch (const std::bad_alloc&) {
        result = Failure(DecodeResult::InternalError, "out of memory");
    } catch (const std::exception& error) {
        result = Failure(DecodeResult::InternalError, error.what());
    } catch (...) {
        result = Failure(DecodeResult::InternalError, "unknown failure");
    }
    if (result == DecodeResult::Cancelled) return result;
    // The library wrote each hard link as its own empty data: it gets its source's.
    std::wstring firstError = lastError_;
    for (std::uint32_t position = 0; position < items_.size(); ++position) {
        if (!sources_[position].isLink) continue;
        std::wstring target;
        if (!SafeOutputPath(folder, items_[position].path, target)) continue;  // refused by the pass already
        DecodeResult linked = ExtractToFile(position, target);
        // Not the empty file the pass left: a link that could not be given its data is missing, and reported.
        if (linked != DecodeResult::Ok) Platform::RemoveFile(target);
        if (linked != DecodeResult::Ok && result == DecodeResult::Ok) {
            result = linked;
            firstError = lastError_;
        }
    }
    lastError_ = firstError;
    return result;
}

}  // namespace Arkova
