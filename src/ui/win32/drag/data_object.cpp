#include "ui/win32/drag/data_object.h"

#include <shlobj.h>

#include <algorithm>
#include <cstring>

#include "platform/file_system.h"
#include "ui/drag_items.h"
#include "ui/win32/drag/drop_folder.h"

namespace Arkova {

namespace {

bool IsFileList(const FORMATETC& format) { return format.cfFormat == CF_HDROP && (format.tymed & TYMED_HGLOBAL) != 0; }

}  // namespace

HGLOBAL MakeFileListBlock(const std::vector<std::wstring>& paths) {
    const std::vector<std::uint8_t> bytes = Ui::FileListBlock(paths);
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes.size());
    if (block == nullptr) return nullptr;
    void* memory = ::GlobalLock(block);
    if (memory == nullptr) {
        ::GlobalFree(block);
        return nullptr;
    }
    std::memcpy(memory, bytes.data(), bytes.size());
    ::GlobalUnlock(block);
    return block;
}

DataObject::DataObject(std::vector<DragItem> items, DragOutSetup setup)
    : items_(std::move(items)), setup_(std::move(setup)) {}

HRESULT STDMETHODCALLTYPE DataObject::QueryInterface(REFIID id, void** object) {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDataObject)) {
        *object = static_cast<IDataObject*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE DataObject::AddRef() { return ++references_; }

ULONG STDMETHODCALLTYPE DataObject::Release() {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
}

HRESULT STDMETHODCALLTYPE DataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
    if (format == nullptr || medium == nullptr) return E_INVALIDARG;
    if (!IsFileList(*format)) return DV_E_FORMATETC;
    if (DragState().dropConfirmed) dropConfirmed_ = true;

    HGLOBAL block = nullptr;
    if (!dropConfirmed_) {
        // A target looking at the data while the pointer passes over it: names only, nothing extracted.
        block = MakeFileListBlock(Ui::DragItemNames(items_));
    } else if (extraction_ == Extraction::Running) {
        // Asked again from inside the extraction's own message loop: nothing is there yet.
        block = MakeFileListBlock({});
    } else {
        if (!PrepareDropFiles()) failed_ = true;
        if (!failed_ && !extractedInPlace_) {
            block = BuildDropFileList();
            if (block == nullptr) return E_OUTOFMEMORY;
        } else {
            block = MakeFileListBlock({});
        }
    }
    if (block == nullptr) return E_OUTOFMEMORY;
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = block;
    medium->pUnkForRelease = nullptr;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DataObject::GetDataHere(FORMATETC*, STGMEDIUM*) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE DataObject::QueryGetData(FORMATETC* format) {
    if (format == nullptr) return E_INVALIDARG;
    return IsFileList(*format) ? S_OK : DV_E_FORMATETC;
}

HRESULT STDMETHODCALLTYPE DataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* canonical) {
    if (canonical != nullptr) canonical->ptd = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE DataObject::SetData(FORMATETC*, STGMEDIUM*, BOOL) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE DataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) {
    if (formats == nullptr) return E_INVALIDARG;
    *formats = nullptr;
    if (direction != DATADIR_GET) return E_NOTIMPL;
    FORMATETC fileList{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    return ::SHCreateStdEnumFmtEtc(1, &fileList, formats);
}

HRESULT STDMETHODCALLTYPE DataObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) {
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT STDMETHODCALLTYPE DataObject::DUnadvise(DWORD) { return OLE_E_ADVISENOTSUPPORTED; }

HRESULT STDMETHODCALLTYPE DataObject::EnumDAdvise(IEnumSTATDATA**) { return OLE_E_ADVISENOTSUPPORTED; }

bool DataObject::PrepareDropFiles() {
    switch (extraction_) {
        case Extraction::Done:
            return true;
        case Extraction::Failed:
        case Extraction::Running:
            return false;
        case Extraction::NotStarted:
            break;
    }
    extraction_ = Extraction::Running;
    // Hold a reference: the target may let go of the data while the extraction pumps messages.
    AddRef();
    const bool extracted = Extract();
    extraction_ = extracted ? Extraction::Done : Extraction::Failed;
    Release();
    return extracted;
}

bool DataObject::Extract() {
    if (!setup_.extract) return false;
    dropFolder_ = setup_.findDropFolder ? setup_.findDropFolder() : FindDropFolder();
    if (!dropFolder_.empty()) {
        if (!setup_.extract(items_, dropFolder_, dropFolder_)) return false;
        ::SHChangeNotify(SHCNE_UPDATEDIR, SHCNF_PATHW, dropFolder_.c_str(), nullptr);
        extractedInPlace_ = true;
        return true;
    }
    const std::wstring wanted = Platform::JoinPath(Platform::TempDirectory(), L"Arkova_") +
                                std::to_wstring(static_cast<unsigned>(::GetTickCount()));
    temporaryFolder_ = setup_.makeTemporaryFolder ? setup_.makeTemporaryFolder(wanted) : std::wstring();
    if (temporaryFolder_.empty()) return false;
    if (!setup_.extract(items_, temporaryFolder_, L"")) return false;
    extractedInPlace_ = false;
    return true;
}

HGLOBAL DataObject::BuildDropFileList() const {
    std::vector<std::wstring> paths = Ui::DropFilePaths(items_, temporaryFolder_, setup_.currentFolder);
    for (std::size_t i = 0; i < paths.size(); ++i) {
        // A folder whose entries are all folders gets none of its own from the job; the target is still promised it.
        if (items_[i].isFolder) Platform::MakeDirectories(paths[i]);
    }
    // Entries that could not be written (a skipped conflict, a damaged entry) are not handed on.
    paths.erase(std::remove_if(paths.begin(), paths.end(),
                               [](const std::wstring& path) { return !Platform::PathExists(path); }),
                paths.end());
    return MakeFileListBlock(paths);
}

}  // namespace Arkova
