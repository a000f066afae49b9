// The dragged rows as the drop target sees them: a CF_HDROP file list. Before the drop it lists the bare names and
// extracts nothing; at the first request after the drop it extracts the items once (into the drop folder, or else
// into a new temporary folder) and from then on answers the same list: the extracted paths, or the empty list when
// the files were extracted in place or the extraction failed or was refused. UI thread only.
#pragma once

#include <windows.h>

#include <ole2.h>

#include <atomic>
#include <string>
#include <vector>

#include "ui/win32/drag/drag_out.h"

namespace Arkova {

class DataObject final : public IDataObject {
public:
    DataObject(std::vector<DragItem> items, DragOutSetup setup);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* format, FORMATETC* canonical) override;
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* connection) override;
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD connection) override;
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** advises) override;

    // The drag loop ended in a drop: later requests extract even though the loop's flags are reset by then, for
    // targets that keep the data and read it after the loop.
    void ConfirmDrop() { dropConfirmed_ = true; }

    // Extracts the items once (later calls answer the first result).
    bool PrepareDropFiles();
    // The extracted items' paths in the temporary folder, as a file list block; nullptr when out of memory.
    HGLOBAL BuildDropFileList() const;

    const std::wstring& DropFolder() const { return dropFolder_; }
    const std::wstring& TemporaryFolder() const { return temporaryFolder_; }

private:
    enum class Extraction { NotStarted, Running, Done, Failed };

    ~DataObject() = default;
    bool Extract();

    std::atomic<ULONG> references_{1};
    const std::vector<DragItem> items_;
    const DragOutSetup setup_;
    std::wstring temporaryFolder_;
    std::wstring dropFolder_;
    bool extractedInPlace_ = false;
    bool failed_ = false;
    bool dropConfirmed_ = false;
    Extraction extraction_ = Extraction::NotStarted;
};

// A movable global memory block holding the file list of these paths; nullptr when out of memory.
HGLOBAL MakeFileListBlock(const std::vector<std::wstring>& paths);

}  // namespace Arkova
