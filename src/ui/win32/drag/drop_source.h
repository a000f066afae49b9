// The drag loop's source side: Escape cancels, releasing the button over the program's own window cancels (with the
// slashed-circle cursor shown there meanwhile), releasing it anywhere else drops.
#pragma once

#include <windows.h>

#include <ole2.h>

#include <atomic>
#include <functional>

namespace Arkova {

class DropSource final : public IDropSource {
public:
    // `windowUnderPointer` replaces the look-up of the window under the mouse pointer (for tests).
    explicit DropSource(HWND sourceWindow, std::function<HWND()> windowUnderPointer = {});

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keyState) override;
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override;

private:
    ~DropSource() = default;
    bool OverOwnWindow() const;

    std::atomic<ULONG> references_{1};
    HWND sourceWindow_;
    std::function<HWND()> windowUnderPointer_;
};

}  // namespace Arkova
