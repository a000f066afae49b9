// Files: reading with positional reads, and writing a new file from scratch.
// Both classes own their handle and close it on destruction. An InputFile may be read from several threads at once
// (ReadAt never moves a shared position); an OutputFile is written by one thread, except that another may write
// elsewhere in it with WriteAt.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace Arkova::Platform {

class InputFile {
public:
    InputFile() = default;
    ~InputFile() { Close(); }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    InputFile(InputFile&& other) noexcept;
    InputFile& operator=(InputFile&& other) noexcept;

    // Opens an existing file for reading; other processes may read, write or delete it meanwhile.
    bool Open(const std::wstring& path);
    // Opens an existing file for reads from several threads at once, read front to back: on Windows an overlapped
    // handle (so that reads are not serialised) with the sequential-scan hint, others allowed to read only; where
    // the system refuses an overlapped handle, a synchronous one with the hint.
    bool OpenForParallelReads(const std::wstring& path);
    void Close();
    bool IsOpen() const { return handle_ != kInvalidHandle; }

    bool Size(std::uint64_t& size) const;
    // Reads up to `length` bytes at `offset`. `bytesRead` is less than `length` only at the end of the file.
    bool ReadAt(std::uint64_t offset, void* buffer, std::size_t length, std::size_t& bytesRead) const;
    // Reads exactly `length` bytes at `offset`; false on an error or a short read.
    bool ReadExactAt(std::uint64_t offset, void* buffer, std::size_t length) const;

private:
    static constexpr std::intptr_t kInvalidHandle = -1;
    std::intptr_t handle_ = kInvalidHandle;
    bool overlapped_ = false;  // Windows: reads complete through an event
};

// What CreateNew found.
enum class CreateNewResult { Created, NameTaken, NoFolder, Failed };

class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile() { Close(); }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Creates the file, replacing any file of that name, opened for writing without sharing.
    bool Create(const std::wstring& path);
    // Creates the file only when nothing has that name yet, in one step (no check that another process could race):
    // NameTaken when something has it, NoFolder when its folder does not exist.
    CreateNewResult CreateNew(const std::wstring& path);
    // Writes all of the bytes (any length) after the last ones Write wrote; false when the file system refused some.
    bool Write(const void* data, std::size_t length);
    // Writes the bytes at `offset`, leaving where Write goes on unchanged. Another thread may call it while Write
    // runs, for bytes elsewhere in the file.
    bool WriteAt(std::uint64_t offset, const void* data, std::size_t length);
#ifdef _WIN32
    // Whether bytes written past the end leave the gap before them unwritten: NTFS fills it with zeros first, which
    // a later Write then writes again.
    static constexpr bool kWritingAheadLeavesAGap = false;
#else
    static constexpr bool kWritingAheadLeavesAGap = true;  // a hole
#endif
    // Sets aside room for `size` bytes without changing the file's length, so that writing them later does little
    // more than copy. A hint: false when the file system keeps no such reservations, and the writes work either way.
    // Nothing is done when the file is already that long.
    bool Reserve(std::uint64_t size);
    // Sets the last-write time (FILETIME ticks, UTC) of the open file.
    bool SetModifiedTime(std::uint64_t fileTimeUtc);
    // Closes the file; false when the last data could not be flushed.
    bool Close();
    bool IsOpen() const { return handle_ != kInvalidHandle; }

private:
    static constexpr std::intptr_t kInvalidHandle = -1;
    std::intptr_t handle_ = kInvalidHandle;
    std::uint64_t position_ = 0;  // where Write goes on
};

}  // namespace Arkova::Platform
