#include "archive/rar/rar_decoder.h"

#include <algorithm>
#include <map>
#include <new>

#include "archive/archive_format.h"
#include "archive/archive_text.h"
#include "archive/crc32.h"
#include "archive/entry_path.h"
#include "archive/file_output.h"
#include "archive/rar/rar4_names.h"
#include "archive/rar/read_ahead_pass.h"
#include "archive/rar/unrar_archive.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/text.h"

namespace Arkova {

namespace {

constexpr std::uint32_t kHostUnix = 3;
constexpr std::uint32_t kAttributeReadOnly = 0x01;
constexpr std::uint32_t kAttributeDirectory = 0x10;
constexpr std::uint32_t kAttributeArchive = 0x20;
constexpr std::uint32_t kHashCrc32 = 1;
constexpr std::uint32_t kUnixLink = 1;
constexpr std::uint32_t kHardLink = 4;
constexpr std::uint32_t kFileCopy = 5;
constexpr std::size_t kCopyPiece = 1 << 20;
// A link's data (a RAR 4 Unix link stores its target as the entry's data) is never more than a path.
constexpr std::size_t kLinkDataLimit = 64 * 1024;

std::uint32_t WindowsAttributes(const Rar::Header& header) {
    if (header.hostOs != kHostUnix) return header.attributes | (header.directory ? kAttributeDirectory : 0);
    std::uint32_t attributes = header.directory ? kAttributeDirectory : kAttributeArchive;
    if ((header.attributes & 0200) == 0) attributes |= kAttributeReadOnly;
    return attributes;
}

std::wstring HostText(std::uint32_t host) {
    switch (host) {
        case 0:
            return L"MS DOS";
        case 1:
            return L"OS/2";
        case 2:
            return L"Windows";
        case 3:
            return L"Unix";
        default:
            return std::to_wstring(host);
    }
}

std::wstring MethodText(const Rar::Header& header) {
    if (header.method < 0x30 || header.method > 0x35) return std::to_wstring(header.method);
    std::wstring text = header.method == 0x30 ? L"Store" : L"m" + std::to_wstring(header.method - 0x30);
    if (header.method != 0x30 && header.dictionary != 0) {
        text += L":" + std::to_wstring(header.dictionary >= 1024 ? header.dictionary / 1024 : header.dictionary) +
                (header.dictionary >= 1024 ? L"M" : L"K");
    }
    return text;
}

// ASCII is its own NFC form: most names are, and normalizing costs a round trip through UTF-8.
std::wstring NfcName(const std::wstring& name) {
    return std::all_of(name.begin(), name.end(), [](wchar_t c) { return c < 0x80; }) ? name : NormalizeNfc(name);
}

// The RAR 4 names of each volume, read when a header from it first comes by.
class StoredNames {
public:
    const Rar::StoredName* Next(const std::wstring& volume) {
        auto found = volumes_.find(volume);
        if (found == volumes_.end()) found = volumes_.emplace(volume, Volume{Rar::ReadRar4Names(volume), 0}).first;
        Volume& names = found->second;
        return names.next < names.names.size() ? &names.names[names.next++] : nullptr;
    }

private:
    struct Volume {
        std::vector<Rar::StoredName> names;
        std::size_t next;
    };
    std::map<std::wstring, Volume> volumes_;
};

}  // namespace

RarDecoder::RarDecoder() = default;

RarDecoder::~RarDecoder() { Close(); }

void RarDecoder::Close() {
    EndPass();
    items_.clear();
    links_.clear();
    sources_.clear();
    linkSources_.clear();
    written_.clear();
    archivePath_.clear();
    comment_.clear();
    open_ = false;
    solid_ = false;
    hasEncryptedItems_ = false;
}

void RarDecoder::EndPass() { pass_.reset(); }

void RarDecoder::SetPassword(const std::wstring& password) {
    if (password == password_) return;
    password_ = password;
    // The library takes the password when a pass opens.
    EndPass();
}

DecodeResult RarDecoder::Fail(DecodeResult result, std::wstring why) {
    lastError_ = std::move(why);
    return result;
}

DecodeResult RarDecoder::LibraryFailure(int code, const std::wstring& missingVolume, bool opening) {
    if (!missingVolume.empty()) return Fail(DecodeResult::FileNotFound, L"missing volume: " + missingVolume);
    switch (code) {
        case Rar::kMissingPassword:
            return Fail(DecodeResult::PasswordRequired, L"a password is needed");
        case Rar::kBadPassword:
            return Fail(DecodeResult::PasswordRequired, L"wrong password");
        case Rar::kOpenFailed:
            return Fail(opening ? DecodeResult::FileNotFound : DecodeResult::IoError, L"cannot open the archive");
        case Rar::kReadFailed:
            return Fail(DecodeResult::IoError, L"cannot read the archive");
        case Rar::kNoMemory:
            return Fail(DecodeResult::InternalError, L"out of memory");
        case Rar::kBadData:
            return Fail(opening ? DecodeResult::InvalidArchive : DecodeResult::DecompressFailed,
                        L"damaged data (CRC or hash mismatch)");
        case Rar::kRefusedHeader:
            return Fail(opening ? DecodeResult::InvalidArchive : DecodeResult::DecompressFailed,
                        L"damaged archive header");
        case Rar::kUnknownFormat:
            return Fail(opening ? DecodeResult::InvalidArchive : DecodeResult::UnsupportedFormat,
                        L"unknown archive format or method");
        default:
            return Fail(opening ? DecodeResult::InvalidArchive : DecodeResult::DecompressFailed,
                        L"damaged archive (UnRAR error " + std::to_wstring(code) + L")");
    }
}

DecodeResult RarDecoder::Open(const std::wstring& path) {
    Close();
    lastError_.clear();
    archivePath_ = path;
    DecodeResult result = DecodeResult::InternalError;
    try {
        result = List(path);
    } catch (const std::bad_alloc&) {
        result = Fail(DecodeResult::InternalError, L"out of memory");
    }
    if (result != DecodeResult::Ok) {
        Close();
        return result;
    }
    open_ = true;
    return DecodeResult::Ok;
}

DecodeResult RarDecoder::List(const std::wstring& path) {
    if (!Platform::PathExists(path)) return Fail(DecodeResult::FileNotFound, L"no such file");
    Rar::Archive archive;
    int code = archive.Open(path, true, password_);
    if (code != Rar::kSuccess) return LibraryFailure(code, archive.MissingVolume(), true);
    solid_ = archive.Solid();
    comment_ = NormalizeNfc(archive.Comment());

    const bool rar4 = DetectArchiveFormat(path) == ArchiveFormat::Rar && !archive.EncryptedHeaders();
    const std::int32_t codePage = codePage_ > 0 ? codePage_ : Platform::SystemAnsiCodePage();
    StoredNames storedNames;
    std::vector<std::optional<std::wstring>> copiedFrom;
    Rar::Header header;
    while ((code = archive.ReadHeader(header)) == Rar::kSuccess) {
        const Rar::StoredName* stored = rar4 ? storedNames.Next(header.volume) : nullptr;
        // RAR 5 keys the checksums of encrypted files with the password: only the library can check them.
        const bool keyedCrc = header.encrypted && header.version >= 50;
        const std::uint32_t crc = header.hashType == kHashCrc32 && !keyedCrc ? header.crc : 0;
        if (header.splitBefore) {
            // The next piece of a file split across volumes; its last piece holds the whole file's check. A piece
            // of a file that began before the volume opened is no entry: it cannot be extracted from here.
            code = archive.Skip();
            if (code != Rar::kSuccess) return LibraryFailure(code, archive.MissingVolume(), true);
            if (items_.empty()) continue;
            ArchiveItem& item = items_.back();
            item.packedSize += header.packedSize;
            if (!header.splitAfter) item.crc = crc;
            continue;
        }
        ArchiveItem item;
        item.path = stored != nullptr && !stored->hasUnicode && !stored->bytes.empty()
                        ? DecodeItemName(stored->bytes, codePage)
                        : NfcName(header.name);
        item.size = header.size;
        item.packedSize = header.packedSize;
        item.crc = header.splitAfter ? 0 : crc;
        item.attributes = WindowsAttributes(header);
        item.creationTime = header.creationTime;
        item.modifiedTime = header.modifiedTime;
        item.isDirectory = header.directory;
        item.isEncrypted = header.encrypted || archive.EncryptedHeaders();
        item.index = static_cast<std::uint32_t>(items_.size());
        item.method = MethodText(header);
        item.hostOs = HostText(header.hostOs);
        if (item.isEncrypted) hasEncryptedItems_ = true;
        const bool copy = header.redirection == kHardLink || header.redirection == kFileCopy;
        copiedFrom.push_back(copy ? std::optional(NfcName(header.redirectionTarget)) : std::nullopt);
        Link link;
        link.isLink = header.redirection != 0 && !copy && !header.directory;
        link.target = header.redirectionTarget;
        // A Unix link's target is a Unix path; the library on Windows hands it back with "\".
        if (header.redirection == kUnixLink) std::replace(link.target.begin(), link.target.end(), L'\\', L'/');
        links_.push_back(std::move(link));
        items_.push_back(std::move(item));
        code = archive.Skip();
        if (code != Rar::kSuccess) return LibraryFailure(code, archive.MissingVolume(), true);
    }
    if (code != Rar::kEndArchive) return LibraryFailure(code, archive.MissingVolume(), true);
    sources_ = ResolveHardLinks(items_, copiedFrom);
    linkSources_.assign(items_.size(), false);
    for (const DataSource& source : sources_) {
        if (source.position) linkSources_[*source.position] = true;
    }
    return DecodeResult::Ok;
}

DecodeResult RarDecoder::Decode(std::uint32_t position, const DataSink& sink) {
    lastError_.clear();
    lastCode_ = Rar::kSuccess;
    if (!open_ || position >= items_.size()) return Fail(DecodeResult::FileNotFound, L"no such entry");
    // A hard link or file copy has no data of its own: its source's is decoded (a source is never a link).
    if (sources_[position].isLink) {
        if (!sources_[position].position)
            return Fail(DecodeResult::DecompressFailed, UnresolvedLinkText(sources_[position]));
        position = *sources_[position].position;
    }
    const ArchiveItem& item = items_[position];
    if (item.isEncrypted && password_.empty()) return Fail(DecodeResult::PasswordRequired, L"a password is needed");
    if (!pass_ || position < pass_->Next()) {
        EndPass();
        std::vector<bool> decoded(items_.size());
        for (std::size_t i = 0; i < items_.size(); ++i) {
            decoded[i] = !items_[i].isDirectory && !sources_[i].isLink && !(items_[i].isEncrypted && password_.empty());
        }
        try {
            pass_ = std::make_unique<Rar::ReadAheadPass>(archivePath_, password_, std::move(decoded), position);
        } catch (...) {
            return Fail(DecodeResult::InternalError, L"cannot start the extraction pass");
        }
    }

    const Link& link = links_[position];
    std::string linkData;
    bool linkTooLong = false;
    bool sinkFailed = false;
    Rar::ReadAheadPass::Outcome outcome = pass_->Take(position, [&](const std::uint8_t* data, std::size_t length) {
        if (link.isLink) {
            linkTooLong = linkData.size() + length > kLinkDataLimit;
            if (!linkTooLong) linkData.append(reinterpret_cast<const char*>(data), length);
            return !linkTooLong;
        }
        try {
            if (sink(data, length)) return true;
        } catch (...) {
        }
        sinkFailed = true;
        return false;
    });
    lastCode_ = outcome.code;
    DecodeResult result = DecodeResult::Ok;
    if (!outcome.reached) {
        result = outcome.code == Rar::kEndArchive
                     ? Fail(DecodeResult::InvalidArchive, L"the archive ends before the entry")
                     : LibraryFailure(outcome.code, outcome.missingVolume, false);
    } else if (sinkFailed) {
        result = Fail(DecodeResult::IoError, L"cannot store the data");
    } else if (linkTooLong) {
        result = Fail(DecodeResult::DecompressFailed, L"a link entry holds more than a path");
    } else if (outcome.code == Rar::kBadData && item.isEncrypted) {
        result = Fail(DecodeResult::PasswordRequired, L"wrong password or damaged data");
    } else if (outcome.code != Rar::kSuccess) {
        result = LibraryFailure(outcome.code, outcome.missingVolume, false);
    }
    if (outcome.endsPass) EndPass();
    if (result != DecodeResult::Ok) return result;
    if (link.isLink) {
        // Never a link on disk: the target text, as the other formats' links are written.
        std::string text = link.target.empty() ? linkData : WideToUtf8(link.target);
        if (!text.empty() && !sink(reinterpret_cast<const std::uint8_t*>(text.data()), text.size())) {
            return Fail(DecodeResult::IoError, L"cannot store the data");
        }
    }
    return DecodeResult::Ok;
}

DecodeResult RarDecoder::ExtractToMemory(std::uint32_t position, std::vector<std::uint8_t>& buffer) {
    if (position >= items_.size()) return DecodeResult::FileNotFound;
    if (items_[position].isDirectory) {
        buffer.clear();
        return DecodeResult::Ok;
    }
    std::vector<std::uint8_t> data;
    DecodeResult result = Decode(position, [&data](const std::uint8_t* bytes, std::size_t length) {
        data.insert(data.end(), bytes, bytes + length);
        return true;
    });
    if (result == DecodeResult::Ok) buffer = std::move(data);
    return result;
}

DecodeResult RarDecoder::StreamToFile(std::uint32_t position, const std::wstring& target,
                                      const ByteProgressCallback& progress) {
    // A link whose source was written by this decoder is copied from that file, so extracting everything stays one
    // pass; should the file have changed since, the source is decoded again.
    const DataSource& source = sources_[position];
    if (source.isLink && source.position) {
        auto found = written_.find(*source.position);
        if (found != written_.end()) {
            const WrittenFile copy = found->second;
            bool stale = false;
            DecodeResult result = WriteEntryFile(position, target, progress,
                                                 [&](const DataSink& sink) { return CopyWritten(copy, sink, stale); });
            if (!stale) return result;
            written_.erase(*source.position);
        }
    }
    return WriteEntryFile(position, target, progress, [&](const DataSink& sink) { return Decode(position, sink); });
}

DecodeResult RarDecoder::CopyWritten(const WrittenFile& file, const DataSink& sink, bool& stale) {
    Platform::InputFile input;
    std::uint64_t size = 0;
    if (!input.Open(file.path) || !input.Size(size) || size != file.size) {
        stale = true;
        return Fail(DecodeResult::IoError, L"cannot read " + file.path);
    }
    std::vector<std::uint8_t> piece(static_cast<std::size_t>(std::min<std::uint64_t>(size, kCopyPiece)));
    std::uint32_t crc = 0;
    for (std::uint64_t offset = 0; offset < size;) {
        std::size_t length = static_cast<std::size_t>(std::min<std::uint64_t>(size - offset, piece.size()));
        if (!input.ReadExactAt(offset, piece.data(), length)) {
            stale = true;
            return Fail(DecodeResult::IoError, L"cannot read " + file.path);
        }
        crc = Crc32(piece.data(), length, crc);
        if (!sink(piece.data(), length)) return Fail(DecodeResult::IoError, L"cannot store the data");
        offset += length;
    }
    stale = crc != file.crc;
    return stale ? Fail(DecodeResult::IoError, L"changed on disk: " + file.path) : DecodeResult::Ok;
}

DecodeResult RarDecoder::WriteEntryFile(std::uint32_t position, const std::wstring& target,
                                        const ByteProgressCallback& progress,
                                        const std::function<DecodeResult(const DataSink&)>& produce) {
    // A new name is written in place: a failure removes the file, which nobody else had. A name already taken is
    // written beside it and renamed over it only once complete and checked, so the old file survives a failure.
    Platform::OutputFile file;
    Platform::CreateNewResult created = file.CreateNew(target);
    if (created == Platform::CreateNewResult::NoFolder) {
        std::size_t separator = Platform::LastSeparator(target);
        if (separator != std::wstring::npos) Platform::MakeDirectories(target.substr(0, separator));
        created = file.CreateNew(target);
    }
    const bool inPlace = created == Platform::CreateNewResult::Created;
    const std::wstring written = inPlace ? target : PartialFileName(target);
    if (!inPlace && !file.Create(written)) {
        return Fail(DecodeResult::IoError, L"cannot create " + written);
    }
    const std::uint64_t size = items_[position].size;
    // Entries that links name keep a CRC of what was written, to tell later whether the file is still theirs.
    const bool named = linkSources_[position];
    std::uint32_t crc = 0;
    std::uint64_t done = 0;
    bool cancelled = false;
    DecodeResult result = produce([&](const std::uint8_t* data, std::size_t length) {
        if (!file.Write(data, length)) return false;
        if (named) crc = Crc32(data, length, crc);
        done += length;
        cancelled = progress && !progress(std::min(done, size), size);
        return !cancelled;
    });
    if (cancelled) result = DecodeResult::Cancelled;
    if (result == DecodeResult::Ok && items_[position].modifiedTime != 0) {
        file.SetModifiedTime(items_[position].modifiedTime);
    }
    bool closed = file.Close();
    if (result == DecodeResult::Ok && (!closed || (!inPlace && !Platform::RenamePath(written, target, true)))) {
        result = Fail(DecodeResult::IoError, L"cannot write " + target);
    }
    if (result != DecodeResult::Ok) {
        Platform::RemoveFile(written);
        return result;
    }
    if (named) written_[position] = {target, done, crc};
    return result;
}

DecodeResult RarDecoder::ExtractToFile(std::uint32_t position, const std::wstring& target) {
    lastError_.clear();
    if (!open_ || position >= items_.size()) return DecodeResult::FileNotFound;
    if (items_[position].isDirectory) {
        return Platform::MakeDirectories(target) ? DecodeResult::Ok : DecodeResult::IoError;
    }
    return StreamToFile(position, target);
}

std::optional<DecodeResult> RarDecoder::ExtractToFileWithProgress(std::uint32_t position, const std::wstring& target,
                                                                  const ByteProgressCallback& progress) {
    lastError_.clear();
    if (!open_ || position >= items_.size()) return DecodeResult::FileNotFound;
    if (items_[position].isDirectory) return ExtractToFile(position, target);
    return StreamToFile(position, target, progress);
}

DecodeResult RarDecoder::ExtractAll(const std::wstring& folder) {
    lastError_.clear();
    if (!open_) return DecodeResult::InvalidArchive;
    DecodeResult first = DecodeResult::Ok;
    std::wstring firstError;
    bool refusedPath = false;
    std::vector<std::pair<std::wstring, std::uint64_t>> folders;
    for (std::uint32_t i = 0; i < items_.size(); ++i) {
        const ArchiveItem& item = items_[i];
        std::wstring target;
        if (!SafeOutputPath(folder, item.path, target)) {
            refusedPath = true;
        } else if (item.isDirectory) {
            Platform::MakeDirectories(target);
            folders.emplace_back(target, item.modifiedTime);
        } else {
            DecodeResult result = StreamToFile(i, target);
            if (result != DecodeResult::Ok && first == DecodeResult::Ok) {
                first = result;
                firstError = lastError_;
            }
            // Without a pass the archive cannot be read on (a missing volume, broken headers).
            // Without a pass the archive cannot be read on (a missing volume, broken headers); a link that names
            // no earlier file fails alone.
            if (result != DecodeResult::Ok && !pass_ && result != DecodeResult::PasswordRequired &&
                !sources_[i].isLink) {
                break;
            }
        }
        if (callback_ && !callback_(item.path, i + 1, items_.size())) return DecodeResult::Cancelled;
    }
    // Writing into a folder changes its time: folders get theirs once everything is in place.
    for (const auto& [path, time] : folders) {
        if (time != 0) Platform::SetLastWriteTime(path, time);
    }
    lastError_ = firstError;
    if (first != DecodeResult::Ok) return first;
    return refusedPath ? DecodeResult::UnsafePath : DecodeResult::Ok;
}

DecodeResult RarDecoder::TestEntry(Rar::Archive& archive, std::uint32_t& next, std::uint32_t position,
                                   const DataSink& sink) {
    lastError_.clear();
    lastCode_ = Rar::kSuccess;
    if (!archive.IsOpen()) {
        next = 0;
        int code = archive.Open(archivePath_, false, password_);
        if (code != Rar::kSuccess) {
            DecodeResult result = LibraryFailure(code, archive.MissingVolume(), false);
            archive.Close();
            return result;
        }
    }
    for (;;) {
        Rar::Header header;
        int code = archive.ReadHeader(header);
        // Skipping a split file stops at its next piece in the next volume: that is no entry of its own.
        while (code == Rar::kSuccess && header.splitBefore) {
            code = archive.Skip();
            if (code == Rar::kSuccess) code = archive.ReadHeader(header);
        }
        if (code == Rar::kSuccess && next < position) code = archive.Skip();
        if (code != Rar::kSuccess) {
            DecodeResult result = code == Rar::kEndArchive
                                      ? Fail(DecodeResult::InvalidArchive, L"the archive ends before the entry")
                                      : LibraryFailure(code, archive.MissingVolume(), false);
            archive.Close();
            return result;
        }
        if (next++ == position) break;
    }
    const int code = archive.Test(sink);
    lastCode_ = code;
    if (code == Rar::kSuccess) return DecodeResult::Ok;
    DecodeResult result = code == Rar::kBadData && items_[position].isEncrypted
                              ? Fail(DecodeResult::PasswordRequired, L"wrong password or damaged data")
                              : LibraryFailure(code, archive.MissingVolume(), false);
    // After a data error the library reads on to the next header; after anything else the pass is gone.
    if (archive.SinkStopped() || (code != Rar::kBadData && code != Rar::kBadPassword)) archive.Close();
    return result;
}

std::optional<DecodeResult> RarDecoder::TestItems(const std::vector<std::uint32_t>& positions,
                                                  const std::function<bool(std::uint32_t)>& starting,
                                                  std::vector<ItemTestResult>& results) {
    results.clear();
    if (!open_) return DecodeResult::InvalidArchive;
    // A hard link or file copy is tested by testing the entry it names.
    std::vector<std::uint32_t> order;
    for (std::uint32_t position : positions) {
        if (position >= items_.size()) continue;
        if (!sources_[position].isLink) {
            order.push_back(position);
        } else if (sources_[position].position) {
            order.push_back(*sources_[position].position);
        }
    }
    std::sort(order.begin(), order.end());
    order.erase(std::unique(order.begin(), order.end()), order.end());

    // Nothing is written while testing, so decoding ahead on another thread would only add copies: the test reads
    // the archive once on this thread.
    EndPass();
    Rar::Archive archive;
    std::uint32_t next = 0;
    std::map<std::uint32_t, ItemTestResult> tested;
    DecodeResult runResult = DecodeResult::Ok;
    for (std::uint32_t position : order) {
        if (starting && !starting(position)) {
            runResult = DecodeResult::Cancelled;
            break;
        }
        const ArchiveItem& item = items_[position];
        ItemTestResult result;
        result.index = item.index;
        result.path = item.path;
        result.expectedCrc = item.crc;
        if (item.isDirectory) {
            result.ok = true;
        } else if (item.isEncrypted && password_.empty()) {
            result.error = Fail(DecodeResult::PasswordRequired, L"a password is needed");
        } else {
            // The library checks every entry against its CRC-32 or BLAKE2 hash: a CRC-32 of our own is computed
            // only to have one to show where the header holds none.
            const bool ownCrc = item.crc == 0 && !links_[position].isLink;
            std::uint32_t crc = 0;
            result.error =
                TestEntry(archive, next, position, [&crc, ownCrc](const std::uint8_t* data, std::size_t length) {
                    if (ownCrc) crc = Crc32(data, length, crc);
                    return true;
                });
            if (result.error == DecodeResult::DecompressFailed && lastCode_ == Rar::kBadData) {
                result.error = DecodeResult::CrcMismatch;
            }
            if (result.error == DecodeResult::Ok) {
                result.actualCrc = ownCrc ? crc : item.crc;
                result.ok = true;
            }
        }
        tested.emplace(position, std::move(result));
    }
    for (std::uint32_t position : positions) {
        if (position >= items_.size()) continue;
        const DataSource& source = sources_[position];
        if (!source.isLink) {
            auto found = tested.find(position);
            if (found != tested.end()) results.push_back(found->second);
            continue;
        }
        ItemTestResult result;
        if (source.position) {
            auto found = tested.find(*source.position);
            if (found == tested.end()) continue;  // cancelled before it
            result = found->second;
        } else {
            if (runResult == DecodeResult::Cancelled) continue;
            result.error = Fail(DecodeResult::DecompressFailed, UnresolvedLinkText(source));
        }
        result.index = items_[position].index;
        result.path = items_[position].path;
        result.expectedCrc = items_[position].crc;
        results.push_back(std::move(result));
    }
    return runResult;
}

}  // namespace Arkova
