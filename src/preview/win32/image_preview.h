// The preview pane under the folder tree: one picture, fitted into the pane and centred on black (small pictures
// are enlarged too), painted through a memory bitmap. A double click on a picture tells the parent with a
// WM_NOTIFY of code NM_DBLCLK from the pane's id. UI thread only.
#pragma once

#include <cstdint>

#include "preview/image_decoder.h"
#include "wingui/gdi_handles.h"
#include "wingui/window.h"

namespace Arkova {

class ImagePreview : public WinGui::Window {
public:
    bool Create(HWND parent, int id);
    // Shows the decoder's pixels; false (and an empty pane) when it holds none or no bitmap could be made.
    bool SetImage(const IImageDecoder& decoder);
    // Drops the picture and repaints.
    void Clear();
    bool HasImage() const { return bitmap_.Get() != nullptr; }
    // The picture as decoded (top-down, 32 bits), or null.
    HBITMAP Bitmap() const { return bitmap_.Get(); }

protected:
    void OnPaint(HDC dc, const RECT& dirty) override;
    void OnSize(int width, int height) override;
    void OnDestroy() override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    WinGui::Bitmap bitmap_;
    int bitmapWidth_ = 0;
    int bitmapHeight_ = 0;
};

}  // namespace Arkova
