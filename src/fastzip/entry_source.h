// Where the engine's work comes from: an archive whose entries are each compressed on their own, listed in archive
// order with their paths, data offsets, lengths, methods, CRCs and times. The engine calls List once per run, on its
// controlling thread, before any stage thread starts.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "fastzip/central_directory.h"
#include "fastzip/error_slot.h"
#include "fastzip/zip_entry.h"

namespace Arkova::FastZip {

class EntrySource {
public:
    virtual ~EntrySource() = default;

    // Opens the archive into `index.reader` (it stays open for the run) and lists its entries into `index.entries`
    // and `index.totalUncompressed`. True exactly when at least one entry was listed. A failure to open or read the
    // listing records an error text; an empty listing records none, and `index.directoryComplete` tells an empty
    // archive from a damaged one.
    virtual bool List(ZipArchiveIndex& index, ErrorSlot& errors, const std::wstring& archivePath) = 0;
    // True when each entry's data offset, method and sizes are final only after its ZIP local header is read.
    virtual bool HasLocalHeaders() const = 0;
};

// A ZIP archive's central directory.
class ZipEntrySource final : public EntrySource {
public:
    ZipEntrySource() = default;
    // With a directory ReadCentralDirectory read, whose entries it takes: the first run in the same code page lists
    // them instead of reading the directory again, unless the archive's size has changed since.
    explicit ZipEntrySource(ZipArchiveIndex& listed) : listed_(TakeListing(listed)) {}
    explicit ZipEntrySource(ListedDirectory listed) : listed_(std::move(listed)) {}

    bool List(ZipArchiveIndex& index, ErrorSlot& errors, const std::wstring& archivePath) override;
    bool HasLocalHeaders() const override { return true; }

private:
    ListedDirectory listed_;
};

// An ALZ or EGG archive through its reader: only one whose entries are independent (one file, no solid stream, no
// encryption, each file's data one run stored, deflated or in bzip2), else List records why not.
class NativeEntrySource final : public EntrySource {
public:
    enum class Format { Alz, Egg };
    explicit NativeEntrySource(Format format) : format_(format) {}
    // With the listing ListEntries gave, so that the first run need not read the archive's headers again.
    NativeEntrySource(Format format, std::vector<ZipEntry> listed) : format_(format), listed_(std::move(listed)) {}

    bool List(ZipArchiveIndex& index, ErrorSlot& errors, const std::wstring& archivePath) override;
    bool HasLocalHeaders() const override { return false; }

    // The reader's listing as the engine takes it; false with `why` set when the archive is not independent.
    static bool ListEntries(Format format, const std::wstring& archivePath, std::vector<ZipEntry>& entries,
                            std::wstring& why);

private:
    Format format_;
    std::vector<ZipEntry> listed_;
};

}  // namespace Arkova::FastZip
