// One round of the password dialog.
#pragma once

#include <string>

namespace Arkova {

struct PasswordReply {
    bool accepted = false;
    std::wstring password;
    bool remember = true;  // "이 세션 동안 기억"
};

}  // namespace Arkova
