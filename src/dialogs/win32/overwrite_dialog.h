// "파일 충돌" (dialog 135): the question asked when an extraction meets an existing file. Modal, UI thread.
#pragma once

#include <windows.h>

#include <string>

#include "frontend/overwrite_answer.h"

namespace Arkova {

// Shows "'name' 파일이 이미 존재합니다." with overwrite, skip, rename and cancel and "모든 파일에 적용" (checked
// at first). Escape, the close box and a dialog that cannot be shown all answer { Cancel, false }; Enter does
// nothing, so a key pressed by accident never overwrites.
OverwriteAnswer AskOverwriteDialog(HWND owner, const std::wstring& name);

}  // namespace Arkova
