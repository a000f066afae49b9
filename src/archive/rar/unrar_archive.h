// One open archive of the UnRAR library, driven through its own archive and extraction classes: the archive is
// read front to back once per pass, each header read once (the library's DLL interface seeks back and reads every
// header twice, reloading the RAR 5 quick-open record each time). The library never writes a file here: entries
// are either skipped or tested, and a tested entry's data comes to the sink.
// One thread at a time: the library reports errors through one process-wide handler.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace Arkova::Rar {

// One file header as the library reports it.
struct Header {
    std::wstring name;
    std::wstring volume;  // the volume file the header was read from
    std::uint64_t packedSize = 0;
    std::uint64_t size = 0;
    std::uint32_t hostOs = 0;  // 0 MS-DOS, 1 OS/2, 2 Windows, 3 Unix
    std::uint32_t crc = 0;
    std::uint32_t hashType = 0;  // 0 none, 1 CRC-32, 2 BLAKE2sp
    std::uint32_t dosTime = 0;
    std::uint64_t modifiedTime = 0;  // FILETIME, UTC; 0 = none
    std::uint64_t creationTime = 0;
    std::uint32_t method = 0;  // 0x30 stored ... 0x35 best
    std::uint32_t version = 0;
    std::uint32_t attributes = 0;   // Windows attributes, or a Unix mode for Unix hosts
    std::uint32_t dictionary = 0;   // KiB
    std::uint32_t redirection = 0;  // 0 none, 1 Unix symbolic link, 2 Windows link, 3 junction, 4 hard link, 5 copy
    std::wstring redirectionTarget;
    bool splitBefore = false;
    bool splitAfter = false;
    bool encrypted = false;
    bool directory = false;
};

// The library's result codes that callers tell apart (ERAR_*).
enum Code : int {
    kSuccess = 0,
    kEndArchive = 10,
    kNoMemory = 11,
    kBadData = 12,
    kBadArchive = 13,
    kUnknownFormat = 14,
    kOpenFailed = 15,
    kReadFailed = 18,
    kMissingPassword = 22,
    kBadPassword = 24,
    kRefusedHeader = 1000,  // ours: a volume holds a header the library would mishandle, so it was not read
};

class Archive {
public:
    // Called with each piece of a tested entry's data; false stops the library.
    using DataSink = std::function<bool(const std::uint8_t* data, std::size_t length)>;

    Archive();
    ~Archive();
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;

    // `listing`: every header including the continuations of split files; otherwise one header per entry,
    // ready to be skipped or tested. The password answers the library when it asks (empty: the library is told
    // there is none).
    int Open(const std::wstring& path, bool listing, const std::wstring& password);
    void Close();
    bool IsOpen() const { return library_ != nullptr; }

    int ReadHeader(Header& header);
    // Moves past the entry of the last header.
    int Skip();
    // Decodes the entry of the last header, checking its CRC or BLAKE2 hash; the data goes to the sink.
    int Test(const DataSink& sink);

    bool Solid() const { return (flags_ & 0x0008) != 0; }
    bool EncryptedHeaders() const { return (flags_ & 0x0080) != 0; }
    bool FirstVolume() const { return (flags_ & 0x0100) != 0 || (flags_ & 0x0001) == 0; }
    const std::wstring& Comment() const { return comment_; }
    // The volume the library asked for and did not find; empty when none was missing.
    const std::wstring& MissingVolume() const { return missingVolume_; }
    // The data sink stopped the last Test.
    bool SinkStopped() const { return sinkStopped_; }

private:
    struct Library;

    static int Callback(unsigned message, std::intptr_t user, std::intptr_t first, std::intptr_t second);
    int OnMessage(unsigned message, std::intptr_t first, std::intptr_t second);
    // Runs one operation on the library's objects, turning what it throws into its result codes.
    template <typename Operation>
    int Guarded(Operation operation);
    int Process(int operation);

    std::unique_ptr<Library> library_;
    bool listing_ = false;
    std::wstring password_;
    std::uint32_t flags_ = 0;
    std::wstring comment_;
    std::wstring missingVolume_;
    const DataSink* sink_ = nullptr;
    bool sinkStopped_ = false;
};

}  // namespace Arkova::Rar
