#include "ui/win32/drag/drag_out.h"

#include "ui/win32/drag/data_object.h"
#include "ui/win32/drag/drop_source.h"

namespace Arkova {

DragFlags& DragState() {
    static DragFlags flags;
    return flags;
}

DWORD RunDragOut(const std::vector<DragItem>& items, DragOutSetup setup, HWND sourceWindow) {
    if (items.empty()) return 0;
    auto* source = new DropSource(sourceWindow);
    auto* data = new DataObject(items, std::move(setup));
    DragFlags& flags = DragState();
    flags.dragInProgress = true;
    flags.dropConfirmed = false;
    DWORD effect = DROPEFFECT_NONE;
    const HRESULT result = ::DoDragDrop(data, source, DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect);
    if (result == DRAGDROP_S_DROP) data->ConfirmDrop();
    flags.dragInProgress = false;
    flags.dropConfirmed = false;
    // A target that still holds the data keeps it alive through its own reference.
    source->Release();
    data->Release();
    return result == DRAGDROP_S_DROP ? effect : 0;
}

}  // namespace Arkova
