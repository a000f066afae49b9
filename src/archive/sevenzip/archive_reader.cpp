#include "archive/sevenzip/archive_reader.h"

#include <algorithm>
#include <cwctype>
#include <numeric>

#include "archive/sevenzip/library_text.h"
#include "archive/sevenzip/prop_value.h"
#include "platform/file_system.h"
#include "platform/text.h"

namespace Arkova::SevenZip {

namespace {

// How far a handler may look for the start of its archive (self-extractor stubs and the like).
constexpr std::uint64_t kMaxStartSearch = 1u << 22;

std::string Hex(HResult value) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text = "0x";
    for (int shift = 28; shift >= 0; shift -= 4) text += kDigits[(static_cast<std::uint32_t>(value) >> shift) & 0xF];
    return text;
}

// Single-stream formats (gz, xz, ...) often store no name: the item is named after the archive, as archivers do.
std::wstring NameFromArchive(const std::wstring& archivePath) {
    std::size_t separator = Platform::LastSeparator(archivePath);
    std::wstring name = separator == std::wstring::npos ? archivePath : archivePath.substr(separator + 1);
    std::size_t dot = name.rfind(L'.');
    std::wstring extension;
    if (dot != std::wstring::npos && dot > 0) {
        extension = name.substr(dot + 1);
        for (wchar_t& c : extension) c = static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(c)));
        name.erase(dot);
    }
    if (extension == L"tgz" || extension == L"tbz" || extension == L"tbz2" || extension == L"txz") name += L".tar";
    return name.empty() ? std::wstring(L"data") : name;
}

#ifndef _WIN32
// Off Windows the library turns name bytes it cannot decode into one character each, U+0080 to U+00FF.
std::optional<std::string> ByteCharacters(const std::wstring& text) {
    bool high = false;
    std::string bytes;
    for (wchar_t c : text) {
        if (static_cast<std::uint32_t>(c) > 0xFF) return std::nullopt;
        if (c >= 0x80) high = true;
        bytes += static_cast<char>(static_cast<unsigned char>(c));
    }
    if (!high) return std::nullopt;
    return bytes;
}
#endif

const char* KindText(ErrorKind kind) {
    switch (kind) {
        case ErrorKind::PasswordNeeded:
            return "a password is needed";
        case ErrorKind::WrongPassword:
            return "wrong password";
        case ErrorKind::UnsupportedMethod:
            return "the 7-Zip library has no decoder for the compression method (Debian's 7-Zip builds carry no "
                   "RAR decoder)";
        case ErrorKind::DataError:
            return "damaged or truncated data";
        case ErrorKind::CrcError:
            return "CRC mismatch";
        case ErrorKind::WriteFailed:
            return "the output could not be written";
        case ErrorKind::UnsafePath:
            return "the path would leave the destination folder; not written";
        case ErrorKind::Cancelled:
            return "cancelled";
        default:
            return "extraction failed";
    }
}

}  // namespace

ArchiveReader::ArchiveReader(std::shared_ptr<const Library> library, const std::wstring& path,
                             const OpenOptions& options)
    : library_(std::move(library)), archivePath_(path), password_(options.password) {
    Platform::InputFile file;
    std::uint64_t size = 0;
    if (!file.Open(path) || !file.Size(size)) {
        throw Error(ErrorKind::FileUnreadable, "the archive cannot be opened: " + Platform::WideToUtf8(path));
    }
    stream_ = ComPtr<FileInStream>(new FileInStream(std::move(file), size));

    std::vector<const FormatInfo*> candidates;
    if (options.format == kFormatAuto) {
        candidates = DetectionOrder(*library_, stream_->Head(kDetectionHeadSize));
    } else if (const FormatInfo* format = library_->FindFormat(options.format)) {
        candidates.push_back(format);
    } else {
        // The Windows library built without RAR has no RAR handlers at all.
        throw Error(ErrorKind::NotArchive,
                    "the 7-Zip library in use has no handler for this format" +
                        std::string(options.format == kFormatRar5 ? " (it was built without RAR)" : ""));
    }
    for (const FormatInfo* format : candidates) {
        if (TryOpen(*format, options)) {
            format_ = format;
            if (IsSingleStreamFormat(*format)) TryOpenTarball(options);
            ListItems();
            NoteOpenProblems();
            return;
        }
    }
    throw Error(ErrorKind::NotArchive, "no format handler of the 7-Zip library accepts the file");
}

ArchiveReader::~ArchiveReader() {
    if (archive_) archive_->Close();
    archive_.Reset();
    // The tar handler is done with the stream: its worker ends before the handler it reads from closes.
    if (tarball_) tarball_->Stop();
    tarball_.Reset();
    if (outer_) outer_->Close();
}

bool ArchiveReader::TryOpenTarball(const OpenOptions& options) {
    std::uint32_t count = 0;
    if (archive_->GetNumberOfItems(&count) != kOk || count != 1) return false;
    const FormatInfo* tar = library_->FindFormat(kFormatTar);
    if (tar == nullptr) return false;
    ComPtr<IInArchive> inner = library_->CreateArchive(*tar);
    if (!inner) return false;
    SetCodePage(*inner.Get(), *tar, options);
    ComPtr<DecompressedStream> stream(new DecompressedStream(library_, archive_.Get()));
    CallbackState state(*library_, std::wstring());
    ComPtr<OpenCallback> callback(new OpenCallback(state));
    const std::uint64_t noStartSearch = 0;
    HResult result = inner->Open(stream.Get(), &noStartSearch, callback.Get());
    std::uint32_t innerCount = 0;
    if (result != kOk || inner->GetNumberOfItems(&innerCount) != kOk || innerCount == 0) {
        inner->Close();
        inner.Reset();
        stream->Stop();
        return false;
    }
    outer_ = std::move(archive_);
    outerFormat_ = format_;
    archive_ = std::move(inner);
    tarball_ = std::move(stream);
    format_ = tar;
    return true;
}

void ArchiveReader::Warn(const std::wstring& text) {
    if (std::find(warnings_.begin(), warnings_.end(), text) == warnings_.end()) warnings_.push_back(text);
}

void ArchiveReader::CheckTarballStream(bool toTheEnd) {
    if (!tarball_) return;
    if (toTheEnd) tarball_->Drain();
    std::optional<std::int32_t> result = tarball_->OuterResult();
    if (!result || *result == kResultOk) return;
    std::string compression = Platform::WideToUtf8(outerFormat_->name);
    if (*result == kResultDataAfterEnd) {
        Warn(L"the " + outerFormat_->name + L" stream is followed by bytes that belong to nothing; they were ignored");
        return;
    }
    if (*result == kResultUnexpectedEnd)
        throw Error(ErrorKind::DataError, "the " + compression + " stream is cut short");
    throw Error(result == kResultCrcError ? ErrorKind::CrcError : ErrorKind::DataError,
                "the " + compression + " stream around the tar is damaged");
}

void ArchiveReader::SetCodePage(IInArchive& archive, const FormatInfo& format, const OpenOptions& options) {
    if (options.codePage <= 0 || !TakesCodePageProperty(format)) return;
    ComPtr<ISetProperties> properties;
    if (archive.QueryInterface(kIidSetProperties, properties.OutAddress()) == kOk && properties) {
        const wchar_t* names[] = {L"cp"};
        PropVariant value{};
        value.vt = kVtUi4;
        value.ui4 = static_cast<std::uint32_t>(options.codePage);
        properties->SetProperties(names, &value, 1);  // a handler that refuses keeps its default
    }
}

bool ArchiveReader::TryOpen(const FormatInfo& format, const OpenOptions& options) {
    ComPtr<IInArchive> archive = library_->CreateArchive(format);
    if (!archive) return false;
    SetCodePage(*archive.Get(), format, options);
    std::uint64_t position = 0;
    stream_->Seek(0, 0, &position);
    CallbackState state(*library_, options.password);
    ComPtr<OpenCallback> callback(new OpenCallback(state));
    HResult result = archive->Open(stream_.Get(), &kMaxStartSearch, callback.Get());
    state.RethrowIfCaught();
    if (result == kOk) {
        archive_ = std::move(archive);
        return true;
    }
    archive->Close();
    // Encrypted headers: a wrong password looks like "not this format", only the request for one tells.
    if (state.PasswordAsked()) {
        if (state.PasswordMissing()) throw Error(ErrorKind::PasswordNeeded, "the archive's headers are encrypted");
        throw Error(ErrorKind::WrongPassword, "wrong password for the archive's encrypted headers");
    }
    return false;
}

void ArchiveReader::NoteOpenProblems() {
    PropValue value(*library_);
    std::uint32_t flags = 0;
    for (PropId id : {kPidErrorFlags, kPidWarningFlags}) {
        if (archive_->GetArchiveProperty(id, value.Out()) == kOk) {
            flags |= static_cast<std::uint32_t>(value.Number().value_or(0));
        }
    }
    if ((flags & kArchiveHeadersError) != 0) {
        Warn(L"the archive's headers are damaged: entries after the damage are not listed");
    }
    if ((flags & kArchiveUnexpectedEnd) != 0) Warn(L"the archive is cut short: entries at its end are missing");
    if ((flags & kArchiveDataAfterEnd) != 0) Warn(L"bytes after the end of the archive were ignored");
    std::uint32_t others =
        flags & ~(kArchiveIsNotArc | kArchiveHeadersError | kArchiveUnexpectedEnd | kArchiveDataAfterEnd);
    if (others != 0) {
        static const char kDigits[] = "0123456789ABCDEF";
        std::wstring hex;
        for (int shift = 12; shift >= 0; shift -= 4) hex += static_cast<wchar_t>(kDigits[(others >> shift) & 0xF]);
        Warn(L"the 7-Zip library reports problems with the archive (flags 0x" + hex + L")");
    }
}

void ArchiveReader::ListItems() {
    std::uint32_t count = 0;
    if (archive_->GetNumberOfItems(&count) != kOk) {
        throw Error(ErrorKind::NotArchive, "the library cannot count the archive's items");
    }
    items_.clear();
    items_.reserve(std::min<std::uint32_t>(count, 1u << 20));
    for (std::uint32_t i = 0; i < count; ++i) items_.push_back(ReadItem(i));
}

ReaderItem ArchiveReader::ReadItem(std::uint32_t index) {
    ReaderItem item;
    item.index = index;
    PropValue value(*library_);
    auto get = [&](PropId id) -> PropValue& {
        if (archive_->GetProperty(index, id, value.Out()) != kOk) value.Clear();
        return value;
    };
    item.path = get(kPidPath).Text().value_or(L"");
    if (item.path.empty()) item.path = get(kPidName).Text().value_or(L"");
    if (item.path.empty()) item.path = NameFromArchive(archivePath_);
#ifndef _WIN32
    if (HasCodePageNames(*format_)) item.nameBytes = ByteCharacters(item.path);
#endif
    item.size = get(kPidSize).Number().value_or(0);
    item.packedSize = get(kPidPackSize).Number().value_or(0);
    if (!CrcIsNotCrc32(*format_)) item.crc = static_cast<std::uint32_t>(get(kPidCrc).Number().value_or(0));
    item.attributes = static_cast<std::uint32_t>(get(kPidAttrib).Number().value_or(0));
    item.isDirectory = get(kPidIsDir).Flag().value_or(false);
    item.isEncrypted = get(kPidEncrypted).Flag().value_or(false);
    item.modifiedTime = get(kPidMTime).FileTime().value_or(0);
    item.creationTime = get(kPidCTime).FileTime().value_or(0);
    item.method = get(kPidMethod).Rendered().value_or(L"");
    item.comment = get(kPidComment).Rendered().value_or(L"");
    item.hostOs = get(kPidHostOs).Rendered().value_or(L"");
    // A link that carries data (a tar hard link with a size) is an ordinary entry.
    if (!item.isDirectory && item.size == 0) {
        for (PropId id : {kPidHardLink, kPidCopyLink}) {
            std::optional<std::wstring> target = get(id).Text();
            if (target && !target->empty()) {
                item.linkTarget = std::move(target);
#ifndef _WIN32
                if (HasCodePageNames(*format_)) item.linkTargetBytes = ByteCharacters(*item.linkTarget);
#endif
                break;
            }
        }
    }
    return item;
}

HResult ArchiveReader::RunExtract(const std::vector<std::uint32_t>& indices, ExtractSink& sink, bool testMode) {
    CallbackState state(*library_, password_);
    ProgressRelay progress(hook_);
    ComPtr<ExtractCallback> callback(new ExtractCallback(state, progress, sink));
    HResult result =
        archive_->Extract(indices.data(), static_cast<std::uint32_t>(indices.size()), testMode ? 1 : 0, callback.Get());
    state.RethrowIfCaught();
    for (std::uint32_t index : state.ItemsWithDataAfterEnd()) {
        std::wstring name = index < items_.size() ? items_[index].path : std::to_wstring(index);
        Warn(L"'" + name + L"' is followed by bytes that belong to nothing; they were ignored");
    }
    if (progress.Stopped()) throw Error(ErrorKind::Cancelled, "extraction was cancelled");
    if (state.PasswordMissing()) throw Error(ErrorKind::PasswordNeeded, "the item is encrypted and no password is set");
    return result;
}

void ArchiveReader::ThrowLibraryFailure(HResult result) const {
    throw Error(ErrorKind::DataError, "the 7-Zip library failed with HRESULT " + Hex(result));
}

ErrorKind ArchiveReader::KindOfResult(std::uint32_t index, std::int32_t result) const {
    bool encrypted = index < items_.size() && items_[index].isEncrypted;
    switch (result) {
        case kResultUnsupportedMethod:
            return ErrorKind::UnsupportedMethod;
        case kResultWrongPassword:
            return ErrorKind::WrongPassword;
        // Formats without a password check (7z) show a wrong password as damaged data.
        case kResultCrcError:
            return encrypted && !password_.empty() ? ErrorKind::WrongPassword : ErrorKind::CrcError;
        default:
            return encrypted && !password_.empty() ? ErrorKind::WrongPassword : ErrorKind::DataError;
    }
}

void ArchiveReader::ThrowItemFailures(const std::vector<ItemFailure>& failures) const {
    // A refused path is reported only when nothing worse happened.
    auto kindOf = [this](const ItemFailure& f) {
        return f.result != kResultOk ? KindOfResult(f.index, f.result) : f.ourKind;
    };
    auto worst = std::find_if(failures.begin(), failures.end(),
                              [&kindOf](const ItemFailure& f) { return kindOf(f) != ErrorKind::UnsafePath; });
    const ItemFailure& first = worst != failures.end() ? *worst : failures.front();
    ErrorKind kind = kindOf(first);
    std::vector<std::wstring> names;
    for (const ItemFailure& failure : failures) {
        names.push_back(failure.index < items_.size() ? items_[failure.index].path : std::to_wstring(failure.index));
    }
    std::string message = std::string(KindText(kind)) + ": " +
                          Platform::WideToUtf8(names[static_cast<std::size_t>(&first - failures.data())]);
    if (failures.size() > 1) message += " and " + std::to_string(failures.size() - 1) + " other item(s)";
    throw Error(kind, message, std::move(names));
}

void ArchiveReader::ExtractToBuffer(std::uint32_t index, std::vector<std::uint8_t>& buffer) {
    if (index >= items_.size()) throw Error(ErrorKind::Internal, "no item " + std::to_string(index));
    MemorySink sink(index);
    if (items_[index].isDirectory) {
        buffer.clear();
        return;
    }
    HResult result = RunExtract({index}, sink);
    // A damaged compressed stream around a tar says more than the tar handler's failure it causes.
    if (result != kOk || !sink.Delivered() || sink.Result() != kResultOk) CheckTarballStream(false);
    // The item's own result says more than the call's.
    if (sink.Delivered() && sink.Result() != kResultOk)
        ThrowItemFailures({{index, sink.Result(), ErrorKind::DataError}});
    if (result != kOk) ThrowLibraryFailure(result);
    if (!sink.Delivered()) throw Error(ErrorKind::DataError, "the library did not deliver the item");
    // After the last item only the tar's end remains: read the compressed stream out, so that bytes after it are
    // warned of (or a bad checksum reported) on the entry-by-entry path too.
    if (index + 1 == items_.size()) CheckTarballStream(true);
    buffer = std::move(sink.Data());
}

std::vector<TestSink::Outcome> ArchiveReader::TestItems(const std::vector<std::uint32_t>& indices,
                                                        const std::function<bool(std::uint32_t)>& starting) {
    std::vector<bool> needsCrc(items_.size(), false);
    std::vector<std::uint32_t> tested;
    tested.reserve(indices.size());
    for (std::uint32_t index : indices) {
        if (index >= items_.size() || items_[index].isDirectory) continue;
        // Without a password the library would stop the whole run at the first encrypted item.
        if (items_[index].isEncrypted && password_.empty()) continue;
        needsCrc[index] = items_[index].crc == 0;
        tested.push_back(index);
    }
    // The library wants its indices in ascending order.
    std::sort(tested.begin(), tested.end());
    tested.erase(std::unique(tested.begin(), tested.end()), tested.end());
    TestSink sink(starting, std::move(needsCrc));
    lastTestOutcomes_.clear();
    if (!tested.empty()) {
        HResult result = kOk;
        try {
            result = RunExtract(tested, sink, true);
            CheckTarballStream(true);
        } catch (...) {
            lastTestOutcomes_ = sink.Outcomes();
            throw;
        }
        lastTestOutcomes_ = sink.Outcomes();
        if (result != kOk && result != kFalse) ThrowLibraryFailure(result);
    }
    lastTestOutcomes_ = sink.Outcomes();
    return lastTestOutcomes_;
}

void ArchiveReader::ExtractAll(const std::wstring& folder, const std::vector<FolderEntry>& entries) {
    if (!Platform::MakeDirectories(folder)) {
        throw Error(ErrorKind::WriteFailed, "the folder cannot be created: " + Platform::WideToUtf8(folder));
    }
    std::vector<std::uint32_t> indices(items_.size());
    std::iota(indices.begin(), indices.end(), 0u);
    FolderSink sink(folder, entries);
    HResult result = RunExtract(indices, sink);
    sink.Complete();
    CheckTarballStream(true);
    if (!sink.Failures().empty()) ThrowItemFailures(sink.Failures());
    if (result != kOk) ThrowLibraryFailure(result);
}

}  // namespace Arkova::SevenZip
