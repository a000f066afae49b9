#include "wingui/static.h"

namespace Arkova::WinGui {

bool Static::Create(const CreateArgs& args) {
    return CreateControl(L"STATIC", args, args.alignment | (args.notify ? SS_NOTIFY : 0));
}

HICON Static::SetIcon(HICON icon) {
    return reinterpret_cast<HICON>(::SendMessageW(Handle(), STM_SETICON, reinterpret_cast<WPARAM>(icon), 0));
}

HICON Static::GetIcon() const { return reinterpret_cast<HICON>(::SendMessageW(Handle(), STM_GETICON, 0, 0)); }

bool Static::OnCommand(int code) {
    if (code != STN_CLICKED || !onClick) return false;
    onClick();
    return true;
}

}  // namespace Arkova::WinGui
