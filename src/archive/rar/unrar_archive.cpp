#include "archive/rar/unrar_archive.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "archive/rar/unrar_api.h"

#ifndef _WIN32
#include <locale.h>
#endif

namespace Arkova::Rar {

namespace {

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

std::uint64_t Join(unsigned low, unsigned high) { return (static_cast<std::uint64_t>(high) << 32) | low; }

// The library's header record is large (about 10 KB): one per thread, not one per call on the stack.
RARHeaderDataEx& HeaderRecord() {
    thread_local RARHeaderDataEx record;
    return record;
}

}  // namespace

int Archive::Callback(unsigned message, std::intptr_t user, std::intptr_t first, std::intptr_t second) {
    return reinterpret_cast<Archive*>(user)->OnMessage(message, first, second);
}

int Archive::OnMessage(unsigned message, std::intptr_t first, std::intptr_t second) {
    switch (message) {
        case UCM_CHANGEVOLUMEW:
            if (second == RAR_VOL_NOTIFY) return 1;
            // The library asks for a volume only when it cannot open it; nobody can supply it.
            missingVolume_ = reinterpret_cast<const wchar_t*>(first);
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
    missingVolume_.clear();
    comment_.clear();
    std::vector<wchar_t> name(path.begin(), path.end());
    name.push_back(0);
    std::vector<wchar_t> comment(64 * 1024);
    RAROpenArchiveDataEx data;
    std::memset(&data, 0, sizeof(data));
    data.ArcNameW = name.data();
    data.OpenMode = listing ? RAR_OM_LIST_INCSPLIT : RAR_OM_EXTRACT;
    data.CmtBufW = comment.data();
    data.CmtBufSize = static_cast<unsigned>(comment.size());
    data.Callback = [](unsigned message, UnrarParam user, UnrarParam first, UnrarParam second) {
        return Callback(message, static_cast<std::intptr_t>(user), static_cast<std::intptr_t>(first),
                        static_cast<std::intptr_t>(second));
    };
    data.UserData = reinterpret_cast<UnrarParam>(this);
    handle_ = RAROpenArchiveEx(&data);
    if (handle_ == nullptr) return data.OpenResult != 0 ? static_cast<int>(data.OpenResult) : kOpenFailed;
    if (data.OpenResult != 0) {
        Close();
        return static_cast<int>(data.OpenResult);
    }
    flags_ = data.Flags;
    // CmtState 1: read; the size counts the terminating zero.
    if (data.CmtState == 1 && data.CmtSize > 0) {
        std::size_t length = std::min<std::size_t>(data.CmtSize, comment.size());
        comment_.assign(comment.data(), length);
        while (!comment_.empty() && comment_.back() == 0) comment_.pop_back();
    }
    return kSuccess;
}

void Archive::Close() {
    if (handle_ != nullptr) {
        Utf8LocaleScope locale;
        RARCloseArchive(handle_);
        handle_ = nullptr;
    }
    flags_ = 0;
    std::fill(password_.begin(), password_.end(), L'\0');
    password_.clear();
}

int Archive::ReadHeader(Header& header) {
    if (handle_ == nullptr) return kBadArchive;
    Utf8LocaleScope locale;
    RARHeaderDataEx& record = HeaderRecord();
    std::memset(&record, 0, sizeof(record));
    std::vector<wchar_t> target(4096);
    record.RedirName = target.data();
    record.RedirNameSize = static_cast<unsigned>(target.size());
    int result = RARReadHeaderEx(handle_, &record);
    if (result != kSuccess) return result;

    record.FileNameW[std::size(record.FileNameW) - 1] = 0;
    record.ArcNameW[std::size(record.ArcNameW) - 1] = 0;
    target.back() = 0;
    header = Header{};
    header.name = record.FileNameW;
    header.volume = record.ArcNameW;
    header.packedSize = Join(record.PackSize, record.PackSizeHigh);
    header.size = Join(record.UnpSize, record.UnpSizeHigh);
    header.hostOs = record.HostOS;
    header.crc = record.FileCRC;
    header.hashType = record.HashType;
    header.dosTime = record.FileTime;
    header.modifiedTime = Join(record.MtimeLow, record.MtimeHigh);
    header.creationTime = Join(record.CtimeLow, record.CtimeHigh);
    header.method = record.Method;
    header.version = record.UnpVer;
    header.attributes = record.FileAttr;
    header.dictionary = record.DictSize;
    header.redirection = record.RedirType;
    if (record.RedirType != 0) header.redirectionTarget = target.data();
    header.splitBefore = (record.Flags & RHDF_SPLITBEFORE) != 0;
    header.splitAfter = (record.Flags & RHDF_SPLITAFTER) != 0;
    header.encrypted = (record.Flags & RHDF_ENCRYPTED) != 0;
    header.directory = (record.Flags & RHDF_DIRECTORY) != 0;
    return kSuccess;
}

int Archive::Skip() {
    if (handle_ == nullptr) return kBadArchive;
    Utf8LocaleScope locale;
    return RARProcessFileW(handle_, RAR_SKIP, nullptr, nullptr);
}

int Archive::Test(const DataSink& sink) {
    if (handle_ == nullptr) return kBadArchive;
    Utf8LocaleScope locale;
    sink_ = &sink;
    sinkStopped_ = false;
    int result = RARProcessFileW(handle_, RAR_TEST, nullptr, nullptr);
    sink_ = nullptr;
    return result;
}

}  // namespace Arkova::Rar
