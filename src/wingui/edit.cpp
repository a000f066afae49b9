#include "wingui/edit.h"

namespace Arkova::WinGui {

bool Edit::Create(const CreateArgs& args) {
    DWORD style =
        WS_TABSTOP | (args.multiLine ? ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL : ES_AUTOHSCROLL);
    if (args.password) style |= ES_PASSWORD;
    if (args.readOnly) style |= ES_READONLY;
    CreateArgs withBorder = args;
    if (args.border) withBorder.exStyle |= WS_EX_CLIENTEDGE;
    return CreateControl(WC_EDITW, withBorder, style);
}

void Edit::SetReadOnly(bool readOnly) { ::SendMessageW(Handle(), EM_SETREADONLY, readOnly ? TRUE : FALSE, 0); }

void Edit::SetLimit(int characters) { ::SendMessageW(Handle(), EM_SETLIMITTEXT, static_cast<WPARAM>(characters), 0); }

void Edit::SelectAll() { ::SendMessageW(Handle(), EM_SETSEL, 0, -1); }

bool Edit::OnCommand(int code) {
    if (code != EN_CHANGE || !onChange) return false;
    onChange();
    return true;
}

}  // namespace Arkova::WinGui
