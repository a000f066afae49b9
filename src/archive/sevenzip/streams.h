// The streams the library reads archives from and writes items to. Their methods never throw: failures become
// HRESULTs, as the library expects.
#pragma once

#include <cstdint>
#include <vector>

#include "archive/sevenzip/com_object.h"
#include "platform/file.h"

namespace Arkova::SevenZip {

// The archive file, read through a 64 KiB buffer: handlers parse headers with many small reads.
class FileInStream final : public ComObject<FileInStream, IInStream, IStreamGetSize> {
public:
    // Takes an open file and its size.
    FileInStream(Platform::InputFile file, std::uint64_t size);

    HResult ARKOVA_COM_CALL Read(void* data, std::uint32_t size, std::uint32_t* processed) override;
    HResult ARKOVA_COM_CALL Seek(std::int64_t offset, std::uint32_t origin, std::uint64_t* newPosition) override;
    HResult ARKOVA_COM_CALL GetSize(std::uint64_t* size) override;

    // Reads up to `length` bytes at the start of the file (signature detection) and rewinds.
    std::vector<std::uint8_t> Head(std::size_t length);

private:
    static constexpr std::size_t kBufferSize = 64 * 1024;
    bool Fill(std::uint64_t offset);

    Platform::InputFile file_;
    std::uint64_t size_;
    std::uint64_t position_ = 0;
    std::vector<std::uint8_t> buffer_;
    std::uint64_t bufferOffset_ = 0;
    std::size_t bufferLength_ = 0;
};

// Collects an item's bytes in memory, growing with the data that really arrives.
class MemoryOutStream final : public ComObject<MemoryOutStream, ISequentialOutStream> {
public:
    HResult ARKOVA_COM_CALL Write(const void* data, std::uint32_t size, std::uint32_t* processed) override;
    std::vector<std::uint8_t>& Data() { return data_; }

private:
    std::vector<std::uint8_t> data_;
};

// Keeps only the CRC-32 of what is written: testing an item without holding it.
class CrcOutStream final : public ComObject<CrcOutStream, ISequentialOutStream> {
public:
    HResult ARKOVA_COM_CALL Write(const void* data, std::uint32_t size, std::uint32_t* processed) override;
    std::uint32_t Crc() const { return crc_; }

private:
    std::uint32_t crc_ = 0;
};

// Writes an item to a new file.
class FileOutStream final : public ComObject<FileOutStream, ISequentialOutStream> {
public:
    bool Create(const std::wstring& path) { return file_.Create(path); }
    HResult ARKOVA_COM_CALL Write(const void* data, std::uint32_t size, std::uint32_t* processed) override;
    // Sets the modification time (when nonzero) and closes; false when any write or the close failed.
    bool Finish(std::uint64_t modifiedTime);

private:
    Platform::OutputFile file_;
    bool failed_ = false;
};

}  // namespace Arkova::SevenZip
