// The icon of a message shown to the user.
#pragma once

namespace Arkova {

enum class MessageIcon { Information, Warning, Error };

}  // namespace Arkova
