#include "archive/rar/unrar_archive.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <type_traits>
#include <vector>

#ifndef _WIN32
#include <locale.h>
#endif

#include "archive/rar/rar5_header_check.h"
#include "archive/rar/unrar_library.h"

namespace Arkova::Rar {

namespace {

// The library stores numbers from a RAR 5 header into its enums unchecked (the header type, the redirection), so a
// damaged header can leave a value outside the enum there; read the stored bits, since loading the enum itself
// would be undefined behaviour.
template <typename Enum>
std::uint32_t StoredValue(const Enum& value) {
    std::underlying_type_t<Enum> raw;
    static_assert(sizeof(raw) == sizeof(value));
    std::memcpy(&raw, &value, sizeof(raw));
    return static_cast<std::uint32_t>(raw);
}

#ifndef _WIN32
// Off Windows the library turns its wide paths into file names with the C library's multibyte functions, which
// follow the thread's locale: paths are UTF-8 only while a UTF-8 locale is in force. Set for the calling thread
// alone and only around each library call, so the rest of the process keeps its own.
class Utf8LocaleScope {
public:
    Utf8LocaleScope() {
        static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
        if (utf8 != static_cast<locale_t>(nullptr)) previous_ = uselocale(utf8);
    }
    ~Utf8LocaleScope() {
        if (previous_ != static_cast<locale_t>(nullptr)) uselocale(previous_);
    }
    Utf8LocaleScope(const Utf8LocaleScope&) = delete;
    Utf8LocaleScope& operator=(const Utf8LocaleScope&) = delete;

private:
    locale_t previous_ = static_cast<locale_t>(nullptr);
};
#else
// Windows hands the library's wide paths to the file API as they are.
struct Utf8LocaleScope {
    Utf8LocaleScope() {}
    ~Utf8LocaleScope() {}
};
#endif

// The result code for an error the library threw without naming one itself.
int CodeOfExit(RAR_EXIT code) {
    switch (code) {
        case RARX_SUCCESS:
            return kSuccess;
        case RARX_FATAL:
        case RARX_READ:
            return kReadFailed;
        case RARX_CRC:
            return kBadData;
        case RARX_OPEN:
            return kOpenFailed;
        case RARX_MEMORY:
            return kNoMemory;
        case RARX_BADPWD:
            return kBadPassword;
        default:
            return ERAR_UNKNOWN;
    }
}

std::uint32_t HashTypeOf(HASH_TYPE type) {
    switch (type) {
        case HASH_RAR14:
        case HASH_CRC32:
            return RAR_HASH_CRC32;
        case HASH_BLAKE2:
            return RAR_HASH_BLAKE2;
        default:
            return RAR_HASH_NONE;
    }
}

std::wstring Terminated(const wchar* text, std::size_t capacity) {
    return std::wstring(text, std::find(text, text + capacity, L'\0'));
}

// The library's archive with each volume's headers checked as it opens (rar5_header_check.h): a volume the library
// would crash on is closed again and named, and the open fails.
class CheckedArchive : public ::Archive {
public:
    using ::Archive::Archive;

    bool Open(const wchar* name, uint mode) override {
        if (!::Archive::Open(name, mode)) return false;
        bool safe = Rar5HeadersAreSafe([this](std::uint64_t offset, std::uint8_t* data, std::size_t size) {
            File::Seek(static_cast<int64>(offset), SEEK_SET);
            std::size_t done = 0;
            while (done < size) {
                int got = File::Read(data + done, size - done);
                if (got <= 0) break;
                done += static_cast<std::size_t>(got);
            }
            return done;
        });
        File::Seek(0, SEEK_SET);
        if (safe) return true;
        refusedVolume_ = name;
        Close();
        return false;
    }

    const std::wstring& RefusedVolume() const { return refusedVolume_; }

private:
    std::wstring refusedVolume_;
};

}  // namespace

// The library's own objects for one archive, in the order its extraction code expects them to live and die.
struct Archive::Library {
    CommandData command;
    CheckedArchive archive{&command};
    CmdExtract extract{&command};
    std::size_t headerSize = 0;  // of the file header last read
};

Archive::Archive() = default;

Archive::~Archive() { Close(); }

template <typename Operation>
int Archive::Guarded(Operation operation) {
    int result = kSuccess;
    try {
        result = operation();
    } catch (RAR_EXIT code) {
        result = library_->command.DllError != 0 ? library_->command.DllError : CodeOfExit(code);
    } catch (const std::bad_alloc&) {
        result = kNoMemory;
    }
    // Whatever the library made of a refused volume (a failed open, a missing volume), it was refused.
    return library_->archive.RefusedVolume().empty() ? result : static_cast<int>(kRefusedHeader);
}

int Archive::Callback(unsigned message, std::intptr_t user, std::intptr_t first, std::intptr_t second) {
    return reinterpret_cast<Archive*>(user)->OnMessage(message, first, second);
}

int Archive::OnMessage(unsigned message, std::intptr_t first, std::intptr_t second) {
    switch (message) {
        case UCM_CHANGEVOLUMEW:
            if (second == RAR_VOL_NOTIFY) return 1;
            // The library asks for a volume only when it cannot open it; nobody can supply it. A volume that was
            // there but refused is not missing.
            if (library_->archive.RefusedVolume().empty()) missingVolume_ = reinterpret_cast<const wchar_t*>(first);
            return -1;
        case UCM_CHANGEVOLUME:
            return second == RAR_VOL_NOTIFY ? 1 : -1;
        case UCM_PROCESSDATA:
            if (sink_ != nullptr && second > 0 &&
                !(*sink_)(reinterpret_cast<const std::uint8_t*>(first), static_cast<std::size_t>(second))) {
                sinkStopped_ = true;
                return -1;
            }
            return 1;
        case UCM_NEEDPASSWORDW: {
            if (password_.empty() || second <= 0) return -1;
            auto* buffer = reinterpret_cast<wchar_t*>(first);
            std::size_t length = std::min(password_.size(), static_cast<std::size_t>(second - 1));
            std::copy_n(password_.data(), length, buffer);
            buffer[length] = 0;
            return 1;
        }
        default:
            // The narrow password request comes only after the wide one was refused.
            return -1;
    }
}

int Archive::Open(const std::wstring& path, bool listing, const std::wstring& password) {
    Close();
    Utf8LocaleScope locale;
    password_ = password;
    listing_ = listing;
    missingVolume_.clear();
    comment_.clear();
    std::vector<wchar> name(path.begin(), path.end());
    name.push_back(0);
    try {
        library_ = std::make_unique<Library>();
    } catch (const std::bad_alloc&) {
        return kNoMemory;
    }
    int code = Guarded([&] {
        ErrHandler.Clean();
        CommandData& command = library_->command;
        ::Archive& archive = library_->archive;
        command.DllError = 0;
        command.FileArgs.AddString(L"*");
        command.AddArcName(name.data());
        command.Overwrite = OVERWRITE_ALL;
        command.VersionControl = 1;
        command.Callback = [](UINT message, LPARAM user, LPARAM first, LPARAM second) {
            return Callback(message, static_cast<std::intptr_t>(user), static_cast<std::intptr_t>(first),
                            static_cast<std::intptr_t>(second));
        };
        command.UserData = reinterpret_cast<LPARAM>(this);
        // Shared, as other programs may still be writing the archive or have it open.
        command.OpenShared = true;
        // The quick-open record would stand in for the headers themselves, which are what the volume check reads.
        command.QOpenMode = QOPEN_NONE;
        if (!archive.Open(name.data(), FMF_OPENSHARED)) return static_cast<int>(kOpenFailed);
        if (!archive.IsArchive(true)) {
            if (command.DllError != 0) return command.DllError;
            RAR_EXIT exit = ErrHandler.GetErrorCode();
            return exit != RARX_SUCCESS && exit != RARX_WARNING ? CodeOfExit(exit) : static_cast<int>(kBadArchive);
        }
        flags_ = (archive.Volume ? ROADF_VOLUME : 0) | (archive.Solid ? ROADF_SOLID : 0) |
                 (archive.Encrypted ? ROADF_ENCHEADERS : 0) | (archive.FirstVolume ? ROADF_FIRSTVOLUME : 0);
        Array<wchar> comment;
        if (archive.GetComment(&comment) && comment.Size() > 0) comment_ = Terminated(&comment[0], comment.Size());
        library_->extract.ExtractArchiveInit(archive);
        return static_cast<int>(kSuccess);
    });
    if (code != kSuccess) Close();
    return code;
}

void Archive::Close() {
    if (library_ != nullptr) {
        Utf8LocaleScope locale;
        Guarded([this] {
            library_->archive.Close();
            return static_cast<int>(kSuccess);
        });
        library_.reset();
    }
    flags_ = 0;
    std::fill(password_.begin(), password_.end(), L'\0');
    password_.clear();
}

int Archive::ReadHeader(Header& header) {
    if (library_ == nullptr) return kBadArchive;
    Utf8LocaleScope locale;
    return Guarded([&] {
        ::Archive& archive = library_->archive;
        // Service headers (comments, streams, the quick-open and recovery records) are passed over; the end of a
        // volume that has a next one opens it and goes on there.
        for (;;) {
            library_->headerSize = archive.SearchBlock(HEAD_FILE);
            if (library_->headerSize > 0) break;
            if (archive.Volume && StoredValue(archive.ShortBlock.HeaderType) == HEAD_ENDARC &&
                archive.EndArcHead.NextVolume) {
                if (!MergeArchive(archive, nullptr, false, 'L')) return static_cast<int>(kOpenFailed);
                archive.Seek(archive.CurBlockPos, SEEK_SET);
                continue;
            }
            if (archive.BrokenHeader) return static_cast<int>(kBadData);
            if (archive.FailedHeaderDecryption) return static_cast<int>(kBadPassword);
            return static_cast<int>(kEndArchive);
        }
        const FileHeader& file = archive.FileHead;
        header = Header{};
        header.name = Terminated(file.FileName, std::size(file.FileName));
        header.volume = Terminated(archive.FileName, std::size(archive.FileName));
        header.packedSize = static_cast<std::uint64_t>(file.PackSize);
        header.size = static_cast<std::uint64_t>(file.UnpSize);
        header.hostOs = file.HSType == HSYS_WINDOWS ? HOST_WIN32 : HOST_UNIX;
        header.crc = file.FileHash.CRC32;
        header.hashType = HashTypeOf(file.FileHash.Type);
        // The time methods are not const in the library.
        RarTime modified = file.mtime;
        RarTime created = file.ctime;
        header.dosTime = modified.GetDos();
        header.modifiedTime = modified.GetWin();
        header.creationTime = created.GetWin();
        header.method = file.Method + 0x30;
        header.version = file.UnpVer;
        header.attributes = file.FileAttr;
        header.dictionary = static_cast<std::uint32_t>(file.WinSize / 1024);
        header.redirection = StoredValue(file.RedirType);
        if (header.redirection != FSREDIR_NONE)
            header.redirectionTarget = Terminated(file.RedirName, std::size(file.RedirName));
        header.splitBefore = file.SplitBefore;
        header.splitAfter = file.SplitAfter;
        header.encrypted = file.Encrypted;
        header.directory = file.Dir;
        return static_cast<int>(kSuccess);
    });
}

int Archive::Skip() {
    if (library_ == nullptr) return kBadArchive;
    Utf8LocaleScope locale;
    return Guarded([this] {
        CommandData& command = library_->command;
        ::Archive& archive = library_->archive;
        command.DllError = 0;
        // A solid archive's entries are decoded even when skipped: the ones after need them.
        if (!listing_ && archive.Solid) return Process(RAR_SKIP);
        // Skip follows a ReadHeader that stopped at a file header, so the current header is that file's.
        if (archive.Volume && archive.FileHead.SplitAfter) {
            // The file goes on in the next volume: open it, at the header of the file's next piece.
            if (!MergeArchive(archive, nullptr, false, 'L')) return static_cast<int>(kOpenFailed);
            archive.Seek(archive.CurBlockPos, SEEK_SET);
            return static_cast<int>(kSuccess);
        }
        archive.SeekToNext();
        return static_cast<int>(kSuccess);
    });
}

int Archive::Test(const DataSink& sink) {
    if (library_ == nullptr) return kBadArchive;
    Utf8LocaleScope locale;
    sink_ = &sink;
    sinkStopped_ = false;
    int result = Guarded([this] {
        library_->command.DllError = 0;
        return Process(RAR_TEST);
    });
    sink_ = nullptr;
    return result;
}

// Decodes the entry of the last header in the library's test mode: nothing is created, the data goes to the
// callback (unless skipping). The archive is left at the next header, which the next ReadHeader reads once.
int Archive::Process(int operation) {
    CommandData& command = library_->command;
    command.DllOpMode = operation;
    command.ExtrPath[0] = 0;
    command.DllDestName[0] = 0;
    command.Command[0] = L'T';
    command.Command[1] = 0;
    command.Test = true;
    bool repeat = false;
    library_->extract.ExtractCurrentFile(library_->archive, library_->headerSize, repeat);
    return command.DllError;
}

}  // namespace Arkova::Rar
