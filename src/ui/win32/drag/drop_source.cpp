#include "ui/win32/drag/drop_source.h"

#include "ui/win32/drag/drag_out.h"

namespace Arkova {

DropSource::DropSource(HWND sourceWindow, std::function<HWND()> windowUnderPointer)
    : sourceWindow_(sourceWindow), windowUnderPointer_(std::move(windowUnderPointer)) {}

HRESULT STDMETHODCALLTYPE DropSource::QueryInterface(REFIID id, void** object) {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDropSource)) {
        *object = static_cast<IDropSource*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE DropSource::AddRef() { return ++references_; }

ULONG STDMETHODCALLTYPE DropSource::Release() {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
}

bool DropSource::OverOwnWindow() const {
    HWND under = nullptr;
    if (windowUnderPointer_) {
        under = windowUnderPointer_();
    } else {
        POINT pointer{};
        ::GetCursorPos(&pointer);
        under = ::WindowFromPoint(pointer);
    }
    if (under == nullptr || sourceWindow_ == nullptr) return false;
    HWND root = ::GetAncestor(under, GA_ROOT);
    return (root != nullptr ? root : under) == ::GetAncestor(sourceWindow_, GA_ROOT);
}

HRESULT STDMETHODCALLTYPE DropSource::QueryContinueDrag(BOOL escapePressed, DWORD keyState) {
    if (escapePressed) return DRAGDROP_S_CANCEL;
    if ((keyState & MK_LBUTTON) != 0) return S_OK;
    // Dropping rows back on the window they came from would extract them for nothing.
    if (OverOwnWindow()) return DRAGDROP_S_CANCEL;
    DragState().dropConfirmed = true;
    return DRAGDROP_S_DROP;
}

HRESULT STDMETHODCALLTYPE DropSource::GiveFeedback(DWORD) {
    if (!OverOwnWindow()) return DRAGDROP_S_USEDEFAULTCURSORS;
    ::SetCursor(::LoadCursorW(nullptr, IDC_NO));
    return S_OK;
}

}  // namespace Arkova
