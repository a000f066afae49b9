// "비밀번호 입력" (dialog 137): one round of asking for an archive's password. Modal, UI thread.
#pragma once

#include <windows.h>

#include <string>

#include "frontend/password_reply.h"

namespace Arkova {

// Shows the archive's name and either the protected-archive line or, after a wrong password, the retry line in
// red. The password is at most 255 characters; "비밀번호 표시" unmasks it; "이 세션 동안 기억" starts checked. A
// dialog that cannot be shown counts as cancelled.
PasswordReply AskPasswordDialog(HWND owner, const std::wstring& archiveName, bool wrongPassword);

}  // namespace Arkova
